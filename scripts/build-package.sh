#!/usr/bin/env bash
# Builds the Debian package in build-package/: vedad_VERSION-RELEASE_ARCH.deb.
# The package links Debian's shared libgd (-DVEDAD_STATIC_GD=OFF), so that libgd's security
# updates reach it, and is compiled and linked with Debian's hardening flags (dpkg-buildflags
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
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVEDAD_BUILD_TESTS=OFF -DVEDAD_STATIC_GD=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/vedad_*.deb
