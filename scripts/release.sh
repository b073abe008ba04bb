#!/usr/bin/env bash
# Builds the release: build/release/MorlentDelay-<version>/ and its zip beside it, holding both
# Windows DLLs and the Linux module with the command-line host of each, the Linux LV2 bundle, both
# VST 3 bundles, both CLAP modules, the factory bank, the manual (Markdown and HTML with its
# pictures), the licence, the third-party notices, the Windows installer, the Debian package and
# SHA256SUMS.
#   --no-build   use the three builds as they are (default: build them first); the main job
#                still runs when the editors' screenshots are missing
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=1
for arg in "$@"; do
  case $arg in
    --no-build) build=0 ;;
    *) echo "usage: $0 [--no-build]" >&2; exit 2 ;;
  esac
done
fail() { echo "release: $*" >&2; exit 1; }

# The version is one of the effect's facts: read it from the shared header.
. scripts/version.sh
version=$(effect_version) || fail "cannot read the version from description/EffectIds.h"

out=build/outputs
[ $build -eq 0 ] || bash scripts/build.sh --no-setup --no-demo
# The main job takes both editors' pictures; run it when they are missing.
if [ ! -f "$out/editor.png" ] || [ ! -f "$out/editor-settings.png" ] || [ ! -f "$out/editor32.png" ] ||
   [ ! -f "$out/editor-linux-settings.png" ]; then
  bash scripts/build.sh --no-setup
fi

bank="build/linux/tools/factory-bank/Morlent Delay Factory.fxb"
lv2_bundle=build/linux/lv2/MorlentDelay.lv2
inputs=(
  build/win64/plugin/MorlentDelay.dll build/win64/host/morlent-host.exe
  build/win32/plugin/MorlentDelay.dll build/win32/host/morlent-host.exe
  build/linux/plugin/MorlentDelay.so build/linux/host/morlent-host
  "$lv2_bundle"/MorlentDelay.so "$lv2_bundle"/MorlentDelay_ui.so "$lv2_bundle"/manifest.ttl
  "$lv2_bundle"/MorlentDelay.ttl "$lv2_bundle"/presets.ttl
  build/win64/vst3/MorlentDelay.vst3/Contents/x86_64-win/MorlentDelay.vst3
  build/linux/vst3/MorlentDelay.vst3/Contents/x86_64-linux/MorlentDelay.so
  build/win64/clap/MorlentDelay.clap build/linux/clap/MorlentDelay.clap
  "$bank" docs/manual.md docs/LICENSE.txt
)
for file in "${inputs[@]}"; do
  [ -f "$file" ] || fail "missing $file (build the linux, win64 and win32 presets first)"
done

name=MorlentDelay-$version
dest=build/release/$name
rm -rf "$dest" "build/release/$name.zip"
# A release that stops half-way leaves nothing that looks like one.
trap 'status=$?; [ $status -eq 0 ] || rm -rf "$dest" "build/release/$name.zip"; exit $status' EXIT
mkdir -p "$dest"/{win64,win32,linux-x86_64,manual/images}
cp build/win64/plugin/MorlentDelay.dll build/win64/host/morlent-host.exe "$dest/win64/"
cp build/win32/plugin/MorlentDelay.dll build/win32/host/morlent-host.exe "$dest/win32/"
cp build/linux/plugin/MorlentDelay.so build/linux/host/morlent-host "$dest/linux-x86_64/"
cp -r "$lv2_bundle" "$dest/linux-x86_64/"
# The VST 3 bundles go whole: hosts load the module from inside its folder.
cp -r build/win64/vst3/MorlentDelay.vst3 "$dest/win64/"
cp -r build/linux/vst3/MorlentDelay.vst3 "$dest/linux-x86_64/"
# A CLAP plug-in is a single file, unlike a VST 3 bundle.
cp build/win64/clap/MorlentDelay.clap "$dest/win64/"
cp build/linux/clap/MorlentDelay.clap "$dest/linux-x86_64/"
cp "$bank" "$dest/"
cp docs/LICENSE.txt "$dest/LICENSE.txt"

# The manual's pictures are the build's own screenshots. A picture the manual shows that the
# build has not made stops the release: it never ships a broken picture.
cp docs/manual.md "$dest/manual/manual.md"
missing=0
while read -r picture; do
  if [ -f "$out/$picture" ]; then
    # A window that never painted comes out as one flat colour.
    colours=$(identify -format '%k' "$out/$picture" 2>/dev/null || echo 0)
    if [ "${colours:-0}" -lt 16 ]; then
      echo "release: $out/$picture is not a picture of an editor ($colours colours)" >&2
      missing=1
    fi
    cp "$out/$picture" "$dest/manual/images/"
  else
    echo "release: the manual shows images/$picture, but $out/$picture does not exist" >&2
    missing=1
  fi
done < <(grep -oE '!\[[^]]*\]\(images/[^)]+\)' docs/manual.md | sed -E 's/.*\(images\/([^)]+)\)/\1/' | sort -u)
[ $missing -eq 0 ] || fail "missing or blank screenshots (the main job, scripts/build.sh, takes them)"
/usr/bin/python3 docs/render-manual.py "$dest/manual/manual.md" "$dest/manual/manual.html"

