#!/usr/bin/env bash
# Compares the instructions this tree's vedad takes with those of an earlier revision, on the
# benchmark's page, span page and terminal page, all drawn in FreeMono given by path (a page the
# font fully covers, so no fallback face is ever needed).
#   bash bench/against.sh REV [RESULTS_DIR]
# REV is built from `git archive` (never checked out or committed) in build-bench/against/REV/,
# this tree in build-bench/static/ (both Release, libgd linked statically). Writes
# RESULTS_DIR/against.txt (key=value lines, read by bench/report.py) and, per workload, the
# functions whose own instructions changed most, RESULTS_DIR/against-NAME.txt; prints a summary.
# Instruction counts do not depend on the machine's load, so one run of each is enough.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/lib.sh

rev=${1:?usage: bench/against.sh REV [RESULTS_DIR]}
build=$root/build-bench
results=${2:-$build/results}
font=$freemono
install_missing --quiet g++ cmake pkg-config libgd-dev libfreetype-dev libfontconfig-dev fonts-freefont-ttf python3 valgrind imagemagick

sha=$(git rev-parse --short "$rev^{commit}")
old=$build/against/$sha
work=$build/against/work
configure() {  # source, build directory
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DVEDAD_BUILD_TESTS=OFF -DVEDAD_STATIC_GD=ON >/dev/null
    nice cmake --build "$2" -j2 >/dev/null
}
echo "== building $sha and this tree"
if [ ! -x "$old/build/vedad" ]; then
    rm -rf "$old" && mkdir -p "$old/src"
    git archive "$sha" | tar -x -C "$old/src"
    configure "$old/src" "$old/build"
fi
configure . "$build/static"

rm -rf "$work" && mkdir -p "$work/out" "$results"
python3 bench/make_workloads.py "$work" >/dev/null
cd "$work"

# The functions named in the profile with their own instructions, summed over the names.
self_costs() {
    callgrind_annotate --threshold=100 "$1" | python3 -c '
import re, sys
costs, started = {}, False
for line in sys.stdin:
    if "file:function" in line:
        started = True
        continue
    m = re.match(r"^\s*([\d,]+) \(\s*[\d.]+%\)\s+(.*?)( \[(.*)\])?$", line.rstrip("\n")) if started else None
    if m:
        name = re.sub(r"^\?\?\?:", "", m.group(2))
        if name.startswith("0x"):  # no symbol: the library is what can be named
            name = "(" + (m.group(4) or "?").rsplit("/", 1)[-1] + ")"
        elif name.endswith(")"):  # parameters left out, so that a changed signature stays one name
            depth = 0
            for i in range(len(name) - 1, -1, -1):
                depth += {")": 1, "(": -1}.get(name[i], 0)
                if depth == 0:
                    name = name[:i]
                    break
        costs[name] = costs.get(name, 0) + int(m.group(1).replace(",", ""))
for name, cost in costs.items():
    print(f"{cost}\t{name}")
'
}

