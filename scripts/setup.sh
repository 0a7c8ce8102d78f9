#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the game need; only what is missing.
set -euo pipefail
packages=(
  cmake g++ make pkg-config
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-mixer-dev
  libtinyxml2-dev libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core
  xvfb xauth xdotool imagemagick x11-utils openbox sox
  dpkg-dev file appstream desktop-file-utils groff-base
  clang libclang-rt-14-dev  # the fuzz targets: libclang-rt-14-dev holds libFuzzer's runtime
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
