#!/usr/bin/env bash
# Measures vedad side by side with ImageMagick, pango-view and the libgd floor (bench/floor.c)
# on the workloads of bench/make_workloads.py, and writes docs/performance.md and
# docs/performance-time.png from that one run.
#   bash bench/run.sh                the full run (about ten minutes on two cores)
#   bash bench/run.sh --quick        fewer repetitions, to try the harness
#   bash bench/run.sh --against=REV  compare instructions with revision REV (bench/against.sh);
#                                    the default is 80d3626, the last one before fallback fonts,
#                                    and --against=none leaves the comparison out
# Installs what it needs from Debian when it is missing; builds in build-bench/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/lib.sh

runs=10
big_runs=3
against=80d3626
for argument in "$@"; do
    case $argument in
        --quick) runs=2; big_runs=1 ;;
        --against=*) against=${argument#--against=} ;;
        *) echo "usage: bash bench/run.sh [--quick] [--against=REV|none]" >&2; exit 2 ;;
    esac
done

font=$freemono
build=$root/build-bench
work=$build/work
results=$build/results

packages=(g++ gcc cmake pkg-config libgd-dev fonts-freefont-ttf python3 hyperfine valgrind time gnuplot-nox
    imagemagick pango1.0-tools)
install_missing --quiet "${packages[@]}"

echo "== building"
cmake -S . -B "$build/static" -DCMAKE_BUILD_TYPE=Release -DVEDAD_BUILD_TESTS=OFF -DVEDAD_STATIC_GD=ON >/dev/null
cmake -S . -B "$build/shared" -DCMAKE_BUILD_TYPE=Release -DVEDAD_BUILD_TESTS=OFF -DVEDAD_STATIC_GD=OFF >/dev/null
nice cmake --build "$build/static" -j 2 >/dev/null
nice cmake --build "$build/shared" -j 2 >/dev/null
gd_archive=$(grep '^VEDAD_GD_ARCHIVE:' "$build/static/CMakeCache.txt" | cut -d= -f2)
# shellcheck disable=SC2046
gcc -O2 -Wall -Wextra bench/floor.c -o "$build/floor" "$gd_archive" $(pkg-config --libs libpng zlib freetype2 fontconfig) -lm
gcc -O2 -Wall -Wextra bench/floor.c -o "$build/floor-shared" $(pkg-config --libs gdlib)

# The last run's files are moved aside and removed only once this run is timed: removing
# thousands of files makes the disk's next new files dearer for minutes after.
old_work=$build/old-work
rm -rf "$old_work" "$results"
if [ -d "$work" ]; then mv "$work" "$old_work"; fi
mkdir -p "$work/out" "$work/out500" "$work/out500im" "$work/out500pango" "$work/out500each" "$results"
python3 bench/make_workloads.py "$work"
cd "$work"

vedad="$build/static/vedad --font=$font --overwrite"
vedad_shared="$build/shared/vedad --font=$font --overwrite"
floor="$build/floor"
floor_shared="$build/floor-shared"
pango_font="FreeMono 7"
pango="pango-view -q --font='$pango_font' --dpi=96 --margin=0 --background=black --foreground=white"
# ImageMagick draws at 72 dots per inch unless told; libgd at 96.
magick="/usr/bin/convert -size 640x480 xc:black -font $font -density 96 -pointsize 7 -fill white"
PAGE_TEXT=$(cat page.txt)
export PAGE_TEXT

