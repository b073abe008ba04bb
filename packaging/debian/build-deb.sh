#!/usr/bin/env bash
# Builds the Debian package of the Linux plug-ins from a staged release folder: the LV2 and VST 3
# bundles and the CLAP and VST 2 modules where hosts look for them, the command-line host with its manual
# page, and the user manual and factory bank as documentation. The same inputs give the same
# bytes: every time stamp is the changelog's date.
#   build-deb.sh STAGED_RELEASE_DIR OUTPUT.deb
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
fail() { echo "build-deb: $*" >&2; exit 1; }
[ $# -eq 2 ] || { echo "usage: $0 STAGED_RELEASE_DIR OUTPUT.deb" >&2; exit 2; }
staged=$1
output=$2
[ -d "$staged" ] || fail "no staged release folder $staged"
case $output in *.deb) ;; *) fail "the output's name must end in .deb: $output" ;; esac
output_dir=$(dirname "$output")
[ -d "$output_dir" ] || fail "no folder $output_dir for the output"
output=$(cd "$output_dir" && pwd)/$(basename "$output")
staged=$(cd "$staged" && pwd)

. "$root/scripts/version.sh"
version=$(effect_version) || fail "cannot read the version from description/EffectIds.h"
changelog_version=$(dpkg-parsechangelog -l "$here/changelog" -S Version)
[ "$changelog_version" = "$version" ] ||
  fail "packaging/debian/changelog's newest entry is $changelog_version, the effect is $version: add an entry"
case $(basename "$staged") in
  *-"$version") ;;
  *) fail "$staged is not the staged release of version $version" ;;
esac

linux=$staged/linux-x86_64
inputs=(
  "$linux/MorlentDelay.so" "$linux/morlent-host"
  "$linux/MorlentDelay.lv2/MorlentDelay.so" "$linux/MorlentDelay.lv2/MorlentDelay_ui.so"
  "$linux/MorlentDelay.lv2/manifest.ttl"
  "$linux/MorlentDelay.lv2/MorlentDelay.ttl" "$linux/MorlentDelay.lv2/presets.ttl"
  "$linux/MorlentDelay.vst3/Contents/x86_64-linux/MorlentDelay.so" "$linux/MorlentDelay.clap"
  "$staged/Morlent Delay Factory.fxb" "$staged/manual/manual.html" "$staged/manual/manual.md"
  "$staged/LICENSE.txt" "$staged/THIRD-PARTY-NOTICES.txt"
)
for file in "${inputs[@]}"; do
  [ -s "$file" ] || fail "missing or empty: $file"
done
compgen -G "$staged/manual/images/*.png" >/dev/null || fail "the staged manual has no pictures"

