#!/usr/bin/env bash
# Installs every Debian package the game, its asset generators, its tests and
# its benchmarks need, then configures and builds the game in build/.
# Safe to run again: packages already present are not touched and the build
# only redoes what changed.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  build-essential cmake pkg-config
  libsdl1.2-compat-dev libsdl-mixer1.2-dev libopenmpt-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev
  libfreetype-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev liblz4-dev zlib1g-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool x11-utils
  desktop-file-utils appstream dpkg-dev
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
else
  echo "setup: all packages present"
fi

echo "setup: building the game in build/"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
