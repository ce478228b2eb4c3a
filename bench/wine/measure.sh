#!/usr/bin/env bash
# Under Wine, side by side in one run: the latency from CreateWindow to
# WM_CLOSE, the share of windows asked to close before their first paint and
# the CPU of the idle program (plus the Wine server), for Quellbox.exe, for the
# same program scanning by its tick alone (QuellboxTick.exe) and for the bare
# 15 ms reference loop; then a storm of 1,000 windows against both programs.
# Usage: bench/wine/measure.sh [trials=200] [idle seconds=10]
# Probes are shown without activation so that every trial measures the scan
# and not the repaint of whichever window regains activation; set
# QW_PROBE_MODE=activate to let them take the focus.
# Measures each build under the Wine of its bitness, every one this host can
# run (QW_MEASURE_BITS=32 or 64 picks one). Compare figures only within a build.
set -euo pipefail
cd "$(dirname "$0")/../.."
QW_ROOT=$(pwd)
trials=${1:-200}
idle=${2:-10}

bash scripts/setup.sh
. scripts/wine-env.sh
qw_wine_detect

ticks() {  # utime + stime of the processes whose command line matches $1
    local total=0 pid
    for pid in $(pgrep -f "$1" || true); do
        read -r -a f < "/proc/$pid/stat" || continue
        total=$((total + f[13] + f[14]))
    done
    echo "$total"
}

field() { echo "$1" | sed -n "s/.* $2=\([0-9.]*\).*/\1/p"; }
exe_of() { case "$1" in bare) echo qw_bare_loop.exe ;; tick) echo QuellboxTick.exe ;; queue) echo QuellboxQueue.exe ;; *) echo Quellbox.exe ;; esac; }
name_of() { case "$1" in bare) echo "bare 15 ms loop" ;; tick) echo "Quellbox, tick only" ;; queue) echo "Quellbox, retry timer on a timer queue" ;; power) echo "Quellbox, saving power" ;; *) echo "Quellbox, tick and events" ;; esac; }
# QW_MEASURE_QUEUE=1 adds the program whose retry timer runs on a timer queue.
programs="bare tick quellbox power${QW_MEASURE_QUEUE:+ queue}"

