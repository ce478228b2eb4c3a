#!/usr/bin/env bash
# Regenerates docs/screenshots/ from the real program under Wine: the main
# window, both tray pop-up menus and the exit question.
set -euo pipefail
cd "$(dirname "$0")/.."
QW_ROOT=$(pwd)

bash scripts/setup.sh
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j2 --target qw_e2e_driver >/dev/null

. scripts/wine-env.sh
QW_XVFB=1
trap qw_wine_stop EXIT
qw_wine_start
mkdir -p docs/screenshots
export QW_SCREENSHOT_DIR="$QW_ROOT/docs/screenshots"
(cd build/win32/bin && wine qw_e2e_driver.exe --gtest_filter='Screens.*')
ls -l docs/screenshots
