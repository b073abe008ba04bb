#!/usr/bin/env bash
# Installs every tool the builds and tests need. Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine wine64
  xvfb xauth x11-utils
  python3 python3-cairo python3-pil fontconfig fonts-lato fonts-liberation
  libsndfile1-dev
  libx11-dev libcairo2-dev libpng-dev libfontconfig-dev  # the X11 editor, and the host's screenshots
  libxtst-dev  # the editor tests' real input
  clang libclang-rt-14-dev libfuzzer-14-dev
  imagemagick
  zip unzip python3-markdown  # the release archive and its HTML manual
  lv2-dev sordi lilv-utils jalv jackd2 ardour  # the LV2 plug-in, its validator and the hosts that check it
  nsis lintian dpkg-dev  # the Windows installer and the Debian package, and their checks
  qtractor  # its plug-in scanner lists the CLAP module
  libx11-dev libxdamage-dev xdotool  # the host checks' window waiter and their clicks and keys
)
# 32-bit Wine, for the 32-bit build's programs.
wine32_packages=(wine32:i386)

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

missing_of() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

# An i386 twin must have the very version of its amd64 package, so an archive whose i386 list
# failed would have amd64 packages installed from it that no i386 package can match. Such an
# archive is pinned below the others until its list comes back.
twin_pin=/etc/apt/preferences.d/morlent-i386-twins
pin_archives_without_i386_list() {
  local listed
  listed=$(apt-get indextargets --format '$(ARCHITECTURE) $(RELEASE)' 'Created-By: Packages' 2>/dev/null || true)
  local lacking
  lacking=$(comm -23 <(awk '$1 == "amd64" { print $2 }' <<<"$listed" | sort -u) \
                     <(awk '$1 == "i386" { print $2 }' <<<"$listed" | sort -u))
  rm -f "$twin_pin"
  [ -n "$lacking" ] || return 0
  local rel
  for rel in $lacking; do
    echo "setup: $rel has no list of i386 packages; its packages are not preferred for now"
    printf 'Package: *\nPin: release n=%s\nPin-Priority: 100\n\nPackage: *\nPin: release a=%s\nPin-Priority: 100\n\n' \
      "$rel" "$rel" >>"$twin_pin"
  done
}

# A mirror in mid-sync fails one list and apt-get update with it; the lists it did fetch still
# serve, and the install says plainly if a package really cannot be had.
updated=0
apt_update() {
  apt-get update -q || echo "setup: some package lists could not be fetched; going on with the rest"
  pin_archives_without_i386_list
  updated=1
}
apt_install() {
  if [ $updated -eq 0 ] && { [ $need_update -eq 1 ] || [ -z "$(ls /var/lib/apt/lists 2>/dev/null | grep -i i386 || true)" ]; }; then
    apt_update
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@" && return 0
  [ $updated -eq 1 ] && return 1
  apt_update
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"
}

mapfile -t missing < <(missing_of "${packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
  apt_install "${missing[@]}"
fi

# The i386 packages must match the versions of their amd64 twins, so a mirror that lacks one
# list of i386 packages can leave 32-bit Wine uninstallable. That only matters on a kernel that
# runs i386 programs at all; elsewhere the tests report the 32-bit build's Wine programs as not run.
mapfile -t missing < <(missing_of "${wine32_packages[@]}")
if [ ${#missing[@]} -gt 0 ] && ! apt_install "${missing[@]}"; then
  if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo "setup: 32-bit Wine could not be installed" >&2
    exit 1
  fi
  echo "setup: 32-bit Wine could not be installed; this machine's kernel cannot run 32-bit programs anyway"
fi

# The posix-thread flavour of mingw keeps std::thread and std::mutex available.
for arch in x86_64 i686; do
  for tool in gcc g++; do
    alt="/usr/bin/$arch-w64-mingw32-$tool-posix"
    [ -x "$alt" ] && update-alternatives --set "$arch-w64-mingw32-$tool" "$alt" >/dev/null 2>&1 || true
  done
done
