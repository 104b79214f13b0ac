#!/usr/bin/env bash
# Installs the Debian 12 packages the monitor needs to build, test and run, skipping those present.
# With AURIVO_FORMAT_CHECK=1 (CI) it adds clang-format for scripts/check-format.sh.
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev qt6-multimedia-dev libgl-dev
          libedf-dev liblo-dev liblo-tools libgtest-dev libbenchmark-dev xvfb xauth imagemagick xdotool
          fonts-liberation dpkg-dev file appstream desktop-file-utils shared-mime-info pulseaudio
          pulseaudio-utils)
# CI also checks the formatting of the sources.
if [ "${AURIVO_FORMAT_CHECK:-0}" = 1 ]; then packages+=(clang-format); fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
