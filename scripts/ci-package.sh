#!/usr/bin/env bash
# Builds the Debian package in build-package/ (scripts/build-package.sh), checks it with
# lintian, which must report no error and no warning, checks that it depends on exactly
# what the binary links (as dpkg-shlibdeps finds it) besides the packages it names itself,
# and that it names the libgd it links in (Built-Using),
# installs it, converts a file with the installed /usr/bin/vedad (its default font found
# through fontconfig), removes the package and checks that the program is gone and that the
# font folders are as they were. Needs root (or sudo) and a Debian machine set up by
# setup.sh; installs lintian when it is missing.
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
font_folders() {  # every file and link below the font folders, and where links point
    find /usr/share/fonts /usr/local/share/fonts -printf '%p %l\n' 2>/dev/null | sort
}

if installed; then fail "the vedad package is installed already; remove it first"; fi
install_missing --quiet lintian

bash scripts/build-package.sh >/dev/null
debs=("$build"/vedad_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single package: ${debs[*]}"
deb=${debs[0]}
depends=$(dpkg-deb -f "$deb" Depends)
echo "built $deb (Depends: $depends; Recommends: $(dpkg-deb -f "$deb" Recommends))"

work=$(mktemp -d)
cleanup() {
    # Nothing of the package is left to purge unless it kept files; dpkg says so and goes on.
    if installed; then
        as_root dpkg --purge vedad >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Every tag lintian has, informational and pedantic ones too, is shown; errors and warnings fail.
lintian -I -E --pedantic --fail-on error,warning "$deb" \
    2> >(grep -v 'running with root privileges' >&2) || fail "lintian finds errors or warnings in $deb"
echo "lintian: no errors or warnings"

# Depends must be the packages Package.cmake names itself plus exactly the libraries
# dpkg-shlibdeps finds for the binary: none missing, none that nothing uses.
# dpkg-shlibdeps wants a source tree: debian/control, and the package's files with their
# control files (DEBIAN/) in debian/vedad.
mkdir -p "$work/shlibs/debian"
touch "$work/shlibs/debian/control"
dpkg-deb -R "$deb" "$work/shlibs/debian/vedad"
linked=$(cd "$work/shlibs" && dpkg-shlibdeps -O debian/vedad/usr/bin/vedad | sed -n 's/^shlibs:Depends=//p')
named=$(sed -n 's/^set(CPACK_DEBIAN_PACKAGE_DEPENDS "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
entries() { tr ',' '\n' | sed 's/^ *//; s/ *$//' | grep -v '^$' | sort; }
if [ "$(entries <<<"$depends")" != "$( (echo "$named"; echo "$linked") | entries)" ]; then
    fail "Depends is \"$depends\" but the package names \"$named\" and the binary links \"$linked\""
fi
[[ $linked != *libgd3* ]] || fail "the packaged vedad links the shared libgd: $linked"
echo "Depends: what the package names ($named) and what the binary links ($linked)"
# libgd, libdeflate and libunistring are linked in from their archives, and named with the
# versions they came from.
built_using=$(dpkg-deb -f "$deb" Built-Using)
sources=$(for p in libgd-dev libdeflate-dev libunistring-dev; do dpkg-query -W -f='${source:Package} (= ${source:Version})\n' $p; done |
    paste -sd, | sed 's/,/, /g')
[ "$built_using" = "$sources" ] || fail "Built-Using is \"$built_using\", not \"$sources\""
echo "Built-Using: $built_using"

font_folders >"$work/fonts-before"

(cd "$(dirname "$deb")" && apt_get install "./$(basename "$deb")" >/dev/null)
installed || fail "the package did not install"
for file in /usr/bin/vedad /usr/share/man/man1/vedad.1.gz /usr/share/bash-completion/completions/vedad \
    /usr/share/doc/vedad/README.md /usr/share/doc/vedad/copyright /usr/share/doc/vedad/changelog.Debian.gz; do
    [ -f "$file" ] || fail "$file is missing after installation"
done
font_folders | cmp -s - "$work/fonts-before" || fail "installation changed the font folders"

# The installed program finds its default font by itself, without GDFONTPATH.
cp examples/notes.txt "$work/"
(cd "$work" && env -u GDFONTPATH /usr/bin/vedad notes.txt 2>"$work/err") ||
    fail "the installed vedad failed: $(cat "$work/err")"
[ "$(cat "$work/err")" = "writing notes.png" ] || fail "unexpected messages: $(cat "$work/err")"
[ "$(head -c 8 "$work/notes.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "notes.png is no PNG"
echo "the installed vedad converted notes.txt to a PNG of $(stat -c %s "$work/notes.png") bytes"
# With no font folder for libgd, the default font is FreeMono: the installed file, and the
# face fontconfig finds when asked (a configuration of the run's own makes it ask).
mkdir "$work/no-fonts"
for config in -uFONTCONFIG_FILE FONTCONFIG_FILE=/etc/fonts/fonts.conf; do
    (cd "$work" && env "$config" GDFONTPATH="$work/no-fonts" /usr/bin/vedad --verbose --overwrite notes.txt \
        2>"$work/err") || fail "the installed vedad failed without font folders: $(cat "$work/err")"
    font=$(sed -n 's/^font: //p' "$work/err")
    [ "$(fc-scan --format '%{family[0]}' "$font")" = FreeMono ] || fail "the default font is $font, not FreeMono"
    case $config in
    -u*) echo "the default font is $font, the installed file" ;;
    *) echo "the default font is $font, found through fontconfig" ;;
    esac
done

apt_get remove vedad >/dev/null
installed && fail "the package is still installed"
[ ! -e /usr/bin/vedad ] || fail "/usr/bin/vedad is still there after removal"
font_folders | cmp -s - "$work/fonts-before" || fail "removal left the font folders changed"
# Nothing of the package is left to purge unless it kept files; dpkg says so and goes on.
as_root dpkg --purge vedad >/dev/null 2>&1
[ ! -e /var/lib/vedad ] || fail "/var/lib/vedad is still there after purge"
echo "the package installed, converted and was removed cleanly"