# The floors make the same libgd calls as vedad, so their pictures must hold the same pixels
# (vedad encodes them in fewer bytes than libgd's writer).
same_pixels() {
    [ "$(/usr/bin/compare -metric AE "$1" "$2" null: 2>&1)" = 0 ] || { echo "$1 and $2 differ" >&2; return 1; }
}
$vedad --output=out/v.png page.txt 2>/dev/null
$floor text "$font" page.txt out/f.png
same_pixels out/v.png out/f.png
$vedad --html-input --output=out/vs.png page.html 2>/dev/null
$floor spans "$font" page.cells out/fs.png
same_pixels out/vs.png out/fs.png
$vedad --ansi-input --output=out/va.png terminal.ansi 2>/dev/null
$floor cells "$font" terminal.cells out/fa.png
same_pixels out/va.png out/fa.png
# And leaving out what cannot be seen changes nothing: every row drawn gives the same picture.
for input in log.txt narrow.txt; do
    $vedad --output=out/v-$input.png $input 2>/dev/null
    $floor text "$font" $input out/f-$input.png
    same_pixels out/v-$input.png out/f-$input.png
done

# One script per tool for the 500 small files: the text of each file is in the script itself,
# so that the loop costs no more than the runs it holds.
{
    for f in small/*.txt; do
        printf '%s -annotate +0+11 %q -trim +repage out500im/%s.png\n' "$magick" "$(cat "$f")" "$(basename "$f" .txt)"
    done
} >magick500.sh
{
    for f in small/*.txt; do
        printf "%s -o out500pango/%s.png %s\n" "$pango" "$(basename "$f" .txt)" "$f"
    done
} >pango500.sh
{
    for f in small/*.txt; do printf '%s --output=out500each/ %s 2>/dev/null\n' "$vedad" "$f"; done
} >vedad500.sh

{
    echo "load_start=$(cut -d' ' -f1-3 /proc/loadavg)"
    echo "cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -1)"
    echo "cores=$(nproc)"
    echo "memory=$(free -m | awk '/^Mem:/ {print $2}') MB"
    echo "kernel=$(uname -r)"
    echo "debian=$(cat /etc/debian_version)"
    echo "gcc=$(gcc --version | head -1)"
    for p in libgd3 libfreetype6 libpng16-16 imagemagick-6.q16 pango1.0-tools libpango-1.0-0 libcairo2 hyperfine valgrind; do
        echo "pkg_$p=$(dpkg-query -W -f='${Version}' "$p" 2>/dev/null || echo none)"
    done
    echo "pango_font_file=$(fc-match -f '%{file}' 'FreeMono:size=7')"
    # The last commit that changed the program: a rebase of the benchmark's own commits keeps it.
    echo "commit=$(git -C "$root" log -1 --format=%h -- src CMakeLists.txt cmake)$(git -C "$root" diff --quiet HEAD -- src CMakeLists.txt cmake || echo ' (with changes)')"
    echo "libraries_static=$(ldd "$build/static/vedad" | wc -l)"
    echo "libraries_shared=$(ldd "$build/shared/vedad" | wc -l)"
    echo "runs=$runs"
    echo "big_runs=$big_runs"
} >"$results/machine.txt"

# Wall times are taken at a raised priority when the run may raise it, so that other work on
# the machine (a fuzzer, say) disturbs them less; the report states which.
priority=()
if nice -n -10 true 2>/dev/null; then priority=(nice -n -10); fi
echo "priority=${priority[*]:-normal}" >>"$results/machine.txt"
echo "niceness=$(nice) (timed runs: $("${priority[@]}" nice))" >>"$results/machine.txt"
hf() {  # name, runs, then -n NAME COMMAND pairs
    local name=$1 count=$2
    shift 2
    echo "== wall time: $name"
    "${priority[@]}" hyperfine --style basic --warmup 1 --runs "$count" --export-json "$results/time-$name.json" "$@" >/dev/null
}
# The pages run in three rounds, so that a change in the machine's other load during the run
# falls on every program alike; the report pools the rounds.
for round in 1 2 3; do
    hf "page-$round" "$runs" \
        -n vedad "$vedad --output=out/v.png page.txt 2>/dev/null" \
        -n "vedad, shared libgd" "$vedad_shared --output=out/vd.png page.txt 2>/dev/null" \
        -n floor "$floor text $font page.txt out/f.png" \
        -n "floor, shared libgd" "$floor_shared text $font page.txt out/fd.png" \
        -n pango-view "$pango -o out/p.png page.txt" \
        -n ImageMagick "$magick -annotate +0+11 \"\$PAGE_TEXT\" -trim +repage out/im.png"
    hf "span-$round" "$runs" \
        -n vedad "$vedad --html-input --output=out/vs.png page.html 2>/dev/null" \
        -n floor "$floor spans $font page.cells out/fs.png" \
        -n "pango-view --markup" "$pango --markup -o out/ps.png page.pango"
    hf "terminal-$round" "$runs" \
        -n vedad "$vedad --ansi-input --output=out/va.png terminal.ansi 2>/dev/null" \
        -n floor "$floor cells $font terminal.cells out/fa.png" \
        -n "vedad, the text alone" "$vedad --output=out/vt.png terminal.txt 2>/dev/null"
done
hf line "$((3 * runs))" \
    -n vedad "$vedad --output=out/v1.png line.txt 2>/dev/null" \
    -n "vedad, shared libgd" "$vedad_shared --output=out/vd1.png line.txt 2>/dev/null"
hf log "$big_runs" \
    -n vedad "$vedad --output=out/vl.png log.txt 2>/dev/null" \
    -n "floor, every row" "$floor text $font log.txt out/fl.png"
hf narrow "$big_runs" \
    -n vedad "$vedad --output=out/vn.png narrow.txt 2>/dev/null" \
    -n "floor, every row" "$floor text $font narrow.txt out/fn.png"
for n in 40 500 2000 5000 10000; do
    count=$big_runs
    if [ "$n" -le 500 ]; then count=$runs; fi
    hf "size-$n" "$count" \
        -n vedad "$vedad --output=out/vz.png log-$n.txt 2>/dev/null" \
        -n "floor, every row" "$floor text $font log-$n.txt out/fz.png"
done
# One run as a script converts a batch: into a new folder, on the disk and in memory (tmpfs,
# where making a file costs least), with no folder removed between the runs (removing files
# makes the disk's next new files dearer, in the file system's own bookkeeping). Each run
# starts with nothing left to write back, so that it pays for its own files only: this is
# timed before the runs of 2,000 files below, and after a sync.
vedad_claiming="$build/static/vedad --font=$font"
runs_disk=$work/new-folders
runs_memory=$(mktemp -d -p /dev/shm vedad-bench.XXXXXX)
mkdir -p "$runs_disk"
export runs_disk runs_memory
hf files-new "$runs" --shell=bash --prepare sync \
    -n "vedad, one run into a new folder" "d=\$(mktemp -d -p \$runs_disk) && $vedad_claiming --output=\$d/ small/*.txt 2>/dev/null" \
    -n "vedad, one run into a new folder in memory" "d=\$(mktemp -d -p \$runs_memory) && $vedad_claiming --output=\$d/ small/*.txt 2>/dev/null"
# --jobs=2 against one thread on 2,000 small files (the 500, four times over in folders of
# their own, so that names are numbered), each run into a fresh folder.
for copy in 1 2 3 4; do mkdir -p "in$copy" && cp small/*.txt "in$copy/"; done
ls in?/*.txt >list2000.txt
# The machine's own ceiling for two cores: two processes of one thread, each over half the list.
head -n 1000 list2000.txt >list2000-first.txt
tail -n +1001 list2000.txt >list2000-second.txt
convert2000() {  # folder, options...
    local folder=$1
    shift
    rm -rf "$folder"
    xargs -a list2000.txt -d '\n' $vedad_claiming --output="$folder/" "$@" 2>"$folder.err"
}
# Without --overwrite: each name's four files are numbered, and every picture is kept. Each
# timed run writes into a new folder, none removed until the end (see the small files above).
jobs_runs=$work/jobs-folders
mkdir -p "$jobs_runs"
convert_halves() {  # folder: two processes at once, each over half the list, into its own folder
    mkdir -p "$1/first" "$1/second"
    xargs -a list2000-first.txt -d '\n' $vedad_claiming --output="$1/first/" 2>/dev/null &
    xargs -a list2000-second.txt -d '\n' $vedad_claiming --output="$1/second/" 2>/dev/null
    wait
}
export -f convert2000 convert_halves
export vedad_claiming jobs_runs
jobs_memory=$(mktemp -d -p /dev/shm vedad-jobs.XXXXXX)
export jobs_memory
hf jobs "$runs" --shell=bash --prepare sync \
    -n "one thread" "convert2000 \$(mktemp -d -p \$jobs_runs)" \
    -n "two threads, --jobs=2" "convert2000 \$(mktemp -d -p \$jobs_runs) --jobs=2" \
    -n "one thread, in memory" "convert2000 \$(mktemp -d -p \$jobs_memory)" \
    -n "two threads, --jobs=2, in memory" "convert2000 \$(mktemp -d -p \$jobs_memory) --jobs=2" \
    -n "two processes over halves, in memory" "convert_halves \$(mktemp -d -p \$jobs_memory)"
rm -rf "$jobs_runs" "$jobs_memory" "$runs_disk" "$runs_memory"
convert2000 out2000one
convert2000 out2000two --jobs=2
(cd out2000one && sha256sum ./*) >one.sums
(cd out2000two && sha256sum ./*) >two.sums
cmp -s one.sums two.sums || { echo "--jobs=2 made other pictures than one thread" >&2; exit 1; }
sed 's|out2000two/|out2000one/|' out2000two.err | cmp -s - out2000one.err ||
    { echo "--jobs=2 told other messages than one thread" >&2; exit 1; }
echo "jobs_pictures=$(wc -l <one.sums)" >>"$results/machine.txt"
hf files "$big_runs" \
    -n "vedad, one run" "$vedad --output=out500/ small/*.txt 2>/dev/null" \
    -n "vedad, 500 runs" "bash vedad500.sh" \
    -n "pango-view, 500 runs" "bash pango500.sh" \
    -n "ImageMagick, 500 runs" "bash magick500.sh"

echo "== instructions"
instructions() {  # name, command...
    local name=$1
    shift
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        sed -n "s/^==[0-9]*== Collected : \([0-9]*\)/$name=\1/p" >>"$results/instructions.txt"
}
: >"$results/instructions.txt"
instructions page_vedad $vedad --output=out/v.png page.txt
instructions page_vedad_shared $vedad_shared --output=out/vd.png page.txt
instructions page_floor $floor text $font page.txt out/f.png
instructions page_floor_shared $floor_shared text $font page.txt out/fd.png
instructions page_pango pango-view -q "--font=$pango_font" --dpi=96 --margin=0 --background=black --foreground=white -o out/p.png page.txt
instructions page_magick /usr/bin/convert -size 640x480 xc:black -font $font -density 96 -pointsize 7 -fill white -annotate +0+11 "$PAGE_TEXT" -trim +repage out/im.png
instructions span_vedad $vedad --html-input --output=out/vs.png page.html
instructions span_floor $floor spans $font page.cells out/fs.png
instructions terminal_vedad $vedad --ansi-input --output=out/va.png terminal.ansi
instructions terminal_floor $floor cells $font terminal.cells out/fa.png
instructions terminal_text_vedad $vedad --output=out/vt.png terminal.txt
instructions line_vedad $vedad --output=out/v1.png line.txt
instructions line_vedad_shared $vedad_shared --output=out/vd1.png line.txt
# The Debian package as scripts/build-package.sh makes it, built afresh: its one-line run.
(cd "$root" && rm -rf build-package && nice bash scripts/build-package.sh >/dev/null)
rm -rf package && dpkg-deb -x "$root"/build-package/vedad_*.deb package
instructions line_package package/usr/bin/vedad --font=$font --overwrite --output=out/vp1.png line.txt
instructions span_pango pango-view -q "--font=$pango_font" --dpi=96 --margin=0 --background=black --foreground=white --markup -o out/ps.png page.pango
instructions log_vedad $vedad --output=out/vl.png log.txt
instructions narrow_vedad $vedad --output=out/vn.png narrow.txt

# Instructions of each of the 500 conversions in one run, start-up left out. A profile is
# dumped as each page starts to be drawn, so dump k + 1 holds file k; the last file is in
# the final dump, and its first steps (opening, the new image) in the first.
rm -rf "$work/callgrind500" && mkdir -p "$work/callgrind500"
valgrind --tool=callgrind --collect-atstart=no "--toggle-collect=vedad::convert_file*" \
    "--dump-before=vedad::render_page*" --callgrind-out-file="$work/callgrind500/cg.out" \
    $vedad --output=out500/ small/*.txt >/dev/null 2>&1
summary() { sed -n 's/^summary: //p' "$1"; }
{
    for ((k = 2; k <= 500; k++)); do summary "$work/callgrind500/cg.out.$k"; done
    echo $(($(summary "$work/callgrind500/cg.out") + $(summary "$work/callgrind500/cg.out.1")))
} >"$results/per-file.txt"

echo "== peak memory"
peak() {  # name, command...
    local name=$1
    shift
    /usr/bin/time -f "$name=%M" -o "$results/peak.tmp" "$@" >/dev/null 2>&1
    cat "$results/peak.tmp" >>"$results/peak.txt"
}
: >"$results/peak.txt"
for i in 1 2 3; do
    peak page_vedad $vedad --output=out/v.png page.txt
    peak page_floor $floor text $font page.txt out/f.png
    peak page_vedad_shared $vedad_shared --output=out/vd.png page.txt
    peak page_floor_shared $floor_shared text $font page.txt out/fd.png
    peak page_pango pango-view -q "--font=$pango_font" --dpi=96 --margin=0 --background=black --foreground=white -o out/p.png page.txt
    peak page_magick /usr/bin/convert -size 640x480 xc:black -font $font -density 96 -pointsize 7 -fill white -annotate +0+11 "$PAGE_TEXT" -trim +repage out/im.png
    peak span_vedad $vedad --html-input --output=out/vs.png page.html
    peak span_floor $floor spans $font page.cells out/fs.png
    peak log_vedad $vedad --output=out/vl.png log.txt
    peak log_floor $floor text $font log.txt out/fl.png
    peak terminal_vedad $vedad --ansi-input --output=out/va.png terminal.ansi
    peak terminal_floor $floor cells $font terminal.cells out/fa.png
    peak line_vedad $vedad --output=out/v1.png line.txt
    peak line_vedad_shared $vedad_shared --output=out/vd1.png line.txt
    rm -rf out/split && mkdir -p out/split
    peak split_vedad $vedad --split=100 --output=out/split/ log-10000.txt
done
# The pages' PNG sizes against libgd's own writer, which the floors use, for the same pixels.
{
    for pair in page:v:f span:vs:fs terminal:va:fa; do
        IFS=: read -r name ours floors <<<"$pair"
        echo "$name=$(stat -c %s out/$ours.png) $(stat -c %s out/$floors.png)"
    done
    echo "split_pictures=$(find out/split -name '*.png' | wc -l)"
} >"$results/sizes.txt"
rm -f "$results/peak.tmp"

echo "load_end=$(cut -d' ' -f1-3 /proc/loadavg)" >>"$results/machine.txt"
cd "$root"
rm -f "$results/against.txt"
if [ "$against" != none ]; then
    echo "== instructions against $against"
    bash bench/against.sh "$against" "$results"
fi
rm -rf "$old_work"
python3 bench/report.py "$results" docs/performance.md "$build/plot.dat"
gnuplot -e "data='$build/plot.dat'; output='docs/performance-time.png'" bench/plot.gp
echo "wrote docs/performance.md and docs/performance-time.png"
