#!/usr/bin/env bash
# Installs the Debian packages the project needs, only when one is missing.
set -euo pipefail
PACKAGES=(
  g++ cmake make pkg-config git
  libsdl2-dev libpng-dev libjpeg62-turbo-dev libgif-dev zlib1g-dev
  libogg-dev libvorbis-dev
  libcairo2-dev libfreetype-dev fonts-dejavu-core
  libgtest-dev googletest libgmock-dev libbenchmark-dev
  xvfb xauth xdotool libgl1-mesa-dri
  appstream appstream-util
)
# `deps.sh fuzz`: what the fuzzing build needs instead (clang with libFuzzer).
if [ "${1:-}" = fuzz ]; then
  PACKAGES=(clang-14 libclang-rt-14-dev cmake make pkg-config
            libsdl2-dev libpng-dev libjpeg62-turbo-dev libgif-dev zlib1g-dev libogg-dev libvorbis-dev)
fi
missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
