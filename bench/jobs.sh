#!/usr/bin/env bash
# What --jobs= gains: 2,000 small files (bench/make_workloads.py's 500, four times over in
# folders of their own) converted by one run with one thread, and by one run with --jobs=2,
# into a fresh folder each time (hyperfine, wall and CPU time); then checks that both runs
# give the same pictures under the same names and the same messages. --jobs= keeps freed
# memory for the next file (a trim threshold of 64 MB); the serial run given the same through
# GLIBC_TUNABLES shows how much of the gain is that and how much the second thread.
#   bash bench/jobs.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-5}
vedad=$(realpath "$build/vedad")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/make_workloads.py "$work" >/dev/null
cd "$work"
files=()
for copy in 1 2 3 4; do
    mkdir -p "in$copy"
    cp small/*.txt "in$copy/"
    files+=("in$copy"/*.txt)
done
printf '%s\n' "${files[@]}" >list.txt
font=/usr/share/fonts/truetype/freefont/FreeMono.ttf
convert_all() {  # folder, options...
    local folder=$1
    shift
    rm -rf "$folder"
    xargs -a list.txt -d '\n' "$vedad" --font=$font --output="$folder/" "$@" 2>"$folder.err"
}
export -f convert_all
export vedad font
echo "cores: $(nproc); files: ${#files[@]} (numbered names: each name four times)"
hyperfine --shell=bash --warmup 1 --runs "$runs" --export-markdown jobs.md \
    -n "one thread" "convert_all one" \
    -n "one thread, freed memory kept" "GLIBC_TUNABLES=glibc.malloc.trim_threshold=67108864 convert_all kept" \
    -n "two threads, --jobs=2" "convert_all two --jobs=2"
cat jobs.md
# Byte for byte the same pictures, names and messages.
convert_all one
convert_all two --jobs=2
(cd one && sha256sum ./*) >one.sums
(cd two && sha256sum ./*) >two.sums
cmp -s one.sums two.sums || { echo "the pictures differ" >&2; exit 1; }
sed 's|two/|one/|' two.err | cmp -s - one.err || { echo "the messages differ" >&2; exit 1; }
echo "same $(wc -l <one.sums) pictures and the same messages"
