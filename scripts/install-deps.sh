#!/usr/bin/env bash
# Installs the Debian packages moody needs to build, run and test, only those that are missing.
# Needs root (or sudo).
set -euo pipefail
packages=(
  build-essential cmake pkg-config python3
  libx11-dev libxxf86vm-dev libgl-dev libgl1-mesa-dri libglx-mesa0 libpng-dev zlib1g-dev
  libgtest-dev
  xserver-xorg-core xserver-xorg-video-dummy xvfb libxtst-dev x11-utils
  libxrandr-dev libxss-dev libxfixes-dev weston xwayland openbox xscreensaver
  desktop-file-utils appstream groff-base dpkg-dev lintian
  emscripten chromium chromium-driver
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
