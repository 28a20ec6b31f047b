#!/usr/bin/env bash
# Installs what is missing, builds both CMake trees and assembles dist/.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
cd "$ROOT"

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
log "building build/win"
cmake --build "$BUILD/win" -j "$JOBS"
log "building build/native"
cmake --build "$BUILD/native" -j "$JOBS"

"$ROOT/scripts/assemble-dist.sh"
