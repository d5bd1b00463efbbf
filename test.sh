#!/usr/bin/env bash
# Builds Tessarine and runs the whole test suite. Exit status 0 only when every
# test passed.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/ensure-packages.sh

# shellcheck disable=SC2086
tess_ensure_packages $TESS_BUILD_PACKAGES $TESS_RUN_PACKAGES sqlite3 libbenchmark-dev xvfb xauth xdotool libxcb1-dev \
    $TESS_PACKAGE_TEST_PACKAGES poppler-utils chromium

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTESS_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build build -j2
cd build
ctest --output-on-failure -j2 --timeout 600
