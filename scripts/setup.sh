#!/usr/bin/env bash
# Sets up a Debian machine for vedad: installs what is missing, builds the program and
# converts the bundled example.
# Safe to run again; works as root or through sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

# clang-14, its runtimes and llvm-14 (for readable stack traces) build and run the fuzzers.
# The DejaVu and URW faces are what the tests compare the glyph path with libgd in; fontconfig
# finds installed fonts by name and by character, and the CJK and emoji faces are what
# characters FreeMono lacks are drawn from in the tests of that. aha and colorized-logs
# (ansi2html) make the HTML of other converters that the tests of --html-input's warning read.
# Theme files are read with nlohmann's JSON headers and expat; lossless WebP is written with libwebp.
# rsvg-convert (librsvg2-bin) draws the SVG pictures in the tests that compare them with the PNG.
# giflib (libgif-dev) decodes every frame of the animated GIFs in the tests.
packages=(g++ cmake make pkg-config libgd-dev libpng-dev libdeflate-dev libisal-dev libwebp-dev libfreetype-dev libfontconfig-dev fontconfig googletest
    libgtest-dev fonts-freefont-ttf fonts-dejavu-core fonts-urw-base35 fonts-wqy-zenhei fonts-noto-color-emoji fonts-firacode mandoc
    groff-base dpkg-dev clang-14 libclang-rt-14-dev llvm-14 aha colorized-logs)
packages+=(nlohmann-json3-dev libexpat1-dev libunistring-dev libharfbuzz-dev librsvg2-bin libgif-dev)
install_missing "${packages[@]}"

# The default font is FreeMono, found through fontconfig. A Courier link to it that an
# earlier set-up made is no package's file, and fontconfig lists FreeMono twice with it.
if [ -L "$old_courier_link" ] && [ "$(readlink "$old_courier_link")" = "$freemono" ]; then
    as_root rm -f "$old_courier_link"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

build/vedad --overwrite --output=build/notes.png examples/notes.txt
echo "converted examples/notes.txt to build/notes.png"
