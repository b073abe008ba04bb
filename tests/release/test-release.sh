#!/usr/bin/env bash
# The release as a user gets it: unpacks the zip into an empty folder, checks the sums, the
# files, the manual's pictures, the notices, the version records of both DLLs and the installer
# and the Debian package's name, then loads each plug-in with the host beside it and renders a
# second of audio through each of the factory bank's programs: the Linux module natively, the
# 64-bit DLL under Wine, the 32-bit DLL under Wine where this machine's kernel runs i386 programs
# (else reported as skipped); the LV2 bundle from a copy of it, through LV2's validator and
# lv2apply; both VST 3 bundles and both CLAP modules where they lie, against their VST 2 modules'
# bits (each CLAP module's factory programs, too, against the factory bank's).
#
#   tests/release/test-release.sh build/release/MorlentDelay-VERSION.zip
#
# Exit status 0 when every check passes. Run from anywhere; Wine uses the build folders' prefixes.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
zip=${1:-}
[ -n "$zip" ] || { echo "usage: $0 RELEASE.zip" >&2; exit 2; }
zip=$(cd "$(dirname "$zip")" && pwd)/$(basename "$zip")

failures=0
fail() { echo "release test: FAILED: $*" >&2; failures=$((failures + 1)); }
pass() { echo "release test: ok: $*"; }

. "$root/scripts/version.sh"
version=$(effect_version)
first_version=$(effect_version FIRST_GENERATION)
name=MorlentDelay-$version

