#!/usr/bin/env bash
# The long soak of the real program under Wine: 1,000 matching windows opened
# and closed, tracking switched off and on and dialogs opened and closed on
# the way; prints the program's handles, windows, USER and GDI objects and
# memory at the start and at the end. Usage: scripts/soak.sh [windows=1000]
set -euo pipefail
cd "$(dirname "$0")/.."
QW_ROOT=$(pwd)
export QW_SOAK_WINDOWS=${1:-1000}

bash scripts/setup.sh
. scripts/wine-env.sh
qw_wine_detect
bits=${QW_WINE_BITS%% *}
qw_wine_select "$bits"
cmake -S . -B "$QW_BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$(qw_toolchain "$bits")" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$QW_BUILD_DIR" -j2 --target qw_e2e_driver >/dev/null

QW_XVFB=1
trap qw_wine_stop EXIT
qw_wine_start
echo "Soak of the $bits-bit build under $bits-bit Wine, $QW_SOAK_WINDOWS windows."
start=$(date +%s)
(cd "$QW_BUILD_DIR/bin" && wine qw_e2e_driver.exe --gtest_filter='Soak.*') | grep -E '^SOAK|OK \]|FAILED'
echo "took $(( $(date +%s) - start )) s"
