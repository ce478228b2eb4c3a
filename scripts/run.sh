#!/usr/bin/env bash
# Builds Quellbox.exe and starts it: directly on Windows, under Wine elsewhere
# (on the current display, or on a virtual one when there is none).
set -euo pipefail
cd "$(dirname "$0")/.."
QW_ROOT=$(pwd)

bash scripts/setup.sh
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j2 --target Quellbox help_chm

. scripts/wine-env.sh
trap qw_wine_stop EXIT
qw_wine_start
echo "Quellbox.exe is running (DISPLAY=$DISPLAY). Close it from its menu, or press Ctrl+C here."
wine build/win32/bin/Quellbox.exe "$@"
wineserver -w
