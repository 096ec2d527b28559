#!/usr/bin/env bash
# The Debian package's one-line run against the source build's, in instructions
# (valgrind --tool=callgrind, as bench/run.sh counts them), on bench/make_workloads.py's
# line.txt with FreeMono by path. Builds the package with scripts/build-package.sh unless
# build-package/ holds one already.
#   bash bench/package.sh [SOURCE_BUILD_DIR]     (default build-bench/static, as bench/run.sh makes it)
set -euo pipefail
cd "$(dirname "$0")/.."
source_build=$(realpath "${1:-build-bench/static}")
debs=(build-package/vedad_*.deb)
[ -f "${debs[0]}" ] || bash scripts/build-package.sh >/dev/null
debs=(build-package/vedad_*.deb)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "${debs[0]}" "$work/root"
python3 bench/make_workloads.py "$work" >/dev/null
font=/usr/share/fonts/truetype/freefont/FreeMono.ttf
count() {  # binary
    (cd "$work" && valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" --font=$font --overwrite \
        --output=line.png line.txt 2>&1 >/dev/null | sed -n 's/^==[0-9]*== Collected : //p')
}
package=$(count "$work/root/usr/bin/vedad")
source=$(count "$source_build/vedad")
echo "package $(basename "${debs[0]}") ($(dpkg-deb -f "${debs[0]}" Built-Using)): $package instructions"
echo "source build $source_build: $source instructions"
awk -v p="$package" -v s="$source" 'BEGIN { printf "package / source build: %.3f\n", p / s }'
