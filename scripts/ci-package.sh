#!/usr/bin/env bash
# Builds the Debian package in build-package/, installs it, converts a file with the
# installed /usr/bin/vedad, removes the package and checks that the program and the font
# link it made are gone. Needs root (or sudo) and a Debian machine set up by setup.sh.
# A Courier link that setup.sh made earlier is taken away for the test, so that the
# package's own registration is what is tested, and put back at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

build=build-package
installed() {
    dpkg-query -W -f='${Status}' vedad 2>/dev/null | grep -q 'install ok installed'
}
fail() {
    echo "ci-package: $*" >&2
    exit 1
}
ours() {  # the Courier link to FreeMono that the registration makes
    [ -L "$courier_link" ] && [ "$(readlink "$courier_link")" = "$freemono" ]
}

if installed; then fail "the vedad package is installed already; remove it first"; fi

rm -f "$build"/vedad_*.deb
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVEDAD_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/vedad_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single package: ${debs[*]}"
deb=${debs[0]}
depends=$(dpkg-deb -f "$deb" Depends)
echo "built $deb (Depends: $depends)"
# libgd is linked in when its static archive is there (cmake/StaticGd.cmake); the package then
# depends on the libraries libgd draws and writes with instead of on libgd itself.
needed_libraries=(libgd3)
if [[ $depends != *libgd3* ]]; then needed_libraries=(libfreetype6 libpng16-16); fi
for needed in fonts-freefont-ttf libc6 "${needed_libraries[@]}"; do
    [[ $depends == *"$needed"* ]] || fail "$needed is missing from Depends"
done

work=$(mktemp -d)
restore_link=no
cleanup() {
    if installed; then apt_get purge vedad >/dev/null || true; fi
    if [ "$restore_link" = yes ] && ! ours; then as_root bash scripts/register-default-font.sh >/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT
if ours; then
    as_root bash scripts/register-default-font.sh --remove
    restore_link=yes
fi
had_font=no
if [ -e "$courier_link" ]; then had_font=yes; fi

(cd "$(dirname "$deb")" && apt_get install "./$(basename "$deb")" >/dev/null)
installed || fail "the package did not install"
for file in /usr/bin/vedad /usr/share/man/man1/vedad.1 /usr/share/bash-completion/completions/vedad \
    /usr/share/doc/vedad/README.md /usr/share/doc/vedad/LICENSE; do
    [ -f "$file" ] || fail "$file is missing after installation"
done
if [ "$had_font" = no ]; then ours || fail "installation did not link FreeMono as $courier_link"; fi

# The installed program finds its default font by itself, without GDFONTPATH.
cp examples/notes.txt "$work/"
(cd "$work" && env -u GDFONTPATH /usr/bin/vedad notes.txt 2>"$work/err") ||
    fail "the installed vedad failed: $(cat "$work/err")"
[ "$(cat "$work/err")" = "writing notes.png" ] || fail "unexpected messages: $(cat "$work/err")"
[ "$(head -c 8 "$work/notes.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "notes.png is no PNG"
echo "the installed vedad converted notes.txt to a PNG of $(stat -c %s "$work/notes.png") bytes"

apt_get remove vedad >/dev/null
installed && fail "the package is still installed"
[ ! -e /usr/bin/vedad ] || fail "/usr/bin/vedad is still there after removal"
if [ "$had_font" = no ] && { [ -e "$courier_link" ] || [ -L "$courier_link" ]; }; then
    fail "$courier_link is still there after removal"
fi
apt_get purge vedad >/dev/null
[ ! -e /var/lib/vedad ] || fail "/var/lib/vedad is still there after purge"
echo "the package installed, converted and was removed cleanly"
