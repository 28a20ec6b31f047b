#!/usr/bin/env bash
# Runs one benchmark (native, or under Wine for Win32 code): ./bench.sh NAME [ARGS...] runs bench_NAME, building
# it first when needed. Without NAME, lists the benchmarks there are.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
cd "$ROOT"

list() { find "$ROOT" -path "$BUILD" -prune -o -name 'bench_*.cpp' -print | sed 's|.*/bench_||; s|\.cpp$||' | sort; }

if [ $# -eq 0 ]; then
    echo "usage: ./bench.sh NAME [ARGS...]; benchmarks:"
    list | sed 's/^/  /'
    exit 2
fi
name=$1; shift
# Listings are read whole before grep looks at them: a grep -q that stops at its first match
# closes the pipe, and under pipefail the writer's broken pipe fails the test.
names=$(list)
grep -qx "$name" <<<"$names" || die "no benchmark named $name (./bench.sh lists them)"
[ -f "$BUILD/native/build.ninja" ] && [ -f "$BUILD/win/build.ninja" ] || "$ROOT/build.sh"
# A benchmark of Win32 code exists only in the Windows tree and runs under Wine.
native_targets=$(ninja -C "$BUILD/native" -t targets all 2>/dev/null) || native_targets=
if grep -q "^bench_$name:" <<<"$native_targets"; then
    cmake --build "$BUILD/native" -j "$JOBS" --target "bench_$name" >/dev/null
    exe=$(find "$BUILD/native" -type f -name "bench_$name" -perm -u+x | head -n 1)
    [ -n "$exe" ] || die "bench_$name was not built"
    exec "$exe" "$@"
fi
cmake --build "$BUILD/win" -j "$JOBS" --target "bench_$name" >/dev/null
exe=$(find "$BUILD/win" -type f -name "bench_$name.exe" | head -n 1)
[ -n "$exe" ] || die "bench_$name was not built"
exec "$ROOT/scripts/wine-run.sh" "$exe" "$@"
