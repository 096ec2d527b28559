#!/usr/bin/env bash
# Makes the font name "Courier" resolvable by libgd without GDFONTPATH.
# libgd looks for Courier.ttf, .pfa, .pfb or .dfont in its built-in search path; Debian
# ships no Courier there, so FreeMono (a Courier-style monospace face) is linked under that
# name. Does nothing when libgd can already find a Courier. Run as root.
#   register-default-font.sh           register when needed
#   register-default-font.sh --remove  remove the link this script made
set -euo pipefail
# The font paths; lib.sh is installed beside this script.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [ "${1:-}" = "--remove" ]; then
    if [ -L "$courier_link" ] && [ "$(readlink "$courier_link")" = "$freemono" ]; then rm -f "$courier_link"; fi
    exit 0
fi

IFS=: read -r -a directories <<<"$font_search_path"
for directory in "${directories[@]}"; do
    for extension in .ttf .pfa .pfb .dfont; do
        if [ -r "$directory/Courier$extension" ]; then exit 0; fi
    done
done

if [ ! -r "$freemono" ]; then
    echo "error: $freemono is missing; install fonts-freefont-ttf" >&2
    exit 1
fi
ln -sfn "$freemono" "$courier_link"
echo "registered $freemono as Courier in $courier_link"
