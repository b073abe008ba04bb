#!/usr/bin/env bash
# Installs every tool the builds and tests need. Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine wine64 wine32:i386
  xvfb xauth x11-utils
  python3 python3-cairo python3-pil fontconfig fonts-lato fonts-liberation
  libsndfile1-dev
  clang libclang-rt-14-dev libfuzzer-14-dev
  imagemagick
  zip unzip python3-markdown  # the release archive and its HTML manual
)

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ $need_update -eq 1 ] || [ ! -d /var/lib/apt/lists ] || [ -z "$(ls /var/lib/apt/lists 2>/dev/null | grep -i i386 || true)" ]; then
    apt-get update -q
  fi
  if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
fi

# The posix-thread flavour of mingw keeps std::thread and std::mutex available.
for arch in x86_64 i686; do
  for tool in gcc g++; do
    alt="/usr/bin/$arch-w64-mingw32-$tool-posix"
    [ -x "$alt" ] && update-alternatives --set "$arch-w64-mingw32-$tool" "$alt" >/dev/null 2>&1 || true
  done
done
