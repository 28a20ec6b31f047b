#!/usr/bin/env bash
# Makes a corpus of camera-like JPEG photographs for benchmarks, from the real camera photos of
# the mate-backgrounds package (scripts/packages.txt), the same bytes on every run of a machine.
#
#   scripts/photo-corpus.sh OUT_DIR [COUNT] [MEGAPIXELS...]
#
# MEGAPIXELS are any of 4 12 24 (default all three). File i is named NNNN-<mp>mp-<kind>.jpg, kind
# one of 420 422 444 (chroma subsampling), progressive (4:2:0) and grey; sizes vary fastest, so the
# first (sizes x 5) files hold every size of every kind once, which is also the default COUNT.
# Each file is a seeded crop of one of the photos, resized to the 3:2 frame of its size, given a
# light seeded sensor grain (an enlarged photo alone is smoother than a camera's and would decode
# faster than one) and encoded at a seeded quality. A finished OUT_DIR with the same arguments is reused as it is (keep it under
# build/). Prints the files' paths, one a line.
set -euo pipefail
source "$(dirname "$0")/common.sh"

[ $# -ge 1 ] || die "usage: scripts/photo-corpus.sh OUT_DIR [COUNT] [MEGAPIXELS...]"
out=$1; shift
count=${1:-0}; [ $# -gt 0 ] && shift
sizes=("$@"); [ ${#sizes[@]} -gt 0 ] || sizes=(4 12 24)
kinds=(420 422 444 progressive grey)
[[ "$count" =~ ^[0-9]+$ ]] || die "COUNT must be a number: $count"
[ "$count" -gt 0 ] || count=$(( ${#sizes[@]} * ${#kinds[@]} ))

# Camera frames (3:2) of each size.
declare -A frame=([4]=2448x1632 [12]=4256x2832 [24]=6000x4000)
for mp in "${sizes[@]}"; do [ -n "${frame[$mp]:-}" ] || die "no frame for $mp megapixels (have 4 12 24)"; done

photos=/usr/share/backgrounds/mate/nature
mapfile -t sources < <(find "$photos" -maxdepth 1 -name '*.jpg' 2>/dev/null | sort)
[ ${#sources[@]} -gt 0 ] || die "no photos in $photos; run ./build.sh as root once to install mate-backgrounds"
command -v convert >/dev/null || die "ImageMagick's convert is missing; run ./build.sh as root once"

# A stamp names what the folder was made from; it is written last, so a stopped run is made again.
stamp="corpus 2; count $count; sizes ${sizes[*]}; $(printf '%s\n' "${sources[@]}" | md5sum | cut -c1-12)"
names=()
for (( i = 0; i < count; i++ )); do
    mp=${sizes[$(( i % ${#sizes[@]} ))]}
    kind=${kinds[$(( i / ${#sizes[@]} % ${#kinds[@]} ))]}
    names+=("$(printf '%04d-%smp-%s.jpg' "$i" "$mp" "$kind")")
done
if [ -f "$out/.stamp" ] && [ "$(cat "$out/.stamp")" = "$stamp" ]; then
    printf "$out/%s\n" "${names[@]}"
    exit 0
fi
mkdir -p "$out"
rm -f "$out/.stamp"

# A fixed-seed linear congruential generator: the same corpus with any shell or awk.
seed=20261210
next() { seed=$(( (seed * 1103515245 + 12345) % 2147483648 )); r=$(( seed / 65536 )); }

jobs_file=$(mktemp)
trap 'rm -f "$jobs_file"' EXIT
for (( i = 0; i < count; i++ )); do
    mp=${sizes[$(( i % ${#sizes[@]} ))]}
    kind=${kinds[$(( i / ${#sizes[@]} % ${#kinds[@]} ))]}
    next; src=${sources[$(( r % ${#sources[@]} ))]}
    read -r sw sh < <(identify -format '%w %h\n' "$src")
    # The largest 3:2 window of the photo, then 80-100 % of it at a seeded place.
    cw=$(( sw * 2 <= sh * 3 ? sw : sh * 3 / 2 ))
    next; cw=$(( cw * (80 + r % 21) / 100 )); ch=$(( cw * 2 / 3 ))
    next; x=$(( r % (sw - cw + 1) ))
    next; y=$(( r % (sh - ch + 1) ))
    next; quality=$(( 85 + r % 11 ))
    next; grain=$r
    case $kind in
        420) opts="-sampling-factor 2x2" ;;
        422) opts="-sampling-factor 2x1" ;;
        444) opts="-sampling-factor 1x1" ;;
        progressive) opts="-sampling-factor 2x2 -interlace JPEG" ;;
        grey) opts="-colorspace Gray -type Grayscale" ;;
    esac
    printf '%s\n' "$out/${names[$i]} $src -crop ${cw}x${ch}+$x+$y +repage -resize ${frame[$mp]}! -seed $grain -attenuate 0.25 +noise Gaussian $opts -quality $quality -strip" >> "$jobs_file"
done

log "making $count photos in $out"
# Each job writes a temporary name and renames it, so a stopped run leaves no half file behind.
# shellcheck disable=SC2016
xargs -P 4 -L 1 sh -c 'to=$1; shift; convert "$@" "$to.tmp" && mv "$to.tmp" "$to" || exit 255' sh < "$jobs_file"
echo "$stamp" > "$out/.stamp"
printf "$out/%s\n" "${names[@]}"