measure_build() {
    local bits=$1 hz target exe out runner p0 p1 s0 s1 name l big
    qw_wine_select "$bits"
    cmake -S . -B "$QW_BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$(qw_toolchain "$bits")" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$QW_BUILD_DIR" -j2 --target Quellbox QuellboxTick ${QW_MEASURE_QUEUE:+QuellboxQueue} qw_e2e_helper qw_bare_loop qw_wine_latency \
        qw_wine_big_list qw_wine_storm qw_wine_wakeups >/dev/null
    qw_wine_start
    local bin=$QW_BUILD_DIR/bin
    hz=$(getconf CLK_TCK)
    declare -A lat cpu_prog cpu_server
    for target in $programs; do
        exe=$(exe_of "$target")
        out=$(mktemp)
        wine "$bin/qw_wine_latency.exe" "$target" "$trials" "$idle" ${QW_PROBE_MODE:-noactivate} >"$out" 2>/dev/null &
        runner=$!
        for _ in $(seq 1 1200); do grep -q '^IDLE' "$out" && break; kill -0 $runner 2>/dev/null || break; sleep 0.1; done
        grep -q '^IDLE' "$out" || { cat "$out"; echo "measurement of $target failed" >&2; exit 1; }
        p0=$(ticks "$exe"); s0=$(ticks wineserver)
        sleep "$idle"
        p1=$(ticks "$exe"); s1=$(ticks wineserver)
        wait $runner || true
        lat[$target]=$(grep '^LATENCY' "$out")
        cpu_prog[$target]=$(awk -v d=$((p1 - p0)) -v hz="$hz" -v s="$idle" 'BEGIN{printf "%.1f", 100*d/hz/s}')
        cpu_server[$target]=$(awk -v d=$((s1 - s0)) -v hz="$hz" -v s="$idle" 'BEGIN{printf "%.1f", 100*d/hz/s}')
        rm -f "$out"
        qw_wine_server_stop
        wineserver -p </dev/null >/dev/null 2>&1; wineboot </dev/null >/dev/null 2>&1
    done

    printf '\n## The %s-bit build under %s-bit Wine\n' "$bits" "$bits"
    # "probe's own": CreateWindow and ShowWindow in the probe's program, the
    # floor under every latency; no program can ask the probe to close sooner.
    # "beyond": from the end of that to WM_CLOSE received, the program's part.
    printf '\n| program | latency median (ms) | latency p95 (ms) | latency max (ms) | probe'"'"'s own median / p95 (ms) | beyond it median / p95 (ms) | closed before first paint (%%) | CPU program (%% of a core) | CPU wineserver (%%) |\n'
    printf '|---|---|---|---|---|---|---|---|---|\n'
    for target in $programs; do
        l=${lat[$target]}
        printf '| %s | %s | %s | %s | %s / %s | %s / %s | %s | %s | %s |\n' "$(name_of "$target")" "$(field "$l" median)" \
            "$(field "$l" p95)" "$(field "$l" max)" "$(field "$l" own_median)" "$(field "$l" own_p95)" \
            "$(field "$l" beyond_median)" "$(field "$l" beyond_p95)" "$(field "$l" before_paint)" \
            "${cpu_prog[$target]}" "${cpu_server[$target]}"
    done
    awk -v qp="$(field "${lat[quellbox]}" p95)" -v bp="$(field "${lat[bare]}" p95)" \
        -v qc="${cpu_prog[quellbox]}" -v qs="${cpu_server[quellbox]}" -v bc="${cpu_prog[bare]}" -v bs="${cpu_server[bare]}" \
        -v tc="${cpu_prog[tick]}" -v ts="${cpu_server[tick]}" \
        -v pc="${cpu_prog[power]}" -v ps="${cpu_server[power]}" -v pp="$(field "${lat[power]}" p95)" \
        'BEGIN{printf "\nlatency p95 ratio (Quellbox / bare): %.2f\nCPU ratio, program + server (Quellbox / bare): %.2f, (Quellbox / tick only): %.2f\nsaving power against today'"'"'s mode: CPU of the program %.2f, program + server %.2f, latency p95 %.2f\n", qp/bp, (qc+qs)/(bc+bs), (qc+qs)/(tc+ts), (qc>0 ? pc/qc : 0), ((qc+qs)>0 ? (pc+ps)/(qc+qs) : 0), (qp>0 ? pp/qp : 0)}'

    # A storm: 1,000 windows created at once; the slowest answer of the main
    # window meanwhile, the CPU over the storm and 5 s after it.
    printf '\n| program, storm of 1,000 windows | storm (ms) | slowest answer (ms) | matching window closed after | CPU program (%% of a core) |\n'
    printf '|---|---|---|---|---|\n'
    for target in tick quellbox; do
        exe=$(exe_of "$target")
        out=$(mktemp)
        p0=0
        wine "$bin/qw_wine_storm.exe" "$target" 1000 5 >"$out" 2>/dev/null &
        runner=$!
        for _ in $(seq 1 600); do pgrep -f "$exe" >/dev/null && break; sleep 0.1; done
        local t0; t0=$(date +%s.%N); p0=$(ticks "$exe")
        for _ in $(seq 1 1200); do grep -q '^IDLE' "$out" && break; kill -0 $runner 2>/dev/null || break; sleep 0.1; done
        sleep 5
        p1=$(ticks "$exe"); local t1; t1=$(date +%s.%N)
        wait $runner || true
        local st; st=$(grep '^STORM' "$out" || true)
        printf '| %s | %s | %s | %s | %s |\n' "$(name_of "$target")" "$(field "$st" storm_ms)" "$(field "$st" slowest_answer_ms)" \
            "$( [ "$(field "$st" match_closed)" = 1 ] && echo yes || echo NO)" \
            "$(awk -v d=$((p1 - p0)) -v hz="$hz" -v a="$t0" -v b="$t1" 'BEGIN{printf "%.1f", 100*d/hz/(b-a)}')"
        rm -f "$out"
        qw_wine_server_stop
        wineserver -p </dev/null >/dev/null 2>&1; wineboot </dev/null >/dev/null 2>&1
    done

    # How often the main thread wakes while idle and while the user types elsewhere.
    wine "$bin/qw_wine_wakeups.exe" "$idle" 2>/dev/null | grep '^WAKEUPS' | while read -r _ what rest; do
        echo "main-thread wake-ups per second, $what: window events $(field " $rest" events)," \
             "retry timer $(field " $rest" retries), scan tick $(field " $rest" ticks)"
    done
    qw_wine_server_stop
    wineserver -p </dev/null >/dev/null 2>&1; wineboot </dev/null >/dev/null 2>&1

    # A full list: start-up, "Refresh List", two removals (saves), export, import.
    big=$(wine "$bin/qw_wine_big_list.exe" 2>/dev/null | grep '^BIGLIST' || true)
    echo "full list of 32,767 entries: start-up $(field "$big" start) ms, Refresh List $(field "$big" refresh) ms," \
         "save after removing the last entry $(field "$big" save_tail) ms, the first $(field "$big" save_whole) ms," \
         "export $(field "$big" export) ms, import $(field "$big" import) ms"
    qw_wine_server_stop
}

QW_XVFB=1
trap qw_wine_stop EXIT
for bits in ${QW_MEASURE_BITS:-$QW_WINE_BITS}; do
    measure_build "$bits"
done
