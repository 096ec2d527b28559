# Shared by the project's scripts, which source it: running as root, installing Debian
# packages, and where the default font lives. Not a program of its own.

# FreeMono, the Courier-style face that stands in for the default font "Courier".
freemono=/usr/share/fonts/truetype/freefont/FreeMono.ttf
# The link under that name which earlier set-ups made for libgd; vedad now finds FreeMono
# through fontconfig, and the set-up takes such a link away.
old_courier_link=/usr/share/fonts/truetype/Courier.ttf

# Runs a command as root, through sudo when the script is not root already.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# apt-get as root, without questions.
apt_get() {
    as_root env DEBIAN_FRONTEND=noninteractive apt-get -y -qq "$@"
}

# Installs those of the given Debian packages that are not installed yet, without their
# recommendations.  install_missing [--quiet] PACKAGE...   (--quiet hides apt-get's output)
install_missing() {
    local quiet=no
    if [ "${1:-}" = "--quiet" ]; then quiet=yes; shift; fi
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then return 0; fi
    echo "installing: ${missing[*]}"
    apt_get update
    if [ "$quiet" = yes ]; then
        apt_get install --no-install-recommends "${missing[@]}" >/dev/null
    else
        apt_get install --no-install-recommends "${missing[@]}"
    fi
}
