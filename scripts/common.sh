# Shared settings of the build, run and test scripts. Sourced, never run.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$ROOT/build
DEPS=$BUILD/deps
# The tests' private Wine prefix. run.sh uses one of its own, since each ends by stopping every
# process of its prefix; VANTRELL_WINEPREFIX names another (the test of run.sh does).
export WINEPREFIX=${VANTRELL_WINEPREFIX:-$BUILD/wineprefix}
export WINEDEBUG=-all
# Keeps a caller's overrides (a test names the DLLs its programs load from their own folders).
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
export WINEARCH=win64
# en_US gives Wine the ANSI code page 1252 and "/" as the short date separator.
pin_locale() { export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8; }
JOBS=$(nproc 2>/dev/null || echo 4)

log() { printf '== %s\n' "$*" >&2; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }
