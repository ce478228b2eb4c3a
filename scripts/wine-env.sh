# Sourced by the run, test, screenshot and measurement scripts: Wine prefixes
# of our own (one per bitness) inside a virtual desktop, on the current X
# display or on a private Xvfb.
#
#   qw_wine_detect      - sets QW_WINE_BITS to the Wines this host can run:
#                         "32 64" where 32-bit Wine starts, "64" otherwise
#   qw_wine_select N    - points wine, wineserver and wineboot at N-bit Wine
#                         (32 or 64) and its own prefix; sets QW_BUILD_DIR to
#                         the build tree of that bitness
#   qw_wine_start       - starts Xvfb if needed, creates and boots the prefix
#                         (its Run entries are not run)
#   qw_wine_stop        - stops the Wine server and our own Xvfb (by PID)
#
# Some hosts refuse every i386 Linux executable (IA-32 emulation off), so
# 32-bit Wine cannot start there at all; 64-bit Wine runs on every host.
# QW_WINE64_ONLY=1 takes the 64-bit-only path even where 32-bit Wine works.

QW_ROOT=${QW_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winealsa.drv,winepulse.drv,wineoss.drv=d;winemenubuilder.exe=d;mscoree,mshtml="
QW_XVFB_PID=
QW_WINE_LOADER32=/usr/lib/wine/wine
QW_WINE_LOADER64=/usr/lib/wine/wine64

qw_wine_detect() {
    QW_WINE_BITS=64
    if [ "${QW_WINE64_ONLY:-0}" != 1 ] && "$QW_WINE_LOADER32" --version >/dev/null 2>&1; then
        QW_WINE_BITS="32 64"
    fi
}

qw_wine_select() {
    QW_BITS=$1
    if [ "$QW_BITS" = 32 ]; then
        export WINEARCH=win32
        export WINEPREFIX=${QW_WINEPREFIX32:-$QW_ROOT/build/wineprefix32}
        QW_WINE_LOADER=$QW_WINE_LOADER32
        QW_BUILD_DIR=$QW_ROOT/build/win32
    else
        export WINEARCH=win64
        export WINEPREFIX=${QW_WINEPREFIX64:-$QW_ROOT/build/wineprefix64}
        QW_WINE_LOADER=$QW_WINE_LOADER64
        QW_BUILD_DIR=$QW_ROOT/build/win64
    fi
    # Wine starts further processes (the program from the test driver, say)
    # through this loader.
    export WINELOADER=$QW_WINE_LOADER
    # Debian's launcher takes the 32-bit loader whenever wine32 is installed,
    # even where it cannot run: name the loader ourselves.
    wine() { "$QW_WINE_LOADER" "$@"; }
    wineboot() { "$QW_WINE_LOADER" wineboot.exe "$@"; }
    # The 64-bit server serves 32-bit clients too, and runs on every host.
    wineserver() {
        if [ -x /usr/lib/wine/wineserver64 ]; then /usr/lib/wine/wineserver64 "$@"; else command wineserver "$@"; fi
    }
}

# The CMake toolchain file of a bitness.
qw_toolchain() {
    if [ "$1" = 32 ]; then echo "$QW_ROOT/cmake/mingw-i686.cmake"; else echo "$QW_ROOT/cmake/mingw-x86_64.cmake"; fi
}

# Selects the first Wine this host runs (32-bit where it can) and builds the
# given targets in the build tree of that bitness.
qw_select_and_build() {
    qw_wine_detect
    qw_wine_select "${QW_WINE_BITS%% *}"
    cmake -S "$QW_ROOT" -B "$QW_BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$(qw_toolchain "$QW_BITS")" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$QW_BUILD_DIR" -j2 --target "$@"
}

qw_free_display() {
    local n
    for n in $(seq 91 140); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then echo "$n"; return 0; fi
    done
    return 1
}

qw_wine_start() {
    if [ -z "${QW_BITS:-}" ]; then echo "qw_wine_start: call qw_wine_select first" >&2; return 1; fi
    if { [ -z "${DISPLAY:-}" ] || [ "${QW_XVFB:-0}" = 1 ]; } && [ -z "$QW_XVFB_PID" ]; then
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
    # "--init" starts the session as Wine's first process does, without the
    # log-on step that runs the prefix's Run entries: the program's "start
    # with Windows" writes one, which would start a copy of its own first.
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot --init </dev/null >/dev/null 2>&1
}

# Stops the Wine server of the selected prefix; the display stays up.
qw_wine_server_stop() {
    # Either may fail when no server runs; the callers run under set -e.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

qw_wine_stop() {
    if [ -n "${QW_BITS:-}" ]; then qw_wine_server_stop; fi
    if [ -n "$QW_XVFB_PID" ]; then
        kill "$QW_XVFB_PID" 2>/dev/null || true
        wait "$QW_XVFB_PID" 2>/dev/null || true
        QW_XVFB_PID=
    fi
    return 0
}
