#!/usr/bin/env bash
# Sets up a Debian machine for vedad: installs what is missing, makes the default font
# resolvable, builds the program and converts the bundled example.
# Safe to run again; works as root or through sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

# clang-14, its runtimes and llvm-14 (for readable stack traces) build and run the fuzzers.
# The DejaVu and URW faces are what the tests compare the glyph path with libgd in.
packages=(g++ cmake make pkg-config libgd-dev libpng-dev libfreetype-dev googletest libgtest-dev fonts-freefont-ttf
    fonts-dejavu-core fonts-urw-base35 mandoc groff-base dpkg-dev clang-14 libclang-rt-14-dev llvm-14)
install_missing "${packages[@]}"

as_root bash scripts/register-default-font.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

build/vedad --overwrite --output=build/notes.png examples/notes.txt
echo "converted examples/notes.txt to build/notes.png"
