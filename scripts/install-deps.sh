#!/usr/bin/env bash
# Installs the Debian packages the program, its tests and its benchmarks need.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev ffmpeg qt6-base-dev
  libboost-regex-dev libjpeg-dev libpng-dev zlib1g-dev libcurl4-openssl-dev
  libfreetype-dev libfontconfig-dev fonts-wqy-microhei fonts-dejavu-core xdg-utils
  libx11-dev libxcb1-dev xvfb xdotool)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
