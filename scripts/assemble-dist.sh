#!/usr/bin/env bash
# Assembles the program folder dist/ from the Windows tree and checks that the programs
# need no DLL beside them (everything from mingw is linked statically).
set -euo pipefail
source "$(dirname "$0")/common.sh"

rm -rf "$ROOT/dist"
cmake --install "$BUILD/win" --prefix "$ROOT/dist" >/dev/null

system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|advapi32|ole32|oleaut32|uuid|uxtheme|msimg32|msvcrt|shlwapi|version|winmm|ucrtbase|api-ms-win-.*)\.dll$'
for exe in "$ROOT"/dist/*.exe; do
    while read -r dll; do
        echo "$dll" | tr 'A-Z' 'a-z' | grep -qE "$system_dlls" || die "$(basename "$exe") needs $dll"
    done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done
log "dist/ assembled: $(cd "$ROOT/dist" && ls | tr '\n' ' ')"
