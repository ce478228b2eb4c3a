#!/usr/bin/env bash
# Regenerates docs/screenshots/ from the real program under Wine: the main
# window, both tray pop-up menus, the exit question, the editing dialogs, the
# add dialog's preview, the Closed Windows window, the options pages, the
# about window and the splash; entry options: the main list marking them, the
# add dialog with its options part open, the Closed Windows window offering a
# row's program, the "Never Close" page; entry actions: the add dialog setting
# a press, the history after each action; the "Keys" page refusing a key
# and the "On Startup" page saving power; the main window, the add and
# options dialogs and the splash again at 150 % and 200 % display scale. Uses
# the 32-bit program where this host can run 32-bit Wine, the 64-bit build
# otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
QW_ROOT=$(pwd)

bash scripts/setup.sh
. scripts/wine-env.sh
qw_select_and_build qw_e2e_driver >/dev/null
echo "Screenshots of the $QW_BITS-bit build under $QW_BITS-bit Wine."

QW_XVFB=1
trap qw_wine_stop EXIT
qw_wine_start
mkdir -p docs/screenshots
export QW_SCREENSHOT_DIR="$QW_ROOT/docs/screenshots"
(cd "$QW_BUILD_DIR/bin" && wine qw_e2e_driver.exe --gtest_filter='Tray.Real*:Editing.*:Settings.*:Display.*:History.*:Options.*:Actions.*:Keys.*')
ls -l docs/screenshots
