#!/usr/bin/env bash
# The review shots the programs' end-to-end tests leave in build/artifacts/skins, on one sheet
# (programs-contact-sheet.png); shots a failed test did not make are left out.
set -uo pipefail
source "$(dirname "$0")/common.sh"
shots="$BUILD/artifacts/skins"
command -v montage >/dev/null || { log "no montage: no programs' contact sheet"; exit 0; }
names=(main-off)
for kind in main galleries msgbox menu processing; do
    for n in 0 1 2 3 4 5; do names+=("$kind-$n"); done
done
names+=(vantburn)
files=()
for name in "${names[@]}"; do
    [ -f "$shots/$name.png" ] && files+=("$shots/$name.png")
done
[ ${#files[@]} -gt 0 ] || exit 0
montage -depth 8 -geometry "480x360>+6+6" -tile 4x -background "#c8c8cc" "${files[@]}" "$shots/programs-contact-sheet.png" &&
    log "programs' contact sheet: $shots/programs-contact-sheet.png (${#files[@]} shots)"