# Third-party notices: the copyright files of the Debian packages whose libraries the builds
# took, found by asking dpkg which package installed each library file.
notices=$dest/THIRD-PARTY-NOTICES.txt
declare -A uses=()
add_use() { # package, what of it the release carries
  uses[$1]="${uses[$1]:+${uses[$1]}; }$2"
}
package_of() { dpkg -S "$(readlink -f "$1")" 2>/dev/null | head -1 | cut -d: -f1; }
for triple in x86_64-w64-mingw32 i686-w64-mingw32; do
  folder=win64
  [ "$triple" = x86_64-w64-mingw32 ] || folder=win32
  compiler=$(command -v "$triple-g++-posix" || command -v "$triple-g++") || fail "no $triple-g++"
  for lib in libstdc++.a libgcc.a libgcc_eh.a libwinpthread.a libmingwex.a libmingw32.a libmsvcrt.a crt2.o dllcrt2.o; do
    path=$("$compiler" -print-file-name=$lib)
    [ -f "$path" ] || fail "$triple: cannot find $lib"
    package=$(package_of "$path")
    [ -n "$package" ] || fail "no Debian package owns $path"
    add_use "$package" "$lib of $triple (inside the $folder DLL and host)"
  done
done
while read -r path; do
  package=$(package_of "$path")
  [ -n "$package" ] || fail "no Debian package owns $path"
  add_use "$package" "$(basename "$path") (loaded by the Linux command-line host)"
done < <(ldd build/linux/host/morlent-host | awk '/libsndfile/ {print $3}')
[ ${#uses[@]} -gt 0 ] || fail "found no third-party packages"
{
  echo "Morlent Delay $version - third-party notices"
  echo
  echo "The Windows DLLs and command-line hosts (win64/, win32/) carry parts of the GCC runtime"
  echo "libraries (libstdc++, libgcc; GCC Runtime Library Exception) and of the mingw-w64 runtime"
  echo "and winpthreads inside them, linked statically. The Linux command-line host uses libsndfile,"
  echo "which it loads from the system. Below is each library's licence as the Debian package that"
  echo "provided it states it (/usr/share/doc/PACKAGE/copyright on the machine that built this release)."
  declare -A shown=()
  for package in $(printf '%s\n' "${!uses[@]}" | sort); do
    copyright=$(readlink -f "/usr/share/doc/$package/copyright")
    [ -f "$copyright" ] || fail "$package has no copyright file"
    digest=$(sha256sum "$copyright" | cut -d' ' -f1)
    echo
    echo "================================================================================"
    echo "Debian package $package $(dpkg-query -W -f='${Version}\n' "$package" | head -1)"
    echo "Used: ${uses[$package]}"
    if [ -n "${shown[$digest]:-}" ]; then
      echo "Licence: the same text as for ${shown[$digest]} above."
      continue
    fi
    shown[$digest]=$package
    echo "================================================================================"
    echo
    cat "$copyright"
  done
} >"$notices"
for needed in "GCC RUNTIME LIBRARY EXCEPTION" "winpthreads" "libsndfile"; do
  grep -qi "$needed" "$notices" || fail "the notices lack $needed"
done

cat >"$dest/README.txt" <<EOF
Morlent Delay $version - a stereo delay effect by Morlent Sound Design

win64/MorlentDelay.dll          VST 2 plug-in for 64-bit Windows hosts ($version)
win32/MorlentDelay.dll          VST 2 plug-in for 32-bit Windows hosts (first generation, 2.6.0)
linux-x86_64/MorlentDelay.so    VST 2 plug-in for 64-bit Linux hosts ($version)
linux-x86_64/MorlentDelay.lv2/  LV2 plug-in for 64-bit Linux hosts ($version), with
                                the factory programs as presets
win64/MorlentDelay.vst3/        VST 3 plug-in for 64-bit Windows hosts ($version); replaces the VST 2 one
linux-x86_64/MorlentDelay.vst3/ VST 3 plug-in for 64-bit Linux hosts ($version)
win64/MorlentDelay.clap         CLAP plug-in for 64-bit Windows hosts ($version)
linux-x86_64/MorlentDelay.clap  CLAP plug-in for 64-bit Linux hosts ($version)
*/morlent-host[.exe]            the command-line host for each of them
$name-setup.exe  the Windows installer: VST 3, CLAP, both VST 2 plug-ins, bank and manual
morlent-delay_${version}_amd64.deb  the Debian package: LV2, VST 3, CLAP, VST 2 and morlent-host
Morlent Delay Factory.fxb       the factory bank: 32 programs, loads in all three VST 2 plug-ins
manual/manual.html              the user manual (also as manual/manual.md)
LICENSE.txt                     the freeware licence
THIRD-PARTY-NOTICES.txt         the licences of the libraries inside the programs
SHA256SUMS                      check the files with: sha256sum -c SHA256SUMS

Installing: on Windows, run $name-setup.exe; on Debian or Ubuntu, install the package with
"sudo apt install ./morlent-delay_${version}_amd64.deb". Or copy by hand: the plug-in for your
host into its VST 2 folder (a VST 3 bundle, the whole MorlentDelay.vst3 folder, into its VST 3
folder; MorlentDelay.clap into C:\Program Files\Common Files\CLAP on Windows, ~/.clap on Linux)
and rescan; for LV2, the folder MorlentDelay.lv2 into ~/.lv2, then restart the host.
See the manual's "Installing".
EOF
chmod 755 "$dest/linux-x86_64/morlent-host"

# The installer and the package are made from the folder as it stands, so they carry exactly
# the files the zip does.
bash packaging/windows/build-installer.sh "$dest" "$dest/$name-setup.exe" || fail "the Windows installer could not be built"
bash packaging/debian/build-deb.sh "$dest" "$dest/morlent-delay_${version}_amd64.deb" || fail "the Debian package could not be built"

sums=$(cd "$dest" && find . -type f -printf '%P\n' | LC_ALL=C sort | while read -r file; do
  sha256sum "$file"
done)
printf '%s\n' "$sums" >"$dest/SHA256SUMS"
(cd build/release && zip -q -r -X "$name.zip" "$name")

echo "release: $root/$dest"
echo "release: $root/build/release/$name.zip ($(stat -c %s "build/release/$name.zip") bytes)"
