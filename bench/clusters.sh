#!/usr/bin/env bash
# What grapheme clusters cost: instructions (callgrind) for 1,000 emoji sequences (a skin tone,
# a ZWJ family, a flag, a keycap, a VS16 heart, in turn) against 1,000 single emoji, as rows of
# plain text and as terminal output, 25 lines of 40; and the 40-row plain, span and terminal
# pages of bench/make_workloads.py, which hold no cluster of several code points, with a
# one-line run, to hold against another build's figures.
#   bash bench/clusters.sh [BUILD_DIR]
# Measured on 2026-12-11 (FreeMono, Release build, instructions; main at d442e29, before
# clusters, beside):
#   one line   3.00 M (3.00 M)     plain page  23.02 M (22.98 M)
#   span page  61.88 M (61.62 M)   terminal    37.62 M (37.44 M)
#   emoji in rows      sequences 42.3 M, single 33.9 M: 1.25 times (main: 72.7 M, 33.7 M)
#   emoji in terminal  sequences 52.1 M, single 39.5 M: 1.32 times (main: 79.6 M, 38.8 M)
# Each emoji run is made once before it is counted, so that fontconfig's answers for the
# fallback face are kept, as in every run after the first.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/make_workloads.py "$work" >/dev/null
python3 - "$work" <<'PYTHON'
import sys
sequences = ["\U0001F44D\U0001F3FD", "\U0001F468\u200D\U0001F469\u200D\U0001F467", "\U0001F1EB\U0001F1F7",
             "1\uFE0F\u20E3", "\u2764\uFE0F"]
singles = ["\U0001F44D", "\U0001F468", "\U0001F1EB", "\U0001F600", "\u2764"]
for name, items in (("sequences", sequences), ("single", singles)):
    rows = ["".join(items[(row * 40 + column) % 5] for column in range(40)) for row in range(25)]
    with open(f"{sys.argv[1]}/emoji-{name}.txt", "w", encoding="utf-8") as out:
        out.write("\n".join(rows) + "\n")
PYTHON
font=/usr/share/fonts/truetype/freefont/FreeMono.ttf
count() {
    "$build/vedad" --font=$font --overwrite --output="$work/out.png" "$@" 2>/dev/null
    valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" "$build/vedad" --font=$font --overwrite \
        --output="$work/out.png" "$@" 2>&1 | sed -n 's/.*Collected : //p'
}
for page in "one line:line.txt" "plain page:page.txt" "span page:--html-input page.html" \
    "terminal page:--ansi-input terminal.ansi"; do
    read -r -a arguments <<<"${page#*:}"
    arguments[-1]=$work/${arguments[-1]}
    printf '%-14s %s instructions\n' "${page%%:*}" "$(count "${arguments[@]}")"
done
for form in "rows:" "terminal:--ansi-input"; do
    read -r -a extra <<<"${form#*:}"
    sequences=$(count "${extra[@]}" "$work/emoji-sequences.txt")
    single=$(count "${extra[@]}" "$work/emoji-single.txt")
    printf 'emoji in %-9s sequences %s, single %s instructions: %s times\n' "${form%%:*}" "$sequences" "$single" \
        "$(python3 -c "print(round($sequences / $single, 2))")"
done
