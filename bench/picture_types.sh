#!/usr/bin/env bash
# What each picture type costs and weighs: instructions (callgrind) and bytes for the 40-row
# plain, span and terminal pages of bench/make_workloads.py, written as PNG, WebP and SVG
# (and SVG with --svg-glyphs).
#   bash bench/picture_types.sh [BUILD_DIR]
# Measured on 2026-12-11 (FreeMono, instructions / bytes):
#   plain     PNG 48.8 M / 20,033   WebP 126 M / 16,482   SVG 77.4 M / 76,649   outlines 79.8 M / 124,755
#   span      PNG 92.9 M / 98,855   WebP 902 M / 58,836   SVG 38.2 M / 122,721  outlines 42.2 M / 155,746
#   terminal  PNG 59.1 M / 28,411   WebP 405 M / 17,094   SVG 24.0 M / 73,174   outlines 28.3 M / 120,111
# The SVG of span and terminal pages costs less than their PNG (no pixels are encoded); plain
# text costs more, as each row's characters are placed by measuring the text before each.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/make_workloads.py "$work" >/dev/null
font=/usr/share/fonts/truetype/freefont/FreeMono.ttf
count() {
    local out=$1
    shift
    local instructions
    instructions=$(valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" "$build/vedad" --font=$font \
        --overwrite --output="$work/$out" "$@" 2>&1 | sed -n 's/.*Collected : //p')
    printf '%s instructions, %s bytes' "$instructions" "$(stat -c %s "$work/$out")"
}
for page in "plain:page.txt" "span:--html-input page.html" "terminal:--ansi-input terminal.ansi"; do
    name=${page%%:*}
    read -r -a arguments <<<"${page#*:}"
    arguments[-1]=$work/${arguments[-1]}
    for type in png webp svg "svg --svg-glyphs"; do
        read -r -a extra <<<"$type"
        printf '%-9s %-17s %s\n' "$name" "$type" "$(count "out.${extra[0]}" "${extra[@]:1}" "${arguments[@]}")"
    done
done
