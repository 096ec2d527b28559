#!/usr/bin/env bash
# What the frame costs: instructions (callgrind) for the 40-row page of bench/make_workloads.py
# drawn plainly, as the same text picture --pretty frames (--fit --scale=2 --font-size=0.05),
# and with --pretty; and the frame alone at scale 1.
#   bash bench/frame.sh [BUILD_DIR]
# Measured on 2026-12-11 after the faster shadow and PNG writer (RelWithDebInfo, FreeMono):
#   plain 11.1 M; --fit 26.9 M; --fit --scale=2 --font-size=0.05 136 M; --pretty 524 M (3.8
#   times the same text picture, 47 times the plain one: the picture has twenty times the
#   pixels, with alpha, and compressing its 12 MB of rows is more than half the cost);
#   --pretty --scale=1 --font-size=0.025 69 M (2.6 times the --fit picture it frames).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/make_workloads.py "$work" >/dev/null
font=/usr/share/fonts/truetype/freefont/FreeMono.ttf
count() {
    valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" "$build/vedad" --font=$font --overwrite \
        --output="$work/out.png" "$@" "$work/page.txt" 2>&1 | sed -n 's/.*Collected : //p'
}
for options in "" "--fit" "--fit --scale=2 --font-size=0.05" "--pretty" "--pretty --scale=1 --font-size=0.025"; do
    # shellcheck disable=SC2086
    printf '%-40s %s\n' "${options:-(plain)}" "$(count $options)"
done
