#!/usr/bin/env bash
# Measures the memory figures of docs/reliability.md with a built vedad:
#   reliability-figures.sh [BUILD_DIR]     (default: build)
# peak resident memory (GNU time) for a default page, for a 4000 by 4000 canvas and for 200
# and 2000 files in one run, and valgrind memcheck runs over conversions of several files with
# their leak summaries. Needs the Debian packages time and valgrind. Draws with FreeMono as
# Courier, as the tests do.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/lib.sh

build=${1:-build}
vedad=$root/$build/vedad
if [ ! -x "$vedad" ]; then
    echo "error: $vedad is missing; build the program first" >&2
    exit 1
fi
for tool in /usr/bin/time valgrind; do
    if ! command -v "$tool" >/dev/null; then
        echo "error: $tool is missing; install the Debian packages time and valgrind" >&2
        exit 1
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/fonts"
ln -s "$freemono" "$work/fonts/Courier.ttf"
export GDFONTPATH=$work/fonts
cp examples/notes.txt examples/features.txt examples/colors.html "$work/"
# A page of text that reaches past 4000 pixels both ways.
for i in $(seq 1 400); do printf 'line %04d %s\n' "$i" "$(printf 'x%.0s' $(seq 1 700))"; done >"$work/wide.txt"

peak() {  # peak resident memory of one run, in KiB
    local label=$1
    shift
    (cd "$work" && /usr/bin/time -f %M -o "$work/time" "$vedad" --silent --overwrite "$@")
    printf '%-58s %8s KiB\n' "$label" "$(cat "$work/time")"
}

echo "vedad: $vedad"
echo "peak resident memory (GNU time, maximum resident set size)"
peak "default page, notes.txt" notes.txt
peak "default page, colors.html (--html-input)" --html-input colors.html
peak "4000x4000 canvas, notes.txt, --no-crop" --size=4000x4000 --no-crop notes.txt
peak "4000x4000 canvas, text over all of it, cropped" --size=4000x4000 wide.txt
peak "4000x4000 canvas, text over all of it, --no-crop" --size=4000x4000 --no-crop wide.txt
mkdir "$work/many"
for i in $(seq -w 1 2000); do echo "file $i" >"$work/many/f$i.txt"; done
peak "200 files in one run" $(cd "$work" && ls many/*.txt | head -200)
peak "2000 files in one run" $(cd "$work" && ls many/*.txt)

memcheck() {  # a memcheck run with its command and leak summary
    local label=$1
    shift
    echo
    echo "valgrind memcheck: $label"
    local status=0
    (cd "$work" && printf 'from standard input\n' | valgrind --leak-check=full --show-leak-kinds=definite,indirect,possible \
        --errors-for-leak-kinds=definite,indirect --error-exitcode=3 --log-file="$work/memcheck" \
        "$vedad" --silent --overwrite "$@") || status=$?
    sed -n -e 's/^==[0-9]*== //' -e '/^Command:/p' -e '/HEAP SUMMARY/,$p' "$work/memcheck" | grep -v '^$'
    echo "exit status: $status"
}

memcheck "plain text, three files and standard input" notes.txt features.txt wide.txt -
memcheck "span HTML, two files" --html-input colors.html colors.html
memcheck "a run that ends at a missing second file" notes.txt missing.txt
