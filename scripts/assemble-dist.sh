#!/usr/bin/env bash
# assemble-dist.sh [FOLDER]: assembles the shipped files (default dist/) from the Windows tree
# and checks that the programs need no DLL beside them (everything from mingw is linked
# statically). The files are installed beside the folder and swapped in whole. An old folder
# holding files the build does not ship (a portfolio started there by an earlier run.sh) is
# kept under a new name, never deleted.
set -euo pipefail
source "$(dirname "$0")/common.sh"

dist=$(realpath -m "${1:-$ROOT/dist}")
fresh=$dist.new
rm -rf "$fresh"
cmake --install "$BUILD/win" --prefix "$fresh" >/dev/null

system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|advapi32|ole32|oleaut32|uuid|uxtheme|msimg32|msvcrt|shlwapi|version|winmm|ucrtbase|api-ms-win-.*)\.dll$'
for exe in "$fresh"/*.exe; do
    while read -r dll; do
        echo "$dll" | tr 'A-Z' 'a-z' | grep -qE "$system_dlls" || die "$(basename "$exe") needs $dll"
    done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done

if [ -e "$dist" ]; then
    foreign=$(cd "$dist" && find . ! -type d | while IFS= read -r f; do [ -f "$fresh/$f" ] || echo "$f"; done)
    if [ -n "$foreign" ]; then
        kept=$dist.kept-$(date +%Y%m%d-%H%M%S)
        mv -T "$dist" "$kept"
        log "$(basename "$dist")/ held $(echo "$foreign" | wc -l) files the build does not ship, kept in $kept:"
        echo "$foreign" | head -5 | sed 's/^\./    /' >&2
        log "a portfolio among them belongs in the program folder (README: Your portfolio)"
    else
        rm -rf "$dist"
    fi
fi
mv -T "$fresh" "$dist"
log "$(basename "$dist")/ assembled: $(cd "$dist" && ls | tr '\n' ' ')"