out=$results/against.txt
: >"$out"
echo "rev=$sha" >>"$out"
echo "rev_subject=$(git -C "$root" log -1 --format=%s "$sha" | cut -c1-100)" >>"$out"
echo "now=$(git -C "$root" log -1 --format=%h -- src CMakeLists.txt cmake)$(git -C "$root" diff --quiet HEAD -- src CMakeLists.txt cmake || echo ' (with changes)')" >>"$out"
for workload in page span terminal; do
    case $workload in
        page) args=(page.txt) ;;
        span) args=(--html-input page.html) ;;
        terminal) args=(--ansi-input terminal.ansi) ;;
    esac
    for side in old new; do
        program=$old/build/vedad
        if [ "$side" = new ]; then program=$build/static/vedad; fi
        valgrind --tool=callgrind --callgrind-out-file="$work/cg-$workload-$side" \
            "$program" "--font=$font" --overwrite "--output=out/$workload-$side.png" "${args[@]}" 2>"$work/vg.txt" >/dev/null
        echo "${workload}_${side}=$(sed -n 's/^==[0-9]*== Collected : \([0-9]*\)/\1/p' "$work/vg.txt")" >>"$out"
        self_costs "$work/cg-$workload-$side" >"$work/self-$workload-$side.txt"
    done
    # The same pixels, whatever encoder wrote them.
    if [ "$(/usr/bin/compare -metric AE "out/$workload-old.png" "out/$workload-new.png" null: 2>&1)" = 0 ]; then
        same=yes
    else
        same=no
    fi
    echo "${workload}_same_picture=$same" >>"$out"
    # Whether fontconfig did any work: its functions, or any code in its library, and the
    # call that loads its configuration and font list.
    fc=$(awk -F'\t' '$2 ~ /^Fc|libfontconfig/ {s += $1} END {print s + 0}' "$work/self-$workload-new.txt")
    echo "${workload}_fontconfig_new=$fc" >>"$out"
    fc=$(awk -F'\t' '$2 ~ /^Fc|libfontconfig/ {s += $1} END {print s + 0}' "$work/self-$workload-old.txt")
    echo "${workload}_fontconfig_old=$fc" >>"$out"
    if grep -q 'FcInitLoadConfigAndFonts' "$work/self-$workload-new.txt" ||
        callgrind_annotate --inclusive=yes --threshold=100 "$work/cg-$workload-new" | grep -q 'FcInitLoadConfigAndFonts'; then
        echo "${workload}_loads_fontconfig=yes" >>"$out"
    else
        echo "${workload}_loads_fontconfig=no" >>"$out"
    fi
    # The functions whose own instructions changed most (by name without parameters; one
    # renamed shows as one gone and one new).
    python3 - "$work/self-$workload-old.txt" "$work/self-$workload-new.txt" >"$results/against-$workload.txt" <<'EOF'
import sys
def load(path):
    with open(path) as f:
        return {name: int(cost) for cost, name in (line.rstrip("\n").split("\t", 1) for line in f)}
old, new = load(sys.argv[1]), load(sys.argv[2])
changes = sorted(((new.get(n, 0) - old.get(n, 0), n) for n in old.keys() | new.keys()), key=lambda c: (-abs(c[0]), c[1]))
for change, name in changes[:12]:
    if change != 0:
        print(f"{change}\t{old.get(name, 0)}\t{new.get(name, 0)}\t{name}")
EOF
done

# Calls and inclusive cost of the function that names the font file for each text drawn.
for workload in page span terminal; do
    callgrind_annotate --tree=caller --threshold=100 "$work/cg-$workload-new" | python3 -c '
import re, sys
calls = cost = 0
for block in sys.stdin.read().split("\n\n"):
    lines = block.splitlines()
    if any(re.search(r"\*  \S*vedad::canvas_libgd_font\(", l) for l in lines):
        for l in lines:
            if re.match(r"^\s*[\d,]+ \(.*\)\s+<", l):
                cost += int(l.split()[0].replace(",", ""))
                m = re.search(r"\(([\d,]+)x\)", l)
                calls += int(m.group(1).replace(",", "")) if m else 0
print(f"'"$workload"'_libgd_font_calls={calls}")
print(f"'"$workload"'_libgd_font_inclusive={cost}")
' >>"$out"
done

python3 - "$out" <<'EOF'
import sys
v = dict(line.rstrip("\n").split("=", 1) for line in open(sys.argv[1]) if "=" in line)
print(f"instructions, {v['rev']} against {v['now']}:")
for w in ("page", "span", "terminal"):
    old, new = int(v[f"{w}_old"]), int(v[f"{w}_new"])
    print(f"  {w:9} {old / 1e6:9.2f} M  {new / 1e6:9.2f} M  ratio {new / old:.4f}  same picture: {v[f'{w}_same_picture']}"
          f"  fontconfig loaded: {v[f'{w}_loads_fontconfig']}")
EOF
