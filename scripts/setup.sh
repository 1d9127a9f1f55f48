#!/usr/bin/env bash
# Installs the Debian packages that Zelvakon needs to build, test and take screenshots, when missing.
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-translations-l10n libsdl2-mixer-dev timgm6mb-soundfont
          xvfb xauth xdotool imagemagick clang libclang-rt-14-dev libarchive-tools lintian desktop-file-utils
          dpkg-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
