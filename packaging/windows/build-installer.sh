#!/usr/bin/env bash
# Makes the Windows installer from a staged release folder with makensis (NSIS 3):
#
#   packaging/windows/build-installer.sh STAGED_RELEASE_DIR OUTPUT.exe
#
# The version comes from description/EffectIds.h. On success it prints one line naming the
# output; on any error it says why on stderr, exits non-zero and leaves no OUTPUT behind.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
fail() { echo "build-installer: $*" >&2; exit 1; }
[ $# -eq 2 ] || { echo "usage: $0 STAGED_RELEASE_DIR OUTPUT.exe" >&2; exit 2; }
[ -d "$1" ] || fail "no staged release folder $1"
staged=$(cd "$1" && pwd)
output=$2
out_dir=$(dirname "$output")
[ -d "$out_dir" ] || fail "no folder $out_dir for $output"
output=$(cd "$out_dir" && pwd)/$(basename "$output")
command -v makensis >/dev/null || fail "makensis is not installed (Debian package nsis)"

. "$root/scripts/version.sh"
version=$(effect_version) || fail "cannot read the version from description/EffectIds.h"

# NSIS reads $ and quotes in a path as its own syntax.
for path in "$staged" "$output"; do
  [[ $path != *[\$\"\`]* ]] || fail "a path with \$, \" or \` cannot go to makensis: $path"
done

# The installer and its uninstaller name every file; a release that gained one (in the VST 3
# bundle, say) must gain it here too rather than ship without it.
expected=(
  win64/MorlentDelay.dll win32/MorlentDelay.dll win64/morlent-host.exe
  win64/MorlentDelay.vst3/Contents/x86_64-win/MorlentDelay.vst3 win64/MorlentDelay.clap
  "Morlent Delay Factory.fxb" manual/manual.html LICENSE.txt THIRD-PARTY-NOTICES.txt
)
for file in "${expected[@]}"; do
  [ -s "$staged/$file" ] || fail "the staged release lacks $file"
done
bundle_files=$(cd "$staged/win64" && find MorlentDelay.vst3 ! -type d | LC_ALL=C sort)
[ "$bundle_files" = MorlentDelay.vst3/Contents/x86_64-win/MorlentDelay.vst3 ] ||
  fail "the VST 3 bundle holds files the installer does not know: $(tr '\n' ' ' <<<"$bundle_files")"

work=$(mktemp -d)
partial=
cleanup() {
  rm -rf "$work"
  [ -z "$partial" ] || rm -f "$partial"
}
trap cleanup EXIT

images=()
while IFS= read -r image; do
  [[ $image =~ ^[A-Za-z0-9._-]+$ ]] || fail "a manual picture's name the installer cannot carry: $image"
  images+=("$image")
done < <(find "$staged/manual/images" -maxdepth 1 -type f -name '*.png' -printf '%f\n' 2>/dev/null | LC_ALL=C sort)
[ ${#images[@]} -gt 0 ] || fail "the staged release has no manual/images/*.png"
extra=$(find "$staged/manual/images" -mindepth 1 ! -name '*.png' -printf '%P\n')
[ -z "$extra" ] || fail "manual/images holds more than pictures: $extra"
{
  echo '; The manual'"'"'s pictures, for the installer and the uninstaller.'
  echo '!macro FOR_EACH_MANUAL_IMAGE MACRO'
  for image in "${images[@]}"; do
    echo "  !insertmacro \${MACRO} \"$image\""
  done
  echo '!macroend'
} >"$work/manual-images.nsh"

# The licence file is wrapped for a terminal, wider than the licence page: its wrapped lines are
# joined again (a long line, or an indented one, continues the one before) so that the page
# wraps them to its own width. Windows' edit control wants CR LF line ends.
awk '{ sub(/\r$/, "") }
  NR > 1 && $0 != "" && prev != "" && (length(prev) > 70 || /^ /) { sub(/^ +/, ""); out = out " " $0; prev = $0; next }
  NR > 1 { print out }
  { out = $0; prev = $0 }
  END { print out }' "$staged/LICENSE.txt" | sed 's/$/\r/' >"$work/licence.txt"

# The installer's and the uninstaller's icon: the editor's own knob, turned up.
convert "$root/resources/knob.png" -crop 32x32+0+1920 +repage \( -clone 0 -resize 16x16 \) "$work/icon.ico" ||
  fail "cannot make the icon from resources/knob.png"

# Written beside the output and moved into place whole, so a failure leaves nothing that looks
# like an installer.
partial=$(mktemp "$output.partial.XXXXXX")
if ! makensis -V2 -WX -INPUTCHARSET UTF8 -NOCD \
       "-DVERSION=$version" "-DSTAGED=$staged" "-DOUTFILE=$partial" \
       "-DLICENSE_PAGE=$work/licence.txt" "-DMANUAL_IMAGES=$work/manual-images.nsh" "-DICON=$work/icon.ico" \
       "-DSIDE_PICTURE=$root/resources/installer-side.bmp" \
       "$here/MorlentDelay.nsi" >"$work/makensis.log" 2>&1; then
  cat "$work/makensis.log" >&2
  fail "makensis failed"
fi
[ -s "$partial" ] || fail "makensis wrote no installer"
chmod 644 "$partial"
mv -f "$partial" "$output"
partial=
echo "build-installer: $output ($(stat -c %s "$output") bytes)"
