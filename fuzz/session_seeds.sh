#!/usr/bin/env bash
# Seeds of the session-import fuzz target: small images the peers master, one kind each
# (Joliet, primary only, XA, Rock Ridge from both peers, a directory of several sectors, deep
# folders, and a second session appended by xorriso).
#   fuzz/session_seeds.sh OUT_DIR
set -euo pipefail
out=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out" "$work/src/photos/deep/er" "$work/many" "$work/more"
echo "first" > "$work/src/read me.txt"
printf 'x%.0s' {1..3000} > "$work/src/photos/beach day.jpeg"
echo "deep" > "$work/src/photos/deep/er/note"
: > "$work/src/empty.dat"
for i in $(seq 1 40); do echo "$i" > "$work/many/a rather long name for picture $i.jpeg"; done
echo "added" > "$work/more/second.txt"
master() { # name, tool and options..., source
    local name=$1 src=${*: -1}
    "${@:2:$#-2}" -quiet -no-pad -o "$out/$name.iso" "$src" >/dev/null 2>&1
}
master joliet genisoimage -J "$work/src"
master primary genisoimage "$work/src"
master xa genisoimage -XA "$work/src"
master rock-ridge genisoimage -R "$work/src"
master xorriso-rock-ridge xorriso -as mkisofs -R "$work/src"
master long-directory genisoimage -J "$work/many"
cp "$out/joliet.iso" "$work/two.iso"
xorriso -padding 0 -indev "$work/two.iso" -outdev "$work/two.iso" -map "$work/more" /more -commit >/dev/null 2>&1 ||
    xorriso -padding 0 -dev "$work/two.iso" -map "$work/more" /more -commit >/dev/null 2>&1
cp "$work/two.iso" "$out/two-sessions.iso"
