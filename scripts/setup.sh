#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, if anything is missing.
# Both Wines are installed everywhere; whether this host can run the 32-bit one
# is found out when it is used (scripts/wine-env.sh).
set -euo pipefail

packages=(cmake g++ make googletest libgtest-dev libbenchmark-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix mingw-w64-tools
          wine wine32:i386 wine64 fonts-wine xvfb xdotool x11-utils imagemagick fp-utils python3
          clang libclang-rt-14-dev wixl msitools)

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "Installing: ${missing[*]}"
$SUDO dpkg --add-architecture i386
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
