#!/usr/bin/env bash
# The Debian package as a user gets it: lintian, its control fields and every path with its mode,
# its binaries stripped and its manual page; then, as root, installs it for real and checks that
# LV2 tools, Ardour's VST 3 scanner, Qtractor's CLAP scanner and the installed command-line host
# find and play the installed plug-ins, and that a purge leaves nothing of it behind. Whatever
# happens, a package this test installed is purged again on the way out.
#
#   tests/packaging/test-deb.sh build/release/MorlentDelay-VERSION/morlent-delay_VERSION_amd64.deb
#
# Exit status 0 when every check passes. It installs into system folders: run it alone.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
deb=${1:-}
[ -n "$deb" ] || { echo "usage: $0 PACKAGE.deb" >&2; exit 2; }
[ -d "$(dirname "$deb")" ] && deb=$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")

failures=0
fail() { echo "package test: FAILED: $*" >&2; failures=$((failures + 1)); }
pass() { echo "package test: ok: $*"; }
finish() {
  if [ $failures -gt 0 ]; then
    echo "package test: $failures checks failed" >&2
    exit 1
  fi
  echo "package test: passed ($deb)"
  exit 0
}

package=morlent-delay
uri=https://www.example.com/lv2/morlent-delay
. "$root/scripts/version.sh"
version=$(effect_version)

# Installed or half-installed from before: that is someone else's state, not ours to replace.
status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null)
if [ -n "$status" ] && [ "${status:0:2}" != "un" ] && [ "${status:0:2}" != "pn" ]; then
  echo "package test: FAILED: $package is already on this machine (dpkg status '${status% }');" \
    "remove it first (dpkg --purge $package), the test touches nothing" >&2
  exit 1
fi

