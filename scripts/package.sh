#!/usr/bin/env bash
# Builds the Debian package of Tessarine:
#
#   ./scripts/package.sh [BUILD-DIR]        (default: build-package)
#
# A release build of the program alone (no tests), with Debian's hardening
# flags, packed by CPack into BUILD-DIR/tessarine_<version>_amd64.deb. Its
# dependencies come from dpkg-shlibdeps plus the Qt plugins the program loads;
# `apt install ./tessarine_<version>_amd64.deb` pulls them all in.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh

# shellcheck disable=SC2086
tess_ensure_packages $TESS_BUILD_PACKAGES dpkg-dev file

build=${1:-build-package}
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESS_WERROR=ON -DTESS_BUILD_TESTS=OFF -DTESS_BUILD_BENCH=OFF \
    "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    "-DCMAKE_C_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)" \
    "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" \
    "${launcher[@]}" >/dev/null
cmake --build "$build" -j2
(cd "$build" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$build/tessarine_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "package.sh: no package was made" >&2; exit 1; }
echo "$deb"
