#!/usr/bin/env bash
# Builds the Debian package in build-package/: vedad_VERSION-RELEASE_ARCH.deb.
# The package links the static libgd of Debian's libgd-dev (-DVEDAD_STATIC_GD=ON), as the
# source build does, and names it in Built-Using: a libgd security fix needs the package built
# again. It is compiled and linked with Debian's hardening flags (dpkg-buildflags
# with every hardening feature: fortified functions, stack protection, -z relro -z now).
# Needs a machine set up by setup.sh (dpkg-dev gives dpkg-buildflags and dpkg-shlibdeps).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-package
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
# CMake reads CXXFLAGS and LDFLAGS, not the preprocessor's CPPFLAGS.
export CXXFLAGS="$CXXFLAGS $CPPFLAGS"
export LDFLAGS

# The flags are taken when a build folder is first configured; start afresh so they hold.
rm -rf "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVEDAD_BUILD_TESTS=OFF -DVEDAD_STATIC_GD=ON >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/vedad_*.deb
