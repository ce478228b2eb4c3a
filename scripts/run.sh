#!/usr/bin/env bash
# Builds Quellbox.exe and starts it: directly on Windows, under Wine elsewhere
# (on the current display, or on a virtual one when there is none). The 32-bit
# program runs under 32-bit Wine where this host can start it; elsewhere the
# 64-bit build of the same sources runs under 64-bit Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
QW_ROOT=$(pwd)

bash scripts/setup.sh
# The user's own Wine prefixes, one per bitness, outside the build tree: no
# test, benchmark or screenshot run touches the list kept there.
QW_RUN_HOME=${XDG_DATA_HOME:-$HOME/.local/share}/quellwatch
export QW_WINEPREFIX32=${QW_RUN_PREFIX32:-$QW_RUN_HOME/wineprefix32}
export QW_WINEPREFIX64=${QW_RUN_PREFIX64:-$QW_RUN_HOME/wineprefix64}
mkdir -p "$QW_RUN_HOME"
. scripts/wine-env.sh
qw_select_and_build Quellbox help_chm
if [ "$QW_BITS" = 32 ]; then
    echo "Running the 32-bit Quellbox.exe under 32-bit Wine."
else
    echo "Running the 64-bit build of Quellbox.exe under 64-bit Wine (this host cannot run 32-bit Wine, or QW_WINE64_ONLY=1)."
fi

# A copy already running in this prefix (another scripts/run.sh) stays the
# only one: a second would only say "Quellwatch is already running.", and on
# its way out this script would end the first one's Wine session.
for pid in $(pgrep -f 'Quellbox\.exe' || true); do
    if tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
        echo "Quellbox.exe already runs in the Wine prefix $WINEPREFIX (process $pid): bring it up from its tray icon."
        exit 0
    fi
done

trap qw_wine_stop EXIT
qw_wine_start
echo "Quellbox.exe is running (DISPLAY=$DISPLAY, Wine prefix $WINEPREFIX). Close it from its menu, or press Ctrl+C here."
wine "$QW_BUILD_DIR/bin/Quellbox.exe" "$@"
wineserver -w
