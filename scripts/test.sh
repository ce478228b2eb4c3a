#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows targets, and runs
# every test: native unit tests, then the end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
QW_ROOT=$(pwd)

bash scripts/setup.sh

# The pictures are generated; the committed ones must be what the generator makes.
python3 resources/art/check_art.py | tail -n 1
# Each folder includes only from the floors beneath it.
python3 scripts/floors.py

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j2
(cd build/native && ctest --output-on-failure -j2)

# The same unit tests under AddressSanitizer and UndefinedBehaviorSanitizer.
CC=clang CXX=clang++ cmake -S . -B build/asan -DQW_SANITIZE=ON -DQW_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/asan -j2
(cd build/asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j2)

# Short libFuzzer runs over what the program reads from outside (the stored
# window list, list files, tray notifications, window titles, stored
# settings, titles written to the closed windows' CSV file), with address and
# undefined-behaviour sanitizers; their corpora also replay above.
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DQW_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j2
for target in window_list list_file tray browser_suffix settings history_csv; do
    mkdir -p "build/fuzz/corpus/$target"
    echo "fuzzing $target for ${QW_FUZZ_SECONDS:-20} s"
    build/fuzz/fuzz/${target}_fuzz -max_total_time=${QW_FUZZ_SECONDS:-20} -max_len=12000 -print_final_stats=0 \
        "build/fuzz/corpus/$target" "fuzz/corpus/$target" 2>&1 | tail -n 1
done

. scripts/wine-env.sh
qw_wine_detect

# Both Windows builds, always: the 32-bit one is the program we ship; the
# 64-bit one, of the same sources, runs the end-to-end tests on hosts that
# cannot start 32-bit Wine.
for bits in 32 64; do
    cmake -S . -B "build/win$bits" -DCMAKE_TOOLCHAIN_FILE="$(qw_toolchain $bits)" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "build/win$bits" -j2
done

# The program imports only known DLLs of Windows and comctl32 (from the
# side-by-side store): no DLL planted beside it in a Downloads folder loads.
for bits in 32 64; do
    objdump=$( [ "$bits" = 32 ] && echo i686-w64-mingw32-objdump || echo x86_64-w64-mingw32-objdump )
    imports=$($objdump -p "build/win$bits/bin/Quellbox.exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
    others=$(printf '%s\n' $imports | grep -vxE '(kernel32|user32|gdi32|advapi32|shell32|comdlg32|ole32|msvcrt|comctl32)\.dll' || true)
    if [ -n "$others" ]; then echo "Quellbox.exe ($bits-bit) imports $others"; exit 1; fi
    echo "imports ($bits-bit): $(echo $imports)"
done

# Each build's packages (the 32-bit ones are those scripts/package.sh ships)
# hold what they should; read here, without Wine.
for bits in 32 64; do
    (cd "build/win$bits" && ctest --output-on-failure --no-tests=error -R '^package_contents$')
done

# The end-to-end tests under every Wine this host can run, one after the other
# on one private display: the tests must not touch the user's desktop.
QW_XVFB=1
trap qw_wine_stop EXIT
for bits in $QW_WINE_BITS; do
    qw_wine_select "$bits"
    echo "== end-to-end tests: the $bits-bit build under $bits-bit Wine ($WINEPREFIX)"
    qw_wine_start
    (cd "$QW_BUILD_DIR" && ctest --output-on-failure)
    qw_wine_server_stop
done

echo "== end-to-end tests passed under: $(for b in $QW_WINE_BITS; do printf '%s-bit Wine (%s-bit build)  ' "$b" "$b"; done)"
case " $QW_WINE_BITS " in
    *" 32 "*) ;;
    *) if [ "${QW_WINE64_ONLY:-0}" = 1 ]; then
           echo "   32-bit Wine skipped: QW_WINE64_ONLY=1"
       else
           echo "   32-bit Wine skipped: this host cannot run 32-bit Linux programs"
       fi ;;
esac