# The copyright file carries the licence as its own paragraph; it must say what the release says.
licence_in_copyright=$(awk 'body && /^ / { sub(/^ /, ""); sub(/^\.$/, ""); print; next } { body = 0 }
  previous == "" && /^License: Morlent-Freeware$/ { body = 1 } { previous = $0 }' "$here/copyright")
[ "$licence_in_copyright" = "$(cat "$staged/LICENSE.txt")" ] ||
  fail "packaging/debian/copyright's licence text differs from the release's LICENSE.txt"

# A build that stops half-way leaves no package, not even an older one that looks new.
rm -f "$output"
work=$(mktemp -d)
partial=$output.partial
finish() {
  local status=$?
  rm -rf "$work" "$partial"
  if [ $status -ne 0 ]; then
    rm -f "$output"
    echo "build-deb: failed; no package written to $output" >&2
  fi
  exit $status
}
trap finish EXIT
umask 022
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$here/changelog" -S Timestamp)

pkg=$work/pkg
doc=$pkg/usr/share/doc/morlent-delay
lv2=$pkg/usr/lib/lv2/MorlentDelay.lv2
vst3=$pkg/usr/lib/vst3/MorlentDelay.vst3/Contents/x86_64-linux
install -d -m 0755 "$pkg/DEBIAN" "$pkg/usr/bin" "$pkg/usr/lib/vst" "$pkg/usr/lib/clap" "$lv2" "$vst3" \
  "$pkg/usr/share/man/man1" "$pkg/usr/share/doc-base" "$doc/manual/images"

# Stripped copies: the staged release keeps its symbols. Plug-ins are loaded, never run, so they
# are data to the system (0644); their dynamic symbols, the entry points, stay.
strip_module() { strip --remove-section=.comment --remove-section=.note --strip-unneeded -o "$2" "$1" && chmod 0644 "$2"; }
strip_module "$linux/MorlentDelay.so" "$pkg/usr/lib/vst/MorlentDelay.so"
strip_module "$linux/MorlentDelay.lv2/MorlentDelay.so" "$lv2/MorlentDelay.so"
strip_module "$linux/MorlentDelay.lv2/MorlentDelay_ui.so" "$lv2/MorlentDelay_ui.so"
strip_module "$linux/MorlentDelay.vst3/Contents/x86_64-linux/MorlentDelay.so" "$vst3/MorlentDelay.so"
strip_module "$linux/MorlentDelay.clap" "$pkg/usr/lib/clap/MorlentDelay.clap"
strip --remove-section=.comment --remove-section=.note -o "$pkg/usr/bin/morlent-host" "$linux/morlent-host"
chmod 0755 "$pkg/usr/bin/morlent-host"

# The LV2 bundle's description names its licence file; in the package that name leads to the
# package's copyright file, which holds the same text, so the system keeps one copy of it.
for file in "$linux"/MorlentDelay.lv2/*; do
  case $(basename "$file") in
    MorlentDelay.so | MorlentDelay_ui.so) ;;
    *.ttl) install -m 0644 "$file" "$lv2/" ;;
    LICENSE.txt)
      cmp -s "$file" "$staged/LICENSE.txt" || fail "the LV2 bundle's LICENSE.txt is not the release's licence"
      ln -s ../../../share/doc/morlent-delay/copyright "$lv2/LICENSE.txt"
      ;;
    *) fail "unexpected file in the LV2 bundle: $file" ;;
  esac
done
extra=$(find "$linux/MorlentDelay.vst3" -type f ! -path '*/Contents/x86_64-linux/MorlentDelay.so')
[ -z "$extra" ] || fail "unexpected files in the VST 3 bundle: $extra"

# Documentation as Debian policy has it: text over 4 kB compressed, HTML and pictures as they are
# so that a browser opens them.
install -m 0644 "$staged/manual/manual.html" "$doc/manual/"
install -m 0644 "$staged"/manual/images/*.png "$doc/manual/images/"
gzip -9n <"$staged/manual/manual.md" >"$doc/manual/manual.md.gz"
install -m 0644 "$staged/Morlent Delay Factory.fxb" "$doc/"
# The licence asks that the notices go wherever the software goes.
gzip -9n <"$staged/THIRD-PARTY-NOTICES.txt" >"$doc/THIRD-PARTY-NOTICES.txt.gz"
install -m 0644 "$here/copyright" "$doc/copyright"
# We are the software's authors, so the package is native and its changelog is changelog.gz.
gzip -9n <"$here/changelog" >"$doc/changelog.gz"
gzip -9n <"$here/morlent-host.1" >"$pkg/usr/share/man/man1/morlent-host.1.gz"
# Registers the HTML manual with the system's documentation index where doc-base is installed.
install -m 0644 "$here/doc-base" "$pkg/usr/share/doc-base/morlent-delay-manual"
find "$pkg" -type f -name '*.gz' -exec chmod 0644 {} +

# The dependencies come from the binaries' own needs, through a minimal source tree.
src=$work/src
mkdir -p "$src/debian"
cp "$here/control" "$here/changelog" "$src/debian/"
elves=(usr/bin/morlent-host usr/lib/vst/MorlentDelay.so usr/lib/lv2/MorlentDelay.lv2/MorlentDelay.so
  usr/lib/lv2/MorlentDelay.lv2/MorlentDelay_ui.so usr/lib/vst3/MorlentDelay.vst3/Contents/x86_64-linux/MorlentDelay.so
  usr/lib/clap/MorlentDelay.clap)
(cd "$src" && dpkg-shlibdeps -Tdebian/substvars "${elves[@]/#/$pkg/}")
grep -q '^shlibs:Depends=.*libc6' "$src/debian/substvars" || fail "dpkg-shlibdeps found no dependencies"

(cd "$pkg" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | LC_ALL=C sort -z |
  xargs -0 md5sum) >"$pkg/DEBIAN/md5sums"
chmod 0644 "$pkg/DEBIAN/md5sums"
(cd "$src" && dpkg-gencontrol -pmorlent-delay -P"$pkg" -Tdebian/substvars -fdebian/files)
chmod 0644 "$pkg/DEBIAN/control"

find "$pkg" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
dpkg-deb --root-owner-group -Zxz --build "$pkg" "$partial" >/dev/null
mv "$partial" "$output"
echo "build-deb: $output ($(stat -c %s "$output") bytes)"
