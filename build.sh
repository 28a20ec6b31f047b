#!/usr/bin/env bash
# ./build.sh: installs what is missing, builds both CMake trees (programs, tests, tools) and
# assembles dist/. ./build.sh --programs [--recorder]: only what ./run.sh starts: the skins
# (painted by a tool of the native tree), vantrell, vantburn and the help file (with --recorder
# also the virtual recorder's DLL), then dist/; the tests stay with a full build.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
cd "$ROOT"

programs=0 recorder=0
for arg in "$@"; do
    case "$arg" in
        --programs) programs=1 ;;
        --recorder) recorder=1 ;;
        *) die "usage: ./build.sh [--programs [--recorder]]" ;;
    esac
done

"$ROOT/scripts/install-packages.sh"
"$ROOT/scripts/build-libjpeg.sh"

configure() { # tree, extra cmake arguments...
    local tree=$1; shift
    if [ ! -f "$BUILD/$tree/build.ninja" ]; then
        cmake -S "$ROOT" -B "$BUILD/$tree" -G Ninja "$@" >/dev/null
    fi
}

configure win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLIBJPEG_WIN_PREFIX="$DEPS/libjpeg-win"
configure native -DCMAKE_BUILD_TYPE=Debug -DVANTRELL_SANITIZE=ON

log "painting the skins"  # the Windows programs carry them as resources
cmake --build "$BUILD/native" --target skins -j "$JOBS"
if [ "$programs" = 1 ]; then
    targets=(vantrell vantburn help_pdf)
    if [ "$recorder" = 1 ]; then targets+=(wnaspi32); fi
    log "building the programs: ${targets[*]}"
    cmake --build "$BUILD/win" --target "${targets[@]}" -j "$JOBS"
else
    log "building build/win"
    cmake --build "$BUILD/win" -j "$JOBS"
    log "building build/native"
    cmake --build "$BUILD/native" -j "$JOBS"
fi

"$ROOT/scripts/assemble-dist.sh"