work=$(mktemp -d)
installed=0
cleanup() {
  if [ $installed -eq 1 ]; then
    echo "package test: purging $package after an unfinished run" >&2
    dpkg --purge "$package" >/dev/null 2>&1 || echo "package test: FAILED: dpkg --purge $package did not succeed" >&2
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

[ -f "$deb" ] || { fail "no package $deb"; finish; }
[ "$(basename "$deb")" = "${package}_${version}_amd64.deb" ] ||
  fail "the package's file name is $(basename "$deb"), expected ${package}_${version}_amd64.deb"

# --- lintian ---
lintian_status=0
lintian --display-info --pedantic --info "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
if [ -s "$work/lintian.log" ]; then sed 's/^/  lintian: /' "$work/lintian.log"; else echo "  lintian: (no tags)"; fi
# Clean means no tag at all, down to the informational (-I) and pedantic ones. A tag's line starts
# with its kind's letter; the explanations (N:) and lintian's own notes, such as the one about
# running as root, are no tags.
tags=$(grep -cE '^[EWIPXOCM]: ' "$work/lintian.log")
if [ $lintian_status -eq 0 ] && [ "$tags" -eq 0 ]; then
  pass "lintian -I --pedantic reports no tags"
else
  fail "lintian reports $tags tags (status $lintian_status)"
fi

# --- control fields ---
field() { dpkg-deb -f "$deb" "$1" 2>/dev/null; }
[ "$(field Package)" = "$package" ] && [ "$(field Version)" = "$version" ] && [ "$(field Architecture)" = amd64 ] &&
  pass "control: $package $version amd64" ||
  fail "control: Package/Version/Architecture are '$(field Package)' '$(field Version)' '$(field Architecture)'"
depends=$(field Depends)
depends_names=$(tr ',' '\n' <<<"$depends" | sed -E 's/^ *//; s/[ (].*//')
missing_deps=()
for needed in libc6 libstdc++6 libgcc-s1 libsndfile1 libx11-6 libcairo2 libpng16-16; do
  grep -qxF "$needed" <<<"$depends_names" || missing_deps+=("$needed")
done
[ ${#missing_deps[@]} -eq 0 ] && pass "control: Depends names the libraries the binaries link ($depends)" ||
  fail "control: Depends lacks ${missing_deps[*]}: '$depends'"
size=$(field Installed-Size)
[[ $size =~ ^[0-9]+$ ]] && [ "$size" -gt 500 ] && pass "control: Installed-Size $size KiB" ||
  fail "control: Installed-Size is '$size'"
[ "$(field Section)" = sound ] && [ "$(field Priority)" = optional ] &&
  [[ $(field Maintainer) == "Morlent Sound Design <"*"@example.com>" ]] && [[ $(field Homepage) == https://www.example.com/* ]] &&
  pass "control: section, priority, maintainer and homepage" ||
  fail "control: section, priority, maintainer or homepage is wrong"

# --- contents: every path with its mode and owner, and nothing else ---
doc=./usr/share/doc/$package
expected=(
  "drwxr-xr-x ./" "drwxr-xr-x ./usr/" "drwxr-xr-x ./usr/bin/" "-rwxr-xr-x ./usr/bin/morlent-host"
  "drwxr-xr-x ./usr/lib/" "drwxr-xr-x ./usr/lib/lv2/" "drwxr-xr-x ./usr/lib/lv2/MorlentDelay.lv2/"
  "lrwxrwxrwx ./usr/lib/lv2/MorlentDelay.lv2/LICENSE.txt -> ../../../share/doc/$package/copyright"
  "-rw-r--r-- ./usr/lib/lv2/MorlentDelay.lv2/MorlentDelay.so" "-rw-r--r-- ./usr/lib/lv2/MorlentDelay.lv2/MorlentDelay.ttl"
  "-rw-r--r-- ./usr/lib/lv2/MorlentDelay.lv2/MorlentDelay_ui.so"
  "-rw-r--r-- ./usr/lib/lv2/MorlentDelay.lv2/manifest.ttl" "-rw-r--r-- ./usr/lib/lv2/MorlentDelay.lv2/presets.ttl"
  "drwxr-xr-x ./usr/lib/vst/" "-rw-r--r-- ./usr/lib/vst/MorlentDelay.so"
  "drwxr-xr-x ./usr/lib/clap/" "-rw-r--r-- ./usr/lib/clap/MorlentDelay.clap"
  "drwxr-xr-x ./usr/lib/vst3/" "drwxr-xr-x ./usr/lib/vst3/MorlentDelay.vst3/"
  "drwxr-xr-x ./usr/lib/vst3/MorlentDelay.vst3/Contents/"
  "drwxr-xr-x ./usr/lib/vst3/MorlentDelay.vst3/Contents/x86_64-linux/"
  "-rw-r--r-- ./usr/lib/vst3/MorlentDelay.vst3/Contents/x86_64-linux/MorlentDelay.so"
  "drwxr-xr-x ./usr/share/" "drwxr-xr-x ./usr/share/doc/" "drwxr-xr-x $doc/"
  "-rw-r--r-- $doc/Morlent Delay Factory.fxb" "-rw-r--r-- $doc/THIRD-PARTY-NOTICES.txt.gz"
  "-rw-r--r-- $doc/changelog.gz" "-rw-r--r-- $doc/copyright"
  "drwxr-xr-x $doc/manual/" "drwxr-xr-x $doc/manual/images/"
  "-rw-r--r-- $doc/manual/images/editor-settings.png" "-rw-r--r-- $doc/manual/images/editor.png"
  "-rw-r--r-- $doc/manual/images/editor32.png" "-rw-r--r-- $doc/manual/images/editor-linux-settings.png"
  "-rw-r--r-- $doc/manual/manual.html" "-rw-r--r-- $doc/manual/manual.md.gz"
  "drwxr-xr-x ./usr/share/doc-base/" "-rw-r--r-- ./usr/share/doc-base/$package-manual"
  "drwxr-xr-x ./usr/share/man/" "drwxr-xr-x ./usr/share/man/man1/" "-rw-r--r-- ./usr/share/man/man1/morlent-host.1.gz"
)
if ! dpkg-deb -c "$deb" >"$work/contents.raw" 2>"$work/contents.err"; then
  fail "dpkg-deb -c cannot list the package: $(head -3 "$work/contents.err")"
  finish
fi
# Mode, owner and path (with a link's target); a path's single spaces survive the re-join.
awk '{ mode = $1; owner = $2; $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print mode, owner, $0 }' \
  "$work/contents.raw" >"$work/contents"
not_root=$(awk '$2 != "root/root"' "$work/contents")
[ -z "$not_root" ] && pass "contents: everything belongs to root/root" || fail "contents: not owned by root: $not_root"
cut -d' ' -f1,3- "$work/contents" | LC_ALL=C sort >"$work/actual"
printf '%s\n' "${expected[@]}" | LC_ALL=C sort >"$work/expected"
unexpected=$(comm -13 "$work/expected" "$work/actual")
absent=$(comm -23 "$work/expected" "$work/actual")
[ -z "$absent" ] && pass "contents: all ${#expected[@]} expected paths, each with its mode" ||
  fail "contents: missing or with another mode: $absent"
[ -z "$unexpected" ] && pass "contents: nothing else" || fail "contents: unexpected paths or modes: $unexpected"

# --- what is inside: stripped programs that still load, readable documents ---
mkdir "$work/unpacked"
dpkg-deb -x "$deb" "$work/unpacked" || { fail "dpkg-deb -x cannot unpack the package"; finish; }
x=$work/unpacked
elves=(usr/bin/morlent-host usr/lib/vst/MorlentDelay.so usr/lib/lv2/MorlentDelay.lv2/MorlentDelay.so
  usr/lib/lv2/MorlentDelay.lv2/MorlentDelay_ui.so usr/lib/vst3/MorlentDelay.vst3/Contents/x86_64-linux/MorlentDelay.so
  usr/lib/clap/MorlentDelay.clap)
unstripped=()
unhardened=()
for elf in "${elves[@]}"; do
  readelf -S "$x/$elf" 2>/dev/null | grep -qE '\] \.(symtab|debug_info) ' && unstripped+=("$elf")
  # The release build's hardening: relocations resolved at load, then read-only.
  { readelf -d "$x/$elf" | grep -qE '\(FLAGS\).*\bBIND_NOW\b|\(FLAGS_1\).*\bNOW\b' &&
    readelf -lW "$x/$elf" | grep -q GNU_RELRO; } 2>/dev/null || unhardened+=("$elf")
done
[ ${#unstripped[@]} -eq 0 ] && pass "binaries: all ${#elves[@]} are stripped" || fail "binaries: not stripped: ${unstripped[*]}"
[ ${#unhardened[@]} -eq 0 ] && pass "binaries: all ${#elves[@]} have full RELRO (-z relro -z now)" ||
  fail "binaries: without -z relro -z now: ${unhardened[*]}"
exports=$(nm -D --defined-only "$x/usr/lib/vst/MorlentDelay.so" 2>/dev/null | awk '{print $3}' | LC_ALL=C sort | tr '\n' ' ')
[ "$exports" = "VSTPluginMain main " ] && pass "binaries: the stripped VST 2 module still exports its entry points" ||
  fail "binaries: the stripped VST 2 module exports '$exports'"
exports=$(nm -D --defined-only "$x/usr/lib/clap/MorlentDelay.clap" 2>/dev/null | awk '{print $3}' | tr '\n' ' ')
[ "$exports" = "clap_entry " ] && pass "binaries: the stripped CLAP module still exports clap_entry, and only that" ||
  fail "binaries: the stripped CLAP module exports '$exports'"
zcat "$x/usr/share/doc/$package/changelog.gz" 2>/dev/null | head -1 | grep -q "^$package ($version) " &&
  pass "changelog: the newest entry is $version" || fail "changelog.gz does not start with $version"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$x/usr/share/doc/$package/copyright" &&
  grep -q 'Morlent Sound Design' "$x/usr/share/doc/$package/copyright" &&
  pass "copyright: machine-readable, names Morlent Sound Design" || fail "copyright: not machine-readable or not ours"
pictures=$(grep -oE '<img [^>]*src="[^"]+"' "$x/usr/share/doc/$package/manual/manual.html" | sed -E 's/.*src="([^"]+)"/\1/')
missing_pictures=()
for picture in $pictures; do
  [ -s "$x/usr/share/doc/$package/manual/$picture" ] || missing_pictures+=("$picture")
done
[ -n "$pictures" ] && [ ${#missing_pictures[@]} -eq 0 ] && pass "manual: every picture the HTML shows is beside it" ||
  fail "manual: pictures missing: ${missing_pictures[*]:-none shown}"

# The page as man shows it, every warning of groff's kept.
man_warnings() { MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings=all -E UTF-8 "$@" 2>&1 >/dev/null; }
page=$x/usr/share/man/man1/morlent-host.1.gz
man_out=$(MANWIDTH=80 LC_ALL=C.UTF-8 man -l "$page" 2>/dev/null | col -b)
warnings=$(man_warnings -l "$page")
commands_missing=()
for word in info render bench "preset save" "preset load" "preset dump" --param --program --preset --tempo \
  --playing --stopped --block --rate --midi --tail --seconds /usr/lib/vst/MorlentDelay.so /usr/lib/vst3/MorlentDelay.vst3 \
  /usr/lib/clap/MorlentDelay.clap; do
  grep -qF -- "$word" <<<"$man_out" || commands_missing+=("$word")
done
[ -z "$warnings" ] && [ ${#commands_missing[@]} -eq 0 ] &&
  pass "man page: renders without warnings, shows every command, option and installed path" ||
  fail "man page: warnings '$warnings', missing: ${commands_missing[*]:-}"

if [ "$(id -u)" -ne 0 ]; then
  echo "package test: skipped: install checks (not root)"
  finish
fi

# --- installing for real ---
# Every dependency must be here already: the test installs nothing else.
unmet=()
IFS=',' read -ra clauses <<<"$depends"
for clause in "${clauses[@]}"; do
  clause=$(echo "$clause" | xargs)
  name=${clause%% *}
  # The package is amd64: an i386 copy of a library does not count.
  have=$(dpkg-query -W -f='${db:Status-Abbrev}' "$name:amd64" 2>/dev/null)
  have_version=$(dpkg-query -W -f='${Version}' "$name:amd64" 2>/dev/null)
  if [ "${have:0:2}" != ii ]; then
    unmet+=("$clause (not installed)")
  elif [[ $clause =~ \((\>=|\<=|=|\>\>|\<\<)\ ([^\)]+)\) ]] &&
       ! dpkg --compare-versions "$have_version" "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"; then
    unmet+=("$clause (have $have_version)")
  fi
done
if [ ${#unmet[@]} -gt 0 ]; then
  fail "dependencies missing on this machine, not installing: ${unmet[*]}"
  finish
fi
# A file of ours already on the system would be overwritten and then purged: not ours to touch.
mapfile -t paths < <(awk '{ $1 = $2 = ""; sub(/^ +/, ""); sub(/ -> .*/, ""); sub(/^\./, ""); sub(/\/$/, ""); print }' "$work/contents" |
  grep -v '^$')
present=()
declare -A existed=()
for path in "${paths[@]}"; do
  if [ -d "$path" ] && [ ! -L "$path" ]; then
    existed[$path]=1
  elif [ -e "$path" ] || [ -L "$path" ]; then
    present+=("$path")
  fi
done
for bundle in /usr/lib/lv2/MorlentDelay.lv2 /usr/lib/vst3/MorlentDelay.vst3 /usr/share/doc/$package; do
  [ -n "${existed[$bundle]:-}" ] && present+=("$bundle/")
done
if [ ${#present[@]} -gt 0 ]; then
  fail "already on this machine outside any package, not installing: ${present[*]}"
  finish
fi

installed=1
if dpkg -i "$deb" >"$work/install.log" 2>&1; then
  pass "dpkg -i installed the package"
else
  fail "dpkg -i failed: $(tail -5 "$work/install.log")"
  finish
fi
[ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$package")" = "ii " ] && pass "dpkg -s: installed" ||
  fail "dpkg reports $package as '$(dpkg-query -W -f='${db:Status-Abbrev}' "$package")'"
verify=$(dpkg --verify "$package" 2>&1)
[ -z "$verify" ] && pass "dpkg --verify: every installed file matches its md5sum" || fail "dpkg --verify: $verify"

# A private home: a bundle in the user's ~/.lv2 or a scanner cache of before must not answer for
# the installed one.
mkdir -p "$work/home/config" "$work/home/cache"
private() { env -u LV2_PATH -u VST3_PATH -u CLAP_PATH HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" \
  XDG_CACHE_HOME="$work/home/cache" timeout -k 5 60 "$@"; }

# --- LV2 from the system's folder ---
if private lv2ls 2>"$work/lv2ls.err" | grep -qxF "$uri"; then
  pass "lv2ls lists $uri from the default LV2 path"
else
  fail "lv2ls does not list $uri: $(tail -3 "$work/lv2ls.err")"
fi
private lv2info "$uri" >"$work/lv2info" 2>&1
grep -qE '^\s+Name:\s+Morlent Delay$' "$work/lv2info" &&
  grep -qE '^\s+Bundle:\s+file:///usr/lib/lv2/MorlentDelay.lv2/$' "$work/lv2info" &&
  pass "lv2info: Morlent Delay, from /usr/lib/lv2/MorlentDelay.lv2" ||
  fail "lv2info does not show Morlent Delay in /usr/lib/lv2: $(head -12 "$work/lv2info")"
/usr/bin/python3 "$root/tests/release/wavcheck.py" make "$work/in.wav" || fail "cannot write the test signal"
if private lv2apply -i "$work/in.wav" -o "$work/lv2.wav" "$uri" >"$work/lv2apply.log" 2>&1 &&
   /usr/bin/python3 "$root/tests/release/wavcheck.py" check "$work/lv2.wav" 1 >/dev/null; then
  pass "lv2apply: the installed LV2 plug-in renders audible, finite echoes"
else
  fail "lv2apply did not render echoes through the installed plug-in: $(tail -3 "$work/lv2apply.log")"
fi

# --- VST 3 through Ardour's own scanner ---
scanner=/usr/lib/ardour7/ardour-vst3-scanner
if [ ! -x "$scanner" ]; then
  fail "Ardour's VST 3 scanner $scanner is not on this machine (install ardour)"
else
  fpu=()
  # Ardour's AVX-512 routines crash at random; its own AVX ones do not.
  grep -qw avx512f /proc/cpuinfo && fpu=(ARDOUR_FPU_FLAGS=95)
  if private env "${fpu[@]}" LD_LIBRARY_PATH=/usr/lib/ardour7 "$scanner" -f /usr/lib/vst3/MorlentDelay.vst3 \
       >"$work/scan.log" 2>&1 &&
     grep -q 'Found Plugin: Morlent Delay' "$work/scan.log" &&
     grep -q 'bundle="/usr/lib/vst3/MorlentDelay.vst3"' "$work"/home/cache/ardour7/vst/*.v3i 2>/dev/null &&
     grep -q 'name="Morlent Delay" vendor="Morlent Sound Design"' "$work"/home/cache/ardour7/vst/*.v3i; then
    pass "Ardour's VST 3 scanner finds Morlent Delay in /usr/lib/vst3/MorlentDelay.vst3"
  else
    fail "Ardour's VST 3 scanner did not find the installed bundle: $(tail -5 "$work/scan.log")"
  fi
fi

# --- CLAP through Qtractor's own scanner ---
# It reads the module's path on standard input and prints one line of what it found, checked
# field by field as the CLAP module's own test does; it needs no display.
qtractor_scanner=/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan
if [ ! -x "$qtractor_scanner" ]; then
  fail "Qtractor's plug-in scanner $qtractor_scanner is not on this machine (install qtractor)"
elif private bash "$root/tests/clap/qtractor-scan.sh" "$qtractor_scanner" /usr/lib/clap/MorlentDelay.clap \
       >"$work/qtractor.log" 2>&1; then
  pass "Qtractor's scanner finds Morlent Delay in /usr/lib/clap/MorlentDelay.clap: $(sed -n 's/^scanner: //p' "$work/qtractor.log")"
else
  fail "Qtractor's scanner did not list the installed CLAP module as it should: $(tail -5 "$work/qtractor.log")"
fi

# --- the installed host on the installed VST 2 module, VST 3 bundle and CLAP module ---
host() { timeout -k 5 60 /usr/bin/morlent-host "$@"; }
for module in /usr/lib/vst/MorlentDelay.so /usr/lib/vst3/MorlentDelay.vst3 /usr/lib/clap/MorlentDelay.clap; do
  if host info "$module" >"$work/info.log" 2>&1 && grep -qE '^Effect name:\s+Morlent Delay$' "$work/info.log"; then
    pass "morlent-host info $module: Morlent Delay"
  else
    fail "morlent-host info $module: $(head -3 "$work/info.log")"
  fi
done
settings=(--param 6=0.8 --param 7=1)
if host render /usr/lib/vst/MorlentDelay.so "$work/in.wav" "$work/vst2.wav" "${settings[@]}" --tail 1 >/dev/null 2>&1 &&
   host render /usr/lib/vst3/MorlentDelay.vst3 "$work/in.wav" "$work/vst3.wav" "${settings[@]}" --tail 1 >/dev/null 2>&1 &&
   /usr/bin/python3 "$root/tests/release/wavcheck.py" check "$work/vst2.wav" 1 >/dev/null &&
   cmp -s "$work/vst2.wav" "$work/vst3.wav"; then
  pass "morlent-host render: the installed VST 2 and VST 3 plug-ins render the same echoes, bit for bit"
else
  fail "morlent-host render: the installed plug-ins did not render the same audible echoes"
fi
# The CLAP parameters are in display units: the VST 2 module's feedback 0.8 is a gain of 0.64.
if [ -s "$work/vst2.wav" ] &&
   host render /usr/lib/clap/MorlentDelay.clap "$work/in.wav" "$work/clap.wav" --param 6=0.64 --param 7=1 --tail 1 \
     >/dev/null 2>&1 &&
   cmp -s "$work/vst2.wav" "$work/clap.wav"; then
  pass "morlent-host render: the installed CLAP plug-in renders the installed VST 2 plug-in's bits"
else
  fail "morlent-host render: the installed CLAP and VST 2 plug-ins did not render the same bits"
fi

# --- the manual page from where man looks for it ---
man_out=$(MANWIDTH=80 LC_ALL=C.UTF-8 man morlent-host 2>/dev/null | col -b)
warnings=$(man_warnings morlent-host)
where=$(man -w morlent-host 2>&1)
[ "$where" = /usr/share/man/man1/morlent-host.1.gz ] && grep -qE 'morlent-host +- inspect, render through' <<<"$man_out" &&
  [ -z "$warnings" ] && pass "man morlent-host: found in /usr/share/man/man1 and rendered without warnings" ||
  fail "man morlent-host: found at '$where', warnings '$warnings', page: $(head -5 <<<"$man_out")"

# --- purging leaves nothing of ours ---
if dpkg --purge "$package" >"$work/purge.log" 2>&1; then
  installed=0
  pass "dpkg --purge removed the package"
else
  fail "dpkg --purge failed: $(tail -5 "$work/purge.log")"
  finish
fi
left=()
for path in "${paths[@]}"; do
  if [ -n "${existed[$path]:-}" ]; then
    # A folder that was here before stays, and it is no longer ours.
    [ -d "$path" ] || fail "purging removed $path, which was here before the test"
    dpkg-query -S "$path" 2>/dev/null | grep -qE "(^|, )$package(,|:)" && left+=("$path (still listed as ours)")
  elif [ -e "$path" ] || [ -L "$path" ]; then
    left+=("$path")
  fi
done
[ ${#left[@]} -eq 0 ] && pass "purge: every file and folder of the package is gone, folders of other packages stay" ||
  fail "purge left behind: ${left[*]}"
if dpkg -s "$package" >"$work/status.log" 2>&1; then
  fail "dpkg -s still knows $package: $(grep '^Status' "$work/status.log")"
elif grep -q 'is not installed' "$work/status.log"; then
  pass "dpkg -s: not installed"
else
  fail "dpkg -s: $(head -2 "$work/status.log")"
fi
leftovers=$(compgen -G "/var/lib/dpkg/info/$package.*")
[ -z "$leftovers" ] && pass "no /var/lib/dpkg/info/$package.* is left" || fail "dpkg's records remain: $leftovers"

finish