. "$root/scripts/virtual-display.sh"
work=$(mktemp -d)
cleanup() {
  stop_wine_and_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT

[ -f "$zip" ] || { fail "no release archive $zip"; exit 1; }
mkdir "$work/unpacked"
if ! unzip -q "$zip" -d "$work/unpacked"; then
  fail "cannot unpack $zip"
  exit 1
fi
top=$(ls "$work/unpacked")
[ "$top" = "$name" ] || { fail "the archive holds '$top', expected one folder $name"; exit 1; }
dir=$work/unpacked/$name
cd "$dir" || exit 1

# --- files and sums ---
expected=(
  win64/MorlentDelay.dll win64/morlent-host.exe
  win32/MorlentDelay.dll win32/morlent-host.exe
  linux-x86_64/MorlentDelay.so linux-x86_64/morlent-host
  linux-x86_64/MorlentDelay.lv2/MorlentDelay.so linux-x86_64/MorlentDelay.lv2/MorlentDelay_ui.so
  linux-x86_64/MorlentDelay.lv2/manifest.ttl
  linux-x86_64/MorlentDelay.lv2/MorlentDelay.ttl linux-x86_64/MorlentDelay.lv2/presets.ttl
  linux-x86_64/MorlentDelay.lv2/LICENSE.txt
  win64/MorlentDelay.vst3/Contents/x86_64-win/MorlentDelay.vst3
  linux-x86_64/MorlentDelay.vst3/Contents/x86_64-linux/MorlentDelay.so
  win64/MorlentDelay.clap linux-x86_64/MorlentDelay.clap
  "Morlent Delay Factory.fxb" manual/manual.md manual/manual.html
  LICENSE.txt THIRD-PARTY-NOTICES.txt README.txt SHA256SUMS
  "$name-setup.exe" "morlent-delay_${version}_amd64.deb"
)
missing=0
for file in "${expected[@]}"; do
  [ -s "$file" ] || { fail "missing or empty: $file"; missing=1; }
done
[ $missing -eq 0 ] && pass "every file is there"
if [ -f SHA256SUMS ] && sha256sum --quiet -c SHA256SUMS; then
  pass "sha256sum -c SHA256SUMS"
else
  fail "the sums do not match (sha256sum -c SHA256SUMS)"
fi
unlisted=$(comm -23 <(find . -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort) \
                    <(sed -E 's/^[0-9a-f]{64}  //' SHA256SUMS 2>/dev/null | LC_ALL=C sort))
[ -z "$unlisted" ] && pass "SHA256SUMS covers every file" || fail "files without a sum: $unlisted"
[ -x linux-x86_64/morlent-host ] || fail "linux-x86_64/morlent-host is not executable"

# --- documents ---
pictures=$(grep -oE '<img [^>]*src="[^"]+"' manual/manual.html 2>/dev/null | sed -E 's/.*src="([^"]+)"/\1/')
[ -n "$pictures" ] || fail "the HTML manual shows no pictures"
for picture in $pictures; do
  [ -s "manual/$picture" ] || fail "the HTML manual shows $picture, which is not beside it"
  [ "$(head -c 8 "manual/$picture" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "manual/$picture is not a PNG picture"
done
grep -q "Morlent Sound Design" LICENSE.txt || fail "the licence does not name Morlent Sound Design"
for needed in "GCC RUNTIME LIBRARY EXCEPTION" winpthreads libsndfile; do
  grep -qi "$needed" THIRD-PARTY-NOTICES.txt || fail "the third-party notices lack $needed"
done
pass "manual pictures, licence and notices checked"

# --- version records, read natively ---
check_version() { # module, dotted version[, file name it was built as]
  /usr/bin/python3 "$root/tests/release/versioninfo.py" "$1" --expect "FILEVERSION=$2.0" "PRODUCTVERSION=$2.0" \
    "FileVersion=$2" "ProductVersion=$2" "ProductName=Morlent Delay" "CompanyName=Morlent Sound Design" \
    "OriginalFilename=${3:-MorlentDelay.dll}" >/dev/null
}
check_version win64/MorlentDelay.dll "$version" && pass "win64 DLL version record $version" ||
  fail "win64/MorlentDelay.dll's version record is not $version"
check_version win32/MorlentDelay.dll "$first_version" && pass "win32 DLL version record $first_version" ||
  fail "win32/MorlentDelay.dll's version record is not $first_version"
for module in MorlentDelay.vst3/Contents/x86_64-win/MorlentDelay.vst3 MorlentDelay.clap; do
  check_version "win64/$module" "$version" "${module##*/}" && pass "win64 ${module##*/} version record $version" ||
    fail "win64/$module's version record is not $version under its own name"
done
if /usr/bin/python3 "$root/tests/release/versioninfo.py" "$name-setup.exe" --expect "FILEVERSION=$version.0" \
     "PRODUCTVERSION=$version.0" "ProductVersion=$version" "ProductName=Morlent Delay" \
     "CompanyName=Morlent Sound Design" >/dev/null; then
  pass "installer version record $version"
else
  fail "$name-setup.exe's version record is not $version"
fi
# What the package says of itself; tests/packaging/test-deb.sh installs it.
package_fields=$(dpkg-deb -f "morlent-delay_${version}_amd64.deb" Package Version Architecture 2>/dev/null | tr '\n' ' ')
if [ "$package_fields" = "Package: morlent-delay Version: $version Architecture: amd64 " ]; then
  pass "Debian package morlent-delay $version amd64"
else
  fail "the Debian package names itself '$package_fields'"
fi

# --- each plug-in through the host beside it ---
/usr/bin/python3 "$root/tests/release/wavcheck.py" make "$work/in.wav" || fail "cannot write the test signal"
bank="Morlent Delay Factory.fxb"
programs=32
first_program=$(grep -m1 -oE '^    \{"[^"]+"' "$root/description/FactoryPrograms.h" | sed -E 's/.*"([^"]+)"/\1/')
render_and_check() { # label, host command...
  local label=$1
  shift
  local info
  if ! info=$("$@" info "$(module_arg "$label")" 2>&1); then
    fail "$label: the host cannot load the plug-in: $(tail -3 <<<"$info")"
    return
  fi
  grep -q "Morlent Delay" <<<"$info" || { fail "$label: info does not name Morlent Delay"; return; }
  # The bank's first program as the plug-in shows it once the bank is loaded.
  if "$@" preset load "$(module_arg "$label")" "$(path_arg "$label" "$dir/$bank")" >"$work/$label.bank" 2>&1 &&
     grep -qx "program 0: $first_program" <(tr -d '\r' <"$work/$label.bank"); then
    pass "$label: the factory bank loads, its first program is $first_program"
  else
    fail "$label: the factory bank does not load as it should: $(tr -d '\r' <"$work/$label.bank" | head -3)"
  fi
  # Every program of the factory bank, each a second long and a second of tail: the first
  # generation's half-note echo at 120 beats a minute comes a whole second late.
  local program bad=()
  for program in $(seq 0 $((programs - 1))); do
    local out=$work/$label-$program.wav
    if ! "$@" render "$(module_arg "$label")" "$(path_arg "$label" "$work/in.wav")" "$(path_arg "$label" "$out")" \
         --preset "$(path_arg "$label" "$dir/$bank")" --program "$program" --tail 1 >"$work/$label.log" 2>&1; then
      echo "$label: program $program: render failed: $(tail -3 "$work/$label.log")" >&2
      bad+=("$program")
    elif ! /usr/bin/python3 "$root/tests/release/wavcheck.py" check "$out" 1 >/dev/null; then
      bad+=("$program")
    fi
  done
  if [ ${#bad[@]} -eq 0 ]; then
    pass "$label: loaded, all $programs factory programs rendered, audible and finite"
  else
    fail "$label: factory programs ${bad[*]} did not render a second of audible, finite echoes"
  fi
}
module_arg() {
  case $1 in
    linux) echo "$dir/linux-x86_64/MorlentDelay.so" ;;
    win64) echo "Z:$dir/win64/MorlentDelay.dll" ;;
    win32) echo "Z:$dir/win32/MorlentDelay.dll" ;;
  esac
}
path_arg() { if [ "$1" = linux ]; then echo "$2"; else echo "Z:$2"; fi; }

# A plug-in that crashes or hangs the host fails its check instead of stopping the test.
linux_host() { timeout -k 5 60 "$dir/linux-x86_64/morlent-host" "$@"; }
render_and_check linux linux_host

# The LV2 bundle as a user installs it: a copy of the folder alone on LV2_PATH.
mkdir "$work/lv2" && cp -r linux-x86_64/MorlentDelay.lv2 "$work/lv2/"
if lv2_validate "$work"/lv2/MorlentDelay.lv2/*.ttl >"$work/lv2-validate.log" 2>&1 &&
   grep -q '^Found 0 errors' "$work/lv2-validate.log"; then
  pass "lv2: the bundle validates"
else
  fail "lv2: lv2_validate: $(grep -v '^Skipping' "$work/lv2-validate.log" | tail -3)"
fi
if LV2_PATH=$work/lv2 timeout -k 5 60 lv2apply -i "$work/in.wav" -o "$work/lv2.wav" \
     https://www.example.com/lv2/morlent-delay >"$work/lv2apply.log" 2>&1 &&
   /usr/bin/python3 "$root/tests/release/wavcheck.py" check "$work/lv2.wav" 1 >/dev/null; then
  pass "lv2: loaded from a copy by lv2apply, rendered audible, finite echoes"
else
  fail "lv2: lv2apply did not render echoes: $(tail -3 "$work/lv2apply.log")"
fi

# A VST 3 bundle or a CLAP module, loaded from where it lies in the release, renders its VST 2
# module's bits. The bridge sets a CLAP parameter at a position in its range of display units: a
# feedback gain of 0.49 is what the VST 2 module's 0.7 stands for (its square).
vst2_settings=(--param 3=1 --param 6=0.7 --param 7=1)
clap_settings=(--param 3=1 --param 6=0.49 --param 7=1)
same_as_vst2() { # label, format (vst3 or clap), VST 2 module, other module, output folder as the host sees it, host...
  local label=$1 format=$2 vst2=$3 other=$4 seen=$5
  shift 5
  local what="the VST 3 bundle" settings=("${vst2_settings[@]}")
  [ "$format" = clap ] && what="the CLAP module" settings=("${clap_settings[@]}")
  if "$@" render "$vst2" "$seen/$label-vst2.wav" "${vst2_settings[@]}" >/dev/null 2>&1 &&
     "$@" render "$other" "$seen/$label-$format.wav" "${settings[@]}" >/dev/null 2>&1 &&
     cmp -s "$work/$label-vst2.wav" "$work/$label-$format.wav"; then
    pass "$label: $what renders the VST 2 module's bits"
  else
    fail "$label: $what did not render the VST 2 module's bits"
  fi
}
# A CLAP module's presets are the factory programs, in the bank's order: each renders the bits the
# VST 2 module rendered from the factory bank above (the bank itself, a VST 2 file, names the VST 2
# module's unique ID, not the CLAP plug-in's).
clap_programs_as_bank() { # label of the VST 2 module's renders, CLAP module as the host sees it, host...
  local label=$1 clap=$2
  shift 2
  local info
  if ! info=$("$@" info "$clap" 2>&1); then
    fail "$label: the host cannot load the CLAP module: $(tail -3 <<<"$info")"
    return
  fi
  info=$(tr -d '\r' <<<"$info")
  local listed
  listed=$(sed -n '/^Programs (/,/^$/p' <<<"$info")
  if grep -qE '^Format: +CLAP$' <<<"$info" && grep -qE '^Effect name: +Morlent Delay$' <<<"$info" &&
     grep -q "^Programs ($programs)" <<<"$listed" && grep -qxF "    0  $first_program" <<<"$listed"; then
    pass "$label: the CLAP module loads, Morlent Delay with $programs programs, the first $first_program"
  else
    fail "$label: the CLAP module's info: $(grep -E '^(Format|Effect name|Programs)' <<<"$info" | tr '\n' ' ')"
  fi
  local program bad=()
  for program in $(seq 0 $((programs - 1))); do
    if ! "$@" render "$clap" "$(path_arg "$label" "$work/in.wav")" "$(path_arg "$label" "$work/$label-clap-$program.wav")" \
         --program "$program" --tail 1 >"$work/$label-clap.log" 2>&1; then
      echo "$label: CLAP program $program: render failed: $(tail -3 "$work/$label-clap.log")" >&2
      bad+=("$program")
    elif ! cmp -s "$work/$label-$program.wav" "$work/$label-clap-$program.wav"; then
      bad+=("$program")
    fi
  done
  if [ ${#bad[@]} -eq 0 ]; then
    pass "$label: the CLAP module's $programs factory programs render the factory bank's bits"
  else
    fail "$label: the CLAP module's factory programs ${bad[*]} did not render the factory bank's bits"
  fi
}
same_as_vst2 linux vst3 "$dir/linux-x86_64/MorlentDelay.so" "$dir/linux-x86_64/MorlentDelay.vst3" "$work" linux_host
same_as_vst2 linux clap "$dir/linux-x86_64/MorlentDelay.so" "$dir/linux-x86_64/MorlentDelay.clap" "$work" linux_host
clap_programs_as_bank linux "$dir/linux-x86_64/MorlentDelay.clap" linux_host

if [ -z "${DISPLAY:-}" ]; then
  start_virtual_display || { fail "no virtual display for the Windows programs"; exit 1; }
fi
# The unpacked programs run in the build folders' Wine prefixes, made ready by the build's own host.
wine_in() { # bits, loader, program and arguments
  local prefix=$root/build/win$1/wineprefix loader=$2
  shift 2
  # No crash debugger: a crashing program ends instead of waiting for someone to attach.
  WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe=d' \
    timeout -k 10 120 "$loader" "$@"
}
prepare_prefix() { bash "$root/cmake/wine-run.sh" "$root/build/win$1/host/morlent-host.exe" --help >/dev/null 2>&1 || true; }
win64_loader=wine
[ -x /usr/lib/wine/wine64 ] && win64_loader=/usr/lib/wine/wine64
prepare_prefix 64
render_and_check win64 wine_in 64 "$win64_loader" "$dir/win64/morlent-host.exe"

same_as_vst2 win64 vst3 "Z:$dir/win64/MorlentDelay.dll" "Z:$dir/win64/MorlentDelay.vst3" "Z:$work" \
  wine_in 64 "$win64_loader" "$dir/win64/morlent-host.exe"
same_as_vst2 win64 clap "Z:$dir/win64/MorlentDelay.dll" "Z:$dir/win64/MorlentDelay.clap" "Z:$work" \
  wine_in 64 "$win64_loader" "$dir/win64/morlent-host.exe"
clap_programs_as_bank win64 "Z:$dir/win64/MorlentDelay.clap" wine_in 64 "$win64_loader" "$dir/win64/morlent-host.exe"

# The Linux module and the 64-bit DLL are the same code: they show the loaded bank alike.
if cmp -s <(tail -n +2 "$work/linux.bank") <(tail -n +2 "$work/win64.bank" | tr -d '\r'); then
  pass "linux and win64 show the factory bank's first program alike"
else
  fail "linux and win64 show the factory bank differently"
fi

if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  prepare_prefix 32
  render_and_check win32 wine_in 32 wine "$dir/win32/morlent-host.exe"
else
  echo "release test: skipped: win32 render (this machine's kernel cannot run 32-bit programs)"
fi

if [ $failures -gt 0 ]; then
  echo "release test: $failures checks failed" >&2
  exit 1
fi
echo "release test: passed ($zip)"
