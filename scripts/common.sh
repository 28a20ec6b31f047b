# Shared settings of the build, run and test scripts. Sourced, never run.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$ROOT/build
DEPS=$BUILD/deps
# A test of run.sh names its own prefix: run.sh ends by stopping every process of its prefix.
export WINEPREFIX=${VANTRELL_WINEPREFIX:-$BUILD/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# en_US gives Wine the ANSI code page 1252 and "/" as the short date separator.
pin_locale() { export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8; }
JOBS=$(nproc 2>/dev/null || echo 4)

log() { printf '== %s\n' "$*" >&2; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }
