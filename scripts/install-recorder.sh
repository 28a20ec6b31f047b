#!/usr/bin/env bash
# install-recorder.sh FOLDER: puts the virtual recorder of the tests into a program folder, so
# that vantburn has a recorder to burn to under Wine: our WNASPI32.DLL (replaced by each run,
# but never a library of another maker) and a vcdr.ini, written only when the folder has none.
# Each start of vantburn finds a blank CD-R in it; a burn leaves the disc's sectors in disc.img
# and its state in disc.state. A later start never empties a burnt disc: its blank disc takes
# the next free numbered image, disc-1.img, disc-2.img, ...
set -euo pipefail
source "$(dirname "$0")/common.sh"

[ $# -eq 1 ] || die "usage: install-recorder.sh FOLDER"
home=$1
dll=$BUILD/win/tests/virtual_recorder/WNASPI32.dll
[ -f "$dll" ] || die "no $dll: run ./build.sh first"
# A WNASPI32.dll in any letter case that is not ours (it never names vcdr.ini) is the user's
# own layer, which Wine would load just the same: keep it.
shopt -s nullglob
for existing in "$home"/[Ww][Nn][Aa][Ss][Pp][Ii]32.[Dd][Ll][Ll]; do
    grep -qa "vcdr.ini" "$existing" || die "$existing is not the virtual recorder: left as it is, nothing installed"
done
temp=$(mktemp "$home/.WNASPI32.dll.XXXXXX")
cp "$dll" "$temp" && mv -fT "$temp" "$home/WNASPI32.dll" || { rm -f "$temp"; die "cannot install WNASPI32.dll into $home"; }
if [ ! -e "$home/vcdr.ini" ]; then
    cat > "$home/vcdr.ini" <<'INI'
; The virtual recorder of ./run.sh --virtual-recorder (keys: tests/virtual_recorder/README.md).
[device0]
address=0:1:0
letter=E
image=disc.img
state=disc.state
INI
fi
log "program folder $home: the virtual recorder installed (burns go to $home/disc.img, then disc-1.img, ...)"
