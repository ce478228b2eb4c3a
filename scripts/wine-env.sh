# Sourced by the run and test scripts: a 32-bit Wine prefix of our own inside a
# virtual desktop, on the current X display or on a private Xvfb.
#   qw_wine_start  - sets WINEPREFIX etc., starts Xvfb if needed, boots the prefix
#   qw_wine_stop   - stops the Wine server and our own Xvfb (by PID)

QW_ROOT=${QW_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEARCH=win32
export WINEPREFIX=${QW_WINEPREFIX:-$QW_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winealsa.drv,winepulse.drv,wineoss.drv=d;winemenubuilder.exe=d;mscoree,mshtml="
QW_XVFB_PID=

qw_free_display() {
    local n
    for n in $(seq 91 140); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then echo "$n"; return 0; fi
    done
    return 1
}

qw_wine_start() {
    if [ -z "${DISPLAY:-}" ] || [ "${QW_XVFB:-0}" = 1 ]; then
        local n
        n=$(qw_free_display) || { echo "no free X display" >&2; return 1; }
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
        QW_XVFB_PID=$!
        export DISPLAY=":$n"
        local i
        for i in $(seq 1 100); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i </dev/null >/dev/null 2>&1
        wineserver -w
        # One virtual desktop with a taskbar: its notification area holds the
        # tray icons, and it spares the hide/destroy stalls of a bare X server.
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f </dev/null >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f </dev/null >/dev/null 2>&1
        wineserver -k
        wineserver -w
    fi
    # Started detached from our pipes, or a test runner would wait on Wine's helpers.
    wineserver -p </dev/null >/dev/null 2>&1
    wine wineboot </dev/null >/dev/null 2>&1
}

qw_wine_stop() {
    wineserver -k 2>/dev/null
    if [ -n "$QW_XVFB_PID" ]; then
        kill "$QW_XVFB_PID" 2>/dev/null
        wait "$QW_XVFB_PID" 2>/dev/null
        QW_XVFB_PID=
    fi
}
