#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows targets, and runs
# every test: native unit tests, then the end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
QW_ROOT=$(pwd)

bash scripts/setup.sh

# The pictures are generated; the committed ones must be what the generator makes.
python3 resources/art/check_art.py | tail -n 1

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j2
(cd build/native && ctest --output-on-failure -j2)

# A short libFuzzer run over what the program reads from the registry, with
# address and undefined-behaviour sanitizers; its corpus also replays above.
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DQW_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j2
mkdir -p build/fuzz/corpus
build/fuzz/fuzz/window_list_fuzz -max_total_time=${QW_FUZZ_SECONDS:-20} -max_len=4096 -print_final_stats=0 \
    build/fuzz/corpus fuzz/corpus/window_list 2>&1 | tail -n 1

cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j2

. scripts/wine-env.sh
# Always a private display: the tests must not touch the user's desktop.
QW_XVFB=1
trap qw_wine_stop EXIT
qw_wine_start
(cd build/win32 && ctest --output-on-failure)
