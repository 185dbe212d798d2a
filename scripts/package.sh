#!/usr/bin/env bash
# Builds the Debian package natalis_VERSION_ARCH.deb in a tree of its own (build-deb/ beside
# build/, or $NATALIS_PACKAGE_BUILD_DIR) and prints the file's path. That tree holds only what
# the package installs, compiled with Debian's hardening flags, so the tests' tree stays as it is.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${NATALIS_BUILD_DIR:-$top/build}
pkg=${NATALIS_PACKAGE_BUILD_DIR:-$build-deb}
bash "$top/scripts/deps.sh" >&2
# The flags Debian builds its packages with, all of its hardening included (the linker's bindnow
# too), taken in the top folder whose path they map away. Debug information goes: the package
# strips it.
cd "$top"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(DEB_CXXFLAGS_MAINT_STRIP=-g dpkg-buildflags --get CXXFLAGS)"
cxxflags+=" $(dpkg-buildflags --get CPPFLAGS)"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$top} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
cmake -S "$top" -B "$pkg" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
  -DNATALIS_BUILD_TESTS=OFF -DNATALIS_BUILD_BENCH=OFF -DNATALIS_BUILD_TOOLS=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  >/dev/null
cmake --build "$pkg" --parallel "$(nproc)" >&2
rm -f "$pkg"/package/natalis_*.deb
(cd "$pkg" && cpack -G DEB >&2)
ls "$pkg"/package/natalis_*.deb
