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
qw_select_and_build qw_e2e_driver >/dev/null

QW_XVFB=1
trap qw_wine_stop EXIT
qw_wine_start
echo "Soak of the $QW_BITS-bit build under $QW_BITS-bit Wine, $QW_SOAK_WINDOWS windows."
start=$(date +%s)
(cd "$QW_BUILD_DIR/bin" && wine qw_e2e_driver.exe --gtest_filter='Soak.*') | grep -E '^SOAK|OK \]|FAILED'
echo "took $(( $(date +%s) - start )) s"
