#!/usr/bin/env bash
# Regenerates the pictures of the README in docs/gallery/ with a built vedad.
#   scripts/make-gallery.sh [BUILD_DIR]
# BUILD_DIR defaults to build, where scripts/setup.sh builds the program. The pictures are drawn
# with the system's default font, Courier, which must be FreeMono (as vedad finds it through
# fontconfig on a machine set up by scripts/setup.sh), so that they come out the same on every
# machine. Needs ImageMagick (Debian package imagemagick) for the checkered backdrop.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

build=${1:-build}
vedad=$(realpath -m "$build/vedad")
if [ ! -x "$vedad" ]; then
    echo "error: $vedad is missing; build the program first" >&2
    exit 1
fi

# ImageMagick's own convert, not a stand-in earlier on the PATH.
convert=/usr/bin/convert
if [ ! -x "$convert" ]; then
    echo "error: $convert is missing; install imagemagick" >&2
    exit 1
fi

# The default font is what the pictures are drawn with; it has to be FreeMono.
printf 'x\n' | env -u GDFONTPATH "$vedad" --verbose --output=/dev/null - 2>"$build/gallery-font.txt" || true
courier=$(sed -n 's/^font: //p' "$build/gallery-font.txt")
if [ -z "$courier" ] || [ "$(fc-scan --format '%{family[0]}' "$courier" 2>/dev/null)" != FreeMono ]; then
    echo "error: the default font is ${courier:-not found}, not FreeMono; install fonts-freefont-ttf" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

draw() {
    env -u GDFONTPATH "$vedad" --silent "$@"
}

# Plain text, at 14 points.
draw --font-size=0.05 --width=800 --output="$work/notes.png" examples/notes.txt

# Coloured terminal output, one span per character, in columns.
draw --html-input --fixed --font-size=0.05 --background=1e1e1e \
    --output="$work/colors.png" examples/colors.html

# Rows of descenders on striped cells, and a line of non-ASCII text, in span HTML.
draw --html-input --fixed --font-size=0.05 --background=1e1e1e \
    --output="$work/packages.png" examples/packages.html

# Real coloured command output read as a terminal shows it: a listing, a search and a
# comparison of files made here, each after a prompt line naming the command.
demo=$work/demo
mkdir -p "$demo/src"
printf '#!/bin/sh\nmake\n' >"$demo/build.sh"
chmod +x "$demo/build.sh"
printf 'draw the grid\nTODO: wide cells\nkeep the colours\nTODO: underline\n' >"$demo/notes.txt"
printf 'red\ngreen\nblue\n' >"$demo/old.txt"
printf 'red\ngreen and bold\nblue\nbright\n' >"$demo/new.txt"
ln -s notes.txt "$demo/todo"
prompt() { printf '\033[1;32m$\033[0m %s\n' "$*"; }
(
    cd "$demo"
    export LC_ALL=C LS_COLORS='di=01;34:ln=01;36:ex=01;32' GREP_COLORS='ms=01;31:ln=32:se=36'
    prompt ls --color=always; ls -1 --color=always
    prompt grep -n --color=always TODO notes.txt; grep -n --color=always TODO notes.txt
    prompt diff -u --color=always old.txt new.txt
    diff -u --label old.txt --label new.txt --color=always old.txt new.txt || true
) >"$work/terminal.txt"
draw --ansi-input --font-size=0.05 --background=1e1e1e --output="$work/terminal.png" "$work/terminal.txt"

# The same in one step: vedad runs the commands in a terminal of its own, where they colour
# their output by themselves, and draws the prompt row before it.
(
    cd "$demo"
    export LC_ALL=C LS_COLORS='di=01;34:ln=01;36:ex=01;32' GREP_COLORS='ms=01;31:ln=32:se=36'
    draw --execute='ls --color=auto && grep -n --color=auto TODO notes.txt' --prompt --columns=60 \
        --font-size=0.05 --background=1e1e1e --output="$work/execute.png"
)

