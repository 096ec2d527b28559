#!/usr/bin/env bash
# What an animation of a recording costs: instructions (callgrind), wall time and bytes for a
# recording of 1,000 output events over 60 s on an 80x24 terminal (bench/make_recording.py:
# typed commands, a progress bar, a coloured build log that scrolls), written as a GIF and as
# an animated WebP, and its final screen as a PNG. The goal for the GIF is under 1 s on one core.
#   bash bench/asciicast.sh [BUILD_DIR]
# Measured on 2026-12-11 (FreeMono; 997 frames, most of them the whole screen as the log
# scrolls; wall time of a quiet machine):
#   gif   3.84 G instructions, 0.36 s, 1,640,475 bytes (changed rows drawn again whole)
#   webp  7.22 G instructions, 0.48 s, 2,415,824 bytes
#   png   63.7 M instructions, 0.04 s, 7,374 bytes
# A quarter of the GIF's instructions go to libgd's colour quantizer: a scrolled screen of
# several colours, each with its shades of edge, holds more than a GIF table's 256 colours.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/make_recording.py --events 1000 --seconds 60 --columns 80 --rows 24 >"$work/session.cast"
font=/usr/share/fonts/truetype/freefont/FreeMono.ttf
for type in gif webp png; do
    out=$work/session.$type
    instructions=$(valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" "$build/vedad" --font=$font \
        --overwrite --asciicast --output="$out" "$work/session.cast" 2>&1 | sed -n 's/.*Collected : //p')
    start=$(date +%s.%N)
    "$build/vedad" --font=$font --overwrite --asciicast --output="$out" "$work/session.cast" 2>/dev/null
    end=$(date +%s.%N)
    printf '%-5s %s instructions, %.3f s, %s bytes\n' "$type" "$instructions" "$(echo "$end - $start" | bc)" \
        "$(stat -c %s "$out")"
done
