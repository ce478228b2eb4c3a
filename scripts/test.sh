#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows targets, and runs
# every test: native unit tests, then the end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
QW_ROOT=$(pwd)

bash scripts/setup.sh

# The pictures are generated; the committed ones must be what the generator makes.
python3 resources/art/check_art.py | tail -n 1

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j2
(cd build/native && ctest --output-on-failure -j2)

cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j2

. scripts/wine-env.sh
# Always a private display: the tests must not touch the user's desktop.
QW_XVFB=1
trap qw_wine_stop EXIT
qw_wine_start
(cd build/win32 && ctest --output-on-failure)