# A recorded session, animated: an asciicast v2 recording with known times, written here
# (no recorder is needed): a command typed at a prompt, a progress bar, a coloured build log.
{
    printf '{"version": 2, "width": 60, "height": 12, "idle_time_limit": 1}\n'
    event() { printf '[%s, "o", "%s"]\n' "$1" "$2"; }
    later() { time=$(awk -v t="$time" -v d="$1" 'BEGIN { printf "%.2f", t + d }'); }
    prompt='\u001b[1;32m$\u001b[0m '
    event 0.2 "$prompt"
    time=0.6
    command='make -j2 all'
    for ((i = 0; i < ${#command}; i++)); do
        event "$time" "${command:i:1}"
        later 0.08
    done
    event "$time" '\r\n'
    for step in 0 10 20 30 40 50 60 70 80 90 100; do
        later 0.15
        bar=$(printf '%*s' $((step / 5)) '' | tr ' ' '#')$(printf '%*s' $((20 - step / 5)) '' | tr ' ' '.')
        event "$time" "\r\u001b[36m[$bar]\u001b[0m $step%"
    done
    event "$time" '\r\n'
    files=(grid colours fonts glyphs cells frames)
    colors=(32 33 34 35 36 32)
    for i in 0 1 2 3 4 5; do
        later 0.3
        event "$time" "\u001b[${colors[i]}mcc\u001b[0m -O2 -c ${files[i]}.c \u001b[2m-o build/${files[i]}.o\u001b[0m\r\n"
    done
    later 0.4
    event "$time" '\u001b[1mbuilt\u001b[0m build/vedad \u001b[1;32mok\u001b[0m\r\n'
    later 0.6
    event "$time" "$prompt"
} >"$work/session.cast"
draw --asciicast --font-size=0.05 --background=1e1e1e --output="$work/session.gif" "$work/session.cast"

# Bold and italic as real programs write them: a compiler's diagnostics (bold positions and
# quoted names, bold coloured kinds) and a log whose subjects are italic, each after a prompt.
styles=$work/styles
mkdir -p "$styles"
printf 'int main(void)\n{\n    int count = "three";\n    return missing;\n}\n' >"$styles/broken.c"
(
    cd "$styles"
    export LC_ALL=C GIT_CONFIG_NOSYSTEM=1 HOME="$styles"
    export GIT_AUTHOR_NAME=Ada GIT_AUTHOR_EMAIL=ada@example.org GIT_COMMITTER_NAME=Ada
    export GIT_COMMITTER_EMAIL=ada@example.org
    git init -q -b main .
    day=0
    for subject in "Draw the grid" "Keep the colours" "Bold and italic faces"; do
        day=$((day + 1))
        export GIT_AUTHOR_DATE="2026-01-0$day 12:00:00 +0000" GIT_COMMITTER_DATE="2026-01-0$day 12:00:00 +0000"
        git commit -q --allow-empty -m "$subject"
    done
    prompt gcc -fdiagnostics-color=always -c broken.c
    gcc -fdiagnostics-color=always -c broken.c 2>&1 || true
    format='%C(bold yellow)%h%C(reset) %C(italic)%s%C(reset) %C(bold)%an%C(reset)'
    prompt "git log --format='$format'"
    git log --color=always --format="$format"
) >"$work/styles.txt"
draw --ansi-input --fit --font-size=0.05 --background=1e1e1e --output="$work/styles.png" "$work/styles.txt"

# Mixed scripts, symbols and emoji: what FreeMono lacks comes from the installed faces that
# have it, emoji from the colour face in their own colours.
draw --font-size=0.05 --width=800 --output="$work/scripts.png" examples/scripts.txt

# Sized to the text, with a margin, at twice the density.
draw --fit --margin=8 --scale=2 --output="$work/fit.png" examples/notes.txt

# Ready to publish: the terminal session framed in a window with a title, padding, rounded
# corners and a soft shadow, at twice the density.
draw --ansi-input --pretty --background=1e1e1e --title="ls, grep and diff" \
    --output="$work/pretty.png" "$work/terminal.txt"
# The same as SVG: rectangles and text that stay sharp at any zoom. Its <title> names the
# input as given, so it is given by its own name, not the scratch folder's.
(cd "$work" && draw --ansi-input --pretty --background=1e1e1e --title="ls, grep and diff" \
    --output=pretty.svg terminal.txt)

# A transparent background, and the same picture laid over a checkered page to show it.
draw --transparent --foreground=0b5394 --font-size=0.06 \
    --output="$work/transparent.png" examples/features.txt
size=$("$convert" "$work/transparent.png" -format '%wx%h' info:)
"$convert" -size 16x16 xc:'#ffffff' -fill '#cccccc' \
    -draw 'rectangle 0,0 7,7' -draw 'rectangle 8,8 15,15' -write mpr:tile +delete \
    -size "$size" tile:mpr:tile "$work/transparent.png" -compose over -composite \
    -depth 8 -strip -define png:exclude-chunks=date,time "$work/transparent-on-checkers.png"

names=(black red green yellow blue magenta cyan white)
# One strip per built-in theme, stacked: its name and its sixteen colours as words, the normal
# eight on a first row, the bright ones on a second, on the theme's own page.
strips=()
while IFS= read -r theme; do
    {
        printf '%-16s' "$theme"
        for i in 0 1 2 3 4 5 6 7; do printf '\033[3%dm%s\033[0m ' "$i" "${names[i]}"; done
        printf '\n%-16s' ''
        for i in 0 1 2 3 4 5 6 7; do printf '\033[9%dm%s\033[0m ' "$i" "${names[i]}"; done
        printf '\n'
    } >"$work/theme-$theme.txt"
    draw --ansi-input --theme="$theme" --font-size=0.05 --fit --margin=8 \
        --output="$work/theme-$theme.png" "$work/theme-$theme.txt"
    strips+=("$work/theme-$theme.png")
done < <("$vedad" --theme=list)
"$convert" "${strips[@]}" -append -depth 8 -strip -define png:exclude-chunks=date,time "$work/themes.png"

mkdir -p docs/gallery
for picture in notes colors packages terminal styles execute scripts fit pretty transparent transparent-on-checkers themes; do
    cp "$work/$picture.png" "docs/gallery/$picture.png"
    echo "docs/gallery/$picture.png"
done
cp "$work/pretty.svg" docs/gallery/pretty.svg
echo docs/gallery/pretty.svg
cp "$work/session.gif" docs/gallery/session.gif
echo docs/gallery/session.gif
