#!/usr/bin/env bash
# Makes what a Windows user downloads, from the 32-bit build, into dist/:
#   Quellwatch-<version>-portable.zip   Quellbox.exe, Quellbox.chm, README.txt, LICENSE
#   Quellwatch-<version>.msi            the per-user installer (wixl)
#   SHA256SUMS                          of both
# The build's target `packages` makes them in build/win32/dist; they are
# checked (package_contents) and copied here.
set -euo pipefail
cd "$(dirname "$0")/.."
QW_ROOT=$(pwd)

bash scripts/setup.sh
. scripts/wine-env.sh

cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$(qw_toolchain 32)" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j2 --target packages
(cd build/win32 && ctest --output-on-failure --no-tests=error -R '^package_contents$')

rm -rf dist
mkdir -p dist
while read -r _ name; do
    cp "build/win32/dist/$name" dist/
done < build/win32/dist/SHA256SUMS
cp build/win32/dist/SHA256SUMS dist/
(cd dist && sha256sum -c SHA256SUMS)
ls -l dist
