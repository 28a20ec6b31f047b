#!/usr/bin/env bash
# install-program.sh FOLDER: installs or updates the shipped files of dist/ (the programs, the
# help file, html/Default/) in a user's program folder. Her portfolio lives in the same folder,
# so nothing else there is touched: no file is deleted, other templates and her files stay.
# Each file is copied to a temporary name beside its target and renamed over it, so a failed
# update leaves the old file whole.
set -euo pipefail
source "$(dirname "$0")/common.sh"

[ $# -eq 1 ] || die "usage: install-program.sh FOLDER"
home=$(realpath -m "$1")
for generated in "$ROOT/dist" "$BUILD"; do
    # A rebuild empties these: a portfolio kept there would be lost.
    generated=$(realpath -m "$generated")
    case "$home/" in "$generated"/*) die "the program folder $home lies inside $generated, which a rebuild deletes" ;; esac
done
[ -f "$ROOT/dist/vantrell.exe" ] || die "dist/ holds no vantrell.exe: run ./build.sh first"
mkdir -p "$home"

temp=
trap '[ -n "$temp" ] && rm -f "$temp"' EXIT
updated=0
while IFS= read -r -d '' file; do
    target=$home/${file#./}
    cmp -s "$ROOT/dist/$file" "$target" && continue
    mkdir -p "$(dirname "$target")"
    temp=$(mktemp "$(dirname "$target")/.$(basename "$target").XXXXXX")
    cp "$ROOT/dist/$file" "$temp" && chmod --reference="$ROOT/dist/$file" "$temp" || die "cannot copy $file into $home"
    mv -fT "$temp" "$target" || die "cannot replace $target"
    temp=
    updated=$((updated + 1))
done < <(cd "$ROOT/dist" && find . -type f -print0)
log "program folder $home: $updated shipped files installed or updated"
