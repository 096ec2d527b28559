#!/usr/bin/env bash
# Makes the font name "Courier" resolvable by libgd without GDFONTPATH.
# libgd looks for Courier.ttf, .pfa, .pfb or .dfont in its built-in search path; Debian
# ships no Courier there, so FreeMono (a Courier-style monospace face) is linked under that
# name. Does nothing when libgd can already find a Courier. Run as root.
#   register-default-font.sh           register when needed
#   register-default-font.sh --remove  remove the link this script made
set -euo pipefail

freemono=/usr/share/fonts/truetype/freefont/FreeMono.ttf
link=/usr/share/fonts/truetype/Courier.ttf
# libgd's built-in font search path on Debian.
search_path=/usr/X11R6/lib/X11/fonts/TrueType:/usr/X11R6/lib/X11/fonts/truetype:/usr/X11R6/lib/X11/fonts/TTF:/usr/share/fonts/TrueType:/usr/share/fonts/truetype:/usr/openwin/lib/X11/fonts/TrueType:/usr/X11R6/lib/X11/fonts/Type1:/usr/lib/X11/fonts/Type1:/usr/openwin/lib/X11/fonts/Type1

if [ "${1:-}" = "--remove" ]; then
    if [ -L "$link" ] && [ "$(readlink "$link")" = "$freemono" ]; then rm -f "$link"; fi
    exit 0
fi

IFS=: read -r -a directories <<<"$search_path"
for directory in "${directories[@]}"; do
    for extension in .ttf .pfa .pfb .dfont; do
        if [ -r "$directory/Courier$extension" ]; then exit 0; fi
    done
done

if [ ! -r "$freemono" ]; then
    echo "error: $freemono is missing; install fonts-freefont-ttf" >&2
    exit 1
fi
ln -sfn "$freemono" "$link"
echo "registered $freemono as Courier in $link"
