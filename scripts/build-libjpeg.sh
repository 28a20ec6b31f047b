#!/usr/bin/env bash
# Builds Debian's libjpeg-turbo source as a static mingw library with its SIMD code.
# Done once: the source and the installed library stay under build/deps.
set -euo pipefail
source "$(dirname "$0")/common.sh"

prefix=$DEPS/libjpeg-win
[ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/.simd-on" ] && exit 0
mkdir -p "$DEPS"

src=$(ls -d "$DEPS"/libjpeg-turbo-*/ 2>/dev/null | head -n1 || true)
if [ -z "$src" ]; then
    if ! apt-get source --print-uris libjpeg-turbo >/dev/null 2>&1 || \
       [ -z "$(apt-get source --print-uris libjpeg-turbo 2>/dev/null | grep -F .dsc)" ]; then
        [ "$(id -u)" -eq 0 ] || die "no deb-src entry for libjpeg-turbo; run ./build.sh as root once"
        . /etc/os-release
        log "adding a deb-src entry for $VERSION_CODENAME"
        cat > /etc/apt/sources.list.d/vantrell-deb-src.sources <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $VERSION_CODENAME $VERSION_CODENAME-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
        apt-get update -q >/dev/null
    fi
    log "fetching the libjpeg-turbo source package"
    (cd "$DEPS" && apt-get source -q libjpeg-turbo >/dev/null 2>&1) || die "apt-get source libjpeg-turbo failed"
    src=$(ls -d "$DEPS"/libjpeg-turbo-*/ | head -n1)
fi

log "building libjpeg-turbo for mingw from $src"
rm -rf "$DEPS/libjpeg-win-build"
cmake -S "$src" -B "$DEPS/libjpeg-win-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON -DREQUIRE_SIMD=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF > "$DEPS/libjpeg-configure.log" 2>&1 \
    || { tail -30 "$DEPS/libjpeg-configure.log"; die "libjpeg-turbo configure failed"; }
grep -q 'SIMD extensions: x86_64' "$DEPS/libjpeg-configure.log" \
    || { grep -i simd "$DEPS/libjpeg-configure.log"; die "libjpeg-turbo configured without SIMD"; }
cmake --build "$DEPS/libjpeg-win-build" -j "$JOBS" > "$DEPS/libjpeg-build.log" 2>&1 \
    || { tail -30 "$DEPS/libjpeg-build.log"; die "libjpeg-turbo build failed"; }
cmake --install "$DEPS/libjpeg-win-build" > /dev/null
touch "$prefix/.simd-on"
