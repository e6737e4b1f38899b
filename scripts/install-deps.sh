#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing.
set -euo pipefail

packages=(
  cmake g++ make ninja-build pkg-config git
  googletest libgtest-dev libbenchmark-dev
  libtomlplusplus-dev libcli11-dev
  libpng-dev zlib1g-dev libjpeg62-turbo-dev libturbojpeg0-dev libgif-dev libwebp-dev libheif-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 xvfb xdotool imagemagick icoutils x11-utils openbox time
  clang libclang-rt-14-dev
  cmark-gfm
  emscripten nodejs chromium chromium-driver python3-selenium
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installation de : ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
