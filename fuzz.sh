#!/usr/bin/env bash
# Fuzzes one target with clang's libFuzzer, address and undefined-behaviour sanitizers:
#   ./fuzz.sh jpeg|skin-stream|skin-text|session-import|device-answers|site-template [SECONDS] [WORKERS]
#                                                   (default 60 seconds, 1 worker)
# Starts from the committed seeds in fuzz/corpus/NAME (session-import: also from images the
# peers master at the start, fuzz/session_seeds.sh) and grows a working corpus in
# build/fuzz/NAME-corpus; an input that crashes is saved into fuzz/corpus/NAME as crash-*,
# where ./test.sh replays it (commit it with the fix). Prints libFuzzer's execution counts.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
cd "$ROOT"

[ $# -ge 1 ] || die "usage: ./fuzz.sh NAME [SECONDS] [WORKERS]; targets: jpeg skin-stream skin-text session-import device-answers site-template"
name=$1 seconds=${2:-60} workers=${3:-1}
declare -A sources=(
    [jpeg]="fuzz/jpeg_fuzzer.cpp fuzz/jpeg_fuzz_entry.cpp forms/portable/jpeg_codec.cpp forms/portable/exif_orientation.cpp
            forms/portable/pixels.cpp forms/portable/exceptions.cpp forms/portable/atomic_file.cpp"
    [skin-stream]="fuzz/skin_stream_fuzzer.cpp fuzz/skin_fuzz_entry.cpp fuzz/allocation_meter.cpp skin/portable/*.cpp tools/skin_pack/*.cpp forms/portable/*.cpp"
    [skin-text]="fuzz/skin_text_fuzzer.cpp fuzz/skin_fuzz_entry.cpp fuzz/allocation_meter.cpp skin/portable/*.cpp tools/skin_pack/*.cpp forms/portable/*.cpp"
    [session-import]="fuzz/session_import_fuzzer.cpp fuzz/session_fuzz_entry.cpp burn/portable/session_import.cpp
            burn/portable/file_tree.cpp burn/portable/joliet_names.cpp burn/portable/iso_layout.cpp burn/portable/iso_records.cpp"
    [device-answers]="fuzz/device_answers_fuzzer.cpp fuzz/device_answers_fuzz_entry.cpp burn/portable/*.cpp editor/portable/portfolio_name.cpp forms/portable/text_case.cpp"
    [site-template]="fuzz/site_template_fuzzer.cpp fuzz/site_template_fuzz_entry.cpp editor/portable/site_build*.cpp editor/portable/gallery_*.cpp
            editor/portable/picture_names.cpp editor/portable/record_model.cpp forms/portable/*.cpp tests/support/memory_portfolio_files.cpp"
)
[ -n "${sources[$name]:-}" ] || die "no fuzz target named $name (have: ${!sources[*]})"
command -v clang++ >/dev/null || die "clang++ is missing; run ./build.sh as root once"

out=$BUILD/fuzz
mkdir -p "$out/$name-corpus" "fuzz/corpus/$name"
seeds=()
if [ "$name" = session-import ]; then
    rm -rf "$out/$name-seeds"
    fuzz/session_seeds.sh "$out/$name-seeds"
    seeds+=("$out/$name-seeds")
fi
log "building the $name fuzzer"
# shellcheck disable=SC2086
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I"$ROOT" \
    ${sources[$name]} -ljpeg -o "$out/$name-fuzzer"
log "fuzzing $name for $seconds s on $workers worker(s)"
args=(-max_total_time="$seconds" -artifact_prefix="$ROOT/fuzz/corpus/$name/crash-" -print_final_stats=1)
if [ "$workers" -gt 1 ]; then
    args+=(-fork="$workers")
fi
"$out/$name-fuzzer" "${args[@]}" "$out/$name-corpus" "fuzz/corpus/$name" "${seeds[@]}"
