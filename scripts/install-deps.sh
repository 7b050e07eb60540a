#!/usr/bin/env bash
# Installs the Debian packages Peldora needs to build, run and test; does nothing when all are present.
set -euo pipefail
packages=(
  build-essential cmake ccache
  qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin qt6-multimedia-dev
  qt6-qpa-plugins libqt6opengl6-dev libgl1-mesa-dri
  fonts-noto-cjk xvfb xauth
  zlib1g-dev tinyproxy-bin nginx-light curl libcurl4-openssl-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
