#!/usr/bin/env bash
# The Windows installer as an administrator uses it, silently, in a fresh Wine prefix of its own:
# a default install puts every file where it belongs and registers its uninstaller; the
# installed plug-ins load and render from their places; a second install over the first; a
# user's own files survive the uninstall, after which nothing of ours is left; a host's
# registered VST 2 folders are honoured, components left out are not installed, folders on the
# command line win and move an earlier install, and a CLAP folder a host made outlives the
# uninstall. Last, a user clicks through the installer's pages (installer-walk.exe, which saves
# each page into build/outputs/installer/), and its uninstall again leaves nothing behind.
#
#   tests/packaging/test-installer.sh MorlentDelay-VERSION-setup.exe
#
# The renders use the 64-bit command-line host of the win64 build (build/win64/host/), or the one
# MORLENT_WIN64_HOST names (MORLENT_WIN32_HOST likewise for the 32-bit DLL, which runs only where
# this machine's kernel runs i386 programs). The walk's driver is the win64 build's
# tests/packaging/installer-walk.exe, or the one MORLENT_INSTALLER_WALK names. Exit status 0 when
# every check passes. One prefix serves every step: each step starts from what the one before
# left, as on a user's machine.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
installer=${1:-}
[ -n "$installer" ] || { echo "usage: $0 SETUP.exe" >&2; exit 2; }
[ -f "$installer" ] || { echo "installer test: no installer $installer" >&2; exit 2; }
installer=$(cd "$(dirname "$installer")" && pwd)/$(basename "$installer")
host64=${MORLENT_WIN64_HOST:-$root/build/win64/host/morlent-host.exe}
host32=${MORLENT_WIN32_HOST:-$root/build/win32/host/morlent-host.exe}
walker=${MORLENT_INSTALLER_WALK:-$root/build/win64/tests/packaging/installer-walk.exe}

failures=0
fail() { echo "installer test: FAILED: $*" >&2; failures=$((failures + 1)); }
pass() { echo "installer test: ok: $*"; }

. "$root/scripts/version.sh"
version=$(effect_version)

. "$root/scripts/virtual-display.sh"
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
# No Mono or Gecko downloads, no crash debugger waiting for someone to attach, and no menu
# entries written into the desktop of whoever runs the test for the Start-menu link.
export WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d'
# Wine links the prefix's user folders to the home folder's: the test's own keeps them apart.
export HOME=$work/home
mkdir -p "$HOME"
cleanup() {
  [ -d "$WINEPREFIX" ] && wineserver -k >/dev/null 2>&1
  stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT

loader=wine
[ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64
# A program that hangs (a dialog in silent mode, say) fails its step instead of stopping the test.
win() { timeout -k 10 300 "$loader" "$@"; }
# Runs a program, then waits until every program of the prefix has ended: the uninstaller hands
# over to a copy of itself and returns at once.
win_and_wait() {
  local status
  win "$@" >"$work/program.log" 2>&1
  status=$?
  wineserver -w
  return $status
}

c=$WINEPREFIX/drive_c
unix_path() { # C:\A\B -> the prefix's file
  local path=${1#[Cc]:}
  echo "$c${path//\\//}"
}

vst3_folder='C:\Program Files\Common Files\VST3'
clap_folder='C:\Program Files\Common Files\CLAP'
vst2_64_folder='C:\Program Files\VSTPlugins'
vst2_32_folder='C:\Program Files (x86)\VSTPlugins'
program_folder='C:\Program Files\Morlent Sound Design\Morlent Delay'
manual_link='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Morlent Delay Manual.lnk'
bundle_module='MorlentDelay.vst3\Contents\x86_64-win\MorlentDelay.vst3'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\MorlentDelay'
our_key='HKLM\Software\Morlent Sound Design\Morlent Delay'
program_files=(Uninstall.exe morlent-host.exe "Morlent Delay Factory.fxb" LICENSE.txt
               THIRD-PARTY-NOTICES.txt 'manual\manual.html')

# The machine a DLL's PE header is built for: 8664 (x86-64) or 014c (i386).
pe_machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] && od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}
# The values of a key as `reg` shows them: NAME<TAB>DATA lines in $work/values.
read_key() { # key, registry view (64 or 32)
  win reg query "$1" "/reg:$2" 2>/dev/null | tr -d '\r' |
    sed -nE 's/^    (.+)    REG_[A-Z_]+    (.*)$/\1\t\2/p' >"$work/values"
  wineserver -w
  [ -s "$work/values" ]
}
value() { awk -F'\t' -v name="$1" '$1 == name { print $2 }' "$work/values"; }
key_exists() { # key, view
  win reg query "$1" "/reg:$2" >/dev/null 2>&1
  local status=$?
  wineserver -w
  return $status
}

# What the test compares before the first install and after the last uninstall: every file and
# folder of drive C, and every registry key and value, both taken with no program running.
snapshot() { # name
  (cd "$c" && find . -mindepth 1 -printf '%y %P\n' | LC_ALL=C sort) >"$work/$1.files"
  /usr/bin/python3 "$root/tests/packaging/wine-registry.py" "$WINEPREFIX" >"$work/$1.registry"
}
# Differences that are Wine's or NSIS's own, never a trace of what was installed:
# - the display adapter's DriverDateData: Wine's X11 driver registers the adapter again, with
#   the time, each time a program with windows starts;
# - the uninstaller's copy ~nsuN.tmp in the user's temporary folder, and the pending rename that
#   asks Windows to delete it at the next restart: NSIS runs the uninstaller from a copy so that
#   it can delete itself (a pending rename naming anything else is not ignored).
differences() { # before, after
  diff <(grep -vE '^system\.reg\|System\\\\CurrentControlSet\\\\Control\\\\Class\\\\\{4D36E968-E325-11CE-BFC1-08002BE10318\}\\\\[0-9]{4}\|"DriverDateData"=' "$work/$1.registry") \
       <(grep -vE '^system\.reg\|System\\\\CurrentControlSet\\\\Control\\\\Class\\\\\{4D36E968-E325-11CE-BFC1-08002BE10318\}\\\\[0-9]{4}\|"DriverDateData"=' "$work/$2.registry" |
         grep -vE '^system\.reg\|System\\\\CurrentControlSet\\\\Control\\\\Session Manager\|"PendingFileRenameOperations"=str\(7\):"(\\\\\?\?\\\\C:\\\\users\\\\[^\\]+\\\\Temp\\\\~nsu[0-9]+\.tmp(\\\\Un[_A-Za-z]*\.exe)?\\0\\0)+"$') |
    grep '^[<>]'
  diff "$work/$1.files" <(grep -vE '^[df] users/[^/]+/Temp/~nsu[0-9]+\.tmp(/Un[_A-Za-z]*\.exe)?$' "$work/$2.files") |
    grep '^[<>]'
}

start_virtual_display || { fail "no virtual display"; exit 1; }
seconds_at_start=$SECONDS

# --- the installer file itself, read natively ---
if /usr/bin/python3 "$root/tests/release/versioninfo.py" "$installer" --expect "FILEVERSION=$version.0" \
     "PRODUCTVERSION=$version.0" "FileVersion=$version" "ProductVersion=$version" \
     "ProductName=Morlent Delay" "CompanyName=Morlent Sound Design" >/dev/null; then
  pass "the installer's version record is $version"
else
  fail "the installer's version record is not $version"
fi

# --- a fresh prefix ---
if ! { "$loader" wineboot -i >"$work/wineboot.log" 2>&1; wineserver -w; } || [ ! -d "$c/windows" ]; then
  fail "cannot make a Wine prefix: $(tail -3 "$work/wineboot.log")"
  exit 1
fi

# A wrong command line stops the installer before it changes anything. Its run is also the
# prefix's first program with windows, whose one-time changes to Wine's own keys the snapshot
# then already holds.
win_and_wait "$installer" /S /COMPONENTS=vst3,speakers
status=$?
if [ $status -eq 2 ] && [ ! -e "$(unix_path "$vst3_folder")" ] && ! key_exists "$our_key" 64; then
  pass "an unknown component stops the installer with status 2 before it installs anything"
else
  fail "an unknown component: status $status (expected 2), or something was installed"
fi
snapshot before

# --- default silent install ---
check_default_files() { # what to say
  local missing=() file
  for file in "$vst3_folder\\$bundle_module" "$clap_folder\\MorlentDelay.clap" "$vst2_64_folder\\MorlentDelay.dll" \
              "$vst2_32_folder\\MorlentDelay.dll" "$manual_link"; do
    [ -s "$(unix_path "$file")" ] || missing+=("$file")
  done
  for file in "${program_files[@]}"; do
    [ -s "$(unix_path "$program_folder\\$file")" ] || missing+=("$program_folder\\$file")
  done
  local manual
  manual=$(unix_path "$program_folder\\manual\\manual.html")
  for file in $(grep -oE '<img [^>]*src="[^"]+"' "$manual" 2>/dev/null | sed -E 's/.*src="([^"]+)"/\1/'); do
    [ -s "$(dirname "$manual")/$file" ] || missing+=("the manual's picture $file")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    pass "$1: every file is where it belongs"
  else
    fail "$1: missing: ${missing[*]}"
  fi
  # The two DLLs share a name; each must be the one for its hosts' width.
  [ "$(pe_machine "$(unix_path "$vst2_64_folder\\MorlentDelay.dll")")" = 8664 ] &&
  [ "$(pe_machine "$(unix_path "$vst2_32_folder\\MorlentDelay.dll")")" = 014c ] &&
  [ "$(pe_machine "$(unix_path "$vst3_folder\\$bundle_module")")" = 8664 ] &&
  [ "$(pe_machine "$(unix_path "$clap_folder\\MorlentDelay.clap")")" = 8664 ] ||
    fail "$1: a plug-in is not built for its folder's width"
  /usr/bin/python3 - "$(unix_path "$manual_link")" <<'EOF' || fail "$1: the Start-menu link does not lead to the manual"
import sys
data = open(sys.argv[1], "rb").read()
sys.exit(0 if data[:4] == b"L\0\0\0" and ("manual.html".encode("utf-16-le") in data or b"manual.html" in data) else 1)
EOF
}

if win_and_wait "$installer" /S; then
  pass "default silent install ends with status 0"
else
  fail "default silent install: status $? $(tail -3 "$work/program.log")"
fi
check_default_files "default install"

# The uninstall entry, its size against the files the test finds installed.
if read_key "$uninstall_key" 64; then
  uninstaller="$program_folder\\Uninstall.exe"
  installed_bytes=$(cd "$c" && find "$(unix_path "$vst3_folder")/MorlentDelay.vst3" "$(unix_path "$clap_folder")/MorlentDelay.clap" \
    "$(unix_path "$vst2_64_folder")/MorlentDelay.dll" "$(unix_path "$vst2_32_folder")/MorlentDelay.dll" \
    "$(unix_path "$program_folder")" -type f -printf '%s\n' | awk '{ sum += $1 } END { print sum }')
  size_kb=$(( $(value EstimatedSize) ))
  expected_kb=$(( (installed_bytes + 1023) / 1024 ))
  problems=()
  [ "$(value DisplayName)" = "Morlent Delay" ] || problems+=("DisplayName '$(value DisplayName)'")
  [ "$(value DisplayVersion)" = "$version" ] || problems+=("DisplayVersion '$(value DisplayVersion)'")
  [ "$(value Publisher)" = "Morlent Sound Design" ] || problems+=("Publisher '$(value Publisher)'")
  [ "$(value UninstallString)" = "\"$uninstaller\"" ] || problems+=("UninstallString '$(value UninstallString)'")
  [ "$(value QuietUninstallString)" = "\"$uninstaller\" /S" ] || problems+=("QuietUninstallString '$(value QuietUninstallString)'")
  [ "$(value InstallLocation)" = "$program_folder" ] || problems+=("InstallLocation '$(value InstallLocation)'")
  [[ $(value DisplayIcon) == "$uninstaller"* ]] || problems+=("DisplayIcon '$(value DisplayIcon)'")
  [ "$(value NoModify)" = 0x1 ] && [ "$(value NoRepair)" = 0x1 ] || problems+=("NoModify/NoRepair")
  # The sections' sizes are counted in whole kilobytes each: a few kilobytes either way.
  [ $size_kb -gt 0 ] && [ $((size_kb - expected_kb)) -le 8 ] && [ $((expected_kb - size_kb)) -le 8 ] ||
    problems+=("EstimatedSize $size_kb KB for $expected_kb KB installed")
  if [ ${#problems[@]} -eq 0 ]; then
    pass "the uninstall entry names Morlent Delay $version by Morlent Sound Design, $size_kb KB, and its uninstaller"
  else
    fail "the uninstall entry: ${problems[*]}"
  fi
else
  fail "no uninstall entry $uninstall_key in the 64-bit view"
fi

# --- the installed plug-ins through the command-line host, in this prefix ---
/usr/bin/python3 "$root/tests/release/wavcheck.py" make "$work/in.wav" || fail "cannot write the test signal"
render_settings=(--param "3=1" --param "6=0.7" --param "7=1")
# The same settings for a CLAP module, whose parameters are in display units: the feedback gain
# 0.49 is the DLL's 0.7 squared.
clap_render_settings=(--param "3=1" --param "6=0.49" --param "7=1")
plays() { # label, host, loader, module as Windows sees it, settings (default render_settings)...
  local label=$1 host=$2 loader=$3 module=$4 info
  shift 4
  local settings=("${render_settings[@]}")
  [ $# -eq 0 ] || settings=("$@")
  if ! info=$(timeout -k 10 120 "$loader" "$host" info "$module" 2>&1) || ! grep -q "Morlent Delay" <<<"$info"; then
    fail "$label: the host cannot load $module: $(tail -3 <<<"$info")"
    return 1
  fi
  if timeout -k 10 120 "$loader" "$host" render "$module" "Z:$work/in.wav" "Z:$work/$label.wav" "${settings[@]}" \
       >"$work/$label.log" 2>&1 &&
     /usr/bin/python3 "$root/tests/release/wavcheck.py" check "$work/$label.wav" 1 >/dev/null; then
    pass "$label: loads where it was installed and renders audible, finite echoes"
  else
    fail "$label: did not render from $module: $(tail -3 "$work/$label.log")"
    return 1
  fi
}
if [ -f "$host64" ]; then
  plays vst2-64 "$host64" "$loader" "$vst2_64_folder\\MorlentDelay.dll" &&
  plays vst3 "$host64" "$loader" "$vst3_folder\\MorlentDelay.vst3" &&
  if cmp -s "$work/vst2-64.wav" "$work/vst3.wav"; then
    pass "the installed VST 3 bundle renders the installed 64-bit DLL's bits"
  else
    fail "the installed VST 3 bundle and 64-bit DLL render different bits"
  fi
  if [ -s "$work/vst2-64.wav" ] &&
     plays clap "$host64" "$loader" "$clap_folder\\MorlentDelay.clap" "${clap_render_settings[@]}"; then
    if cmp -s "$work/vst2-64.wav" "$work/clap.wav"; then
      pass "the installed CLAP module renders the installed 64-bit DLL's bits"
    else
      fail "the installed CLAP module and 64-bit DLL render different bits"
    fi
  fi
else
  fail "no 64-bit command-line host $host64 (build the win64 preset, or set MORLENT_WIN64_HOST)"
fi
# The installed host with the installed factory bank, as the manual's examples use them.
if timeout -k 10 120 "$loader" "$(unix_path "$program_folder\\morlent-host.exe")" preset load \
     "$vst2_64_folder\\MorlentDelay.dll" "$program_folder\\Morlent Delay Factory.fxb" >"$work/bank.log" 2>&1 &&
   grep -q '^program 0: ' <(tr -d '\r' <"$work/bank.log"); then
  pass "the installed host loads the installed factory bank into the installed 64-bit DLL"
else
  fail "the installed host and factory bank: $(tail -3 "$work/bank.log")"
fi
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  if [ -f "$host32" ]; then
    plays vst2-32 "$host32" wine "$vst2_32_folder\\MorlentDelay.dll"
  else
    fail "no 32-bit command-line host $host32 (build the win32 preset, or set MORLENT_WIN32_HOST)"
  fi
else
  echo "installer test: skipped: the 32-bit DLL's render (this machine's kernel cannot run 32-bit programs)"
fi
wineserver -w

# --- a second install over the first ---
listing_of_ours() {
  (cd "$c" && find "Program Files/Common Files/VST3" "Program Files/Common Files/CLAP" "Program Files/VSTPlugins" \
     "Program Files (x86)/VSTPlugins" "Program Files/Morlent Sound Design" "ProgramData/Microsoft/Windows/Start Menu/Programs" \
     -printf '%y %s %P\n' 2>/dev/null | LC_ALL=C sort)
}
listing_of_ours >"$work/first.files"
if win_and_wait "$installer" /S; then
  entries=$(/usr/bin/python3 "$root/tests/packaging/wine-registry.py" "$WINEPREFIX" |
    grep -cE '^system\.reg\|Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\[^|]+\|"DisplayName"="Morlent Delay"$')
  if [ "$entries" = 1 ] && cmp -s "$work/first.files" <(listing_of_ours); then
    pass "a second install over the first leaves the same files and one uninstall entry"
  else
    fail "a second install: $entries uninstall entries; files changed: $(diff "$work/first.files" <(listing_of_ours) | grep '^[<>]' | head -5)"
  fi
else
  fail "a second install over the first: status $? $(tail -3 "$work/program.log")"
fi

# --- a user's own files, and the uninstall ---
# The uninstall string as Windows' apps list runs it, read from the uninstall entry.
uninstall_silently() {
  read_key "$uninstall_key" 64 || { fail "no uninstall entry to uninstall with"; return 1; }
  local command exe arguments
  command=$(value QuietUninstallString)
  exe=$(sed -E 's/^"([^"]+)".*/\1/' <<<"$command")
  arguments=$(sed -E 's/^"[^"]+" ?//' <<<"$command")
  # shellcheck disable=SC2086 # the arguments are words of a Windows command line
  win_and_wait "$exe" $arguments || { fail "the silent uninstall: status $? $(tail -3 "$work/program.log")"; return 1; }
}
user_dll="$vst2_64_folder\\Someone Else's Reverb.dll"
user_clap="$clap_folder\\Someone Else's Synth.clap"
user_notes="$program_folder\\my settings.txt"
head -c 4096 /dev/urandom >"$(unix_path "$user_dll")"
head -c 4096 /dev/urandom >"$(unix_path "$user_clap")"
echo "notes" >"$(unix_path "$user_notes")"
if uninstall_silently; then
  snapshot with-user-files
  expected=$(printf '%s\n' "d Program Files/Morlent Sound Design" "d Program Files/Morlent Sound Design/Morlent Delay" \
    "f Program Files/Morlent Sound Design/Morlent Delay/my settings.txt" "d Program Files/VSTPlugins" \
    "f Program Files/VSTPlugins/Someone Else's Reverb.dll" "d Program Files/Common Files/CLAP" \
    "f Program Files/Common Files/CLAP/Someone Else's Synth.clap" | LC_ALL=C sort | sed 's/^/> /')
  left=$(differences before with-user-files)
  if [ "$left" = "$expected" ]; then
    pass "the silent uninstall removes everything of ours and keeps the user's files and their folders"
  else
    fail "after the uninstall with the user's files, unexpected differences:"$'\n'"$(diff <(echo "$expected") <(echo "$left") | grep '^[<>]' | sed 's/^</missing:/; s/^>/extra:/')"
  fi
fi
rm -f "$(unix_path "$user_dll")" "$(unix_path "$user_clap")" "$(unix_path "$user_notes")"
rmdir "$(unix_path "$vst2_64_folder")" "$(unix_path "$clap_folder")" "$(unix_path "$program_folder")" \
  "$(unix_path "${program_folder%\\*}")" 2>/dev/null

# --- a host's registered VST 2 folders, and components left out ---
# A host made its 64-bit folder and the common CLAP folder; the 32-bit one it named does not exist
# yet.
registered64='C:\Hosts\VST Plugins 64'
registered32='C:\Hosts\VST32'
mkdir -p "$(unix_path "$registered64")" "$(unix_path "$clap_folder")"
win reg add 'HKLM\SOFTWARE\VST' /v VSTPluginsPath /d "$registered64" /reg:64 /f >/dev/null 2>&1 &&
  win reg add 'HKLM\SOFTWARE\VST' /v VSTPluginsPath /d "$registered32" /reg:32 /f >/dev/null 2>&1 ||
  fail "cannot register the hosts' VST 2 folders"
wineserver -w
if win_and_wait "$installer" /S /COMPONENTS=vst2-64,vst2-32; then
  problems=()
  [ "$(pe_machine "$(unix_path "$registered64\\MorlentDelay.dll")")" = 8664 ] || problems+=("no 64-bit DLL in $registered64")
  [ "$(pe_machine "$(unix_path "$registered32\\MorlentDelay.dll")")" = 014c ] || problems+=("no 32-bit DLL in $registered32")
  [ -e "$(unix_path "$vst2_64_folder")" ] && problems+=("$vst2_64_folder exists")
  [ -e "$(unix_path "$vst2_32_folder")" ] && problems+=("$vst2_32_folder exists")
  [ ${#problems[@]} -eq 0 ] && pass "the DLLs go into the folders hosts registered in the 64-bit and the 32-bit view" ||
    fail "registered folders: ${problems[*]}"
  left_out=()
  [ -e "$(unix_path "$vst3_folder")" ] && left_out+=("$vst3_folder")
  clap_folder_holds=$(ls -A "$(unix_path "$clap_folder")" 2>/dev/null | tr '\n' ' ')
  [ -z "$clap_folder_holds" ] || left_out+=("$clap_folder holds: $clap_folder_holds")
  [ -e "$(unix_path "$manual_link")" ] && left_out+=("$manual_link")
  program_folder_holds=$(ls "$(unix_path "$program_folder")" 2>/dev/null | tr '\n' ' ')
  [ "$program_folder_holds" = "Uninstall.exe " ] || left_out+=("the program folder holds: $program_folder_holds")
  [ ${#left_out[@]} -eq 0 ] && pass "the VST 3 bundle, the CLAP module and the documents, left out, are not installed" ||
    fail "components left out were installed: ${left_out[*]}"
else
  fail "install into the registered folders: status $? $(tail -3 "$work/program.log")"
fi

# --- folders on the command line win, and move the earlier install ---
custom64='C:\Studio\VST 64'
custom32='C:\Studio\VST 32'
custom3='C:\Studio\VST3'
custom_program='C:\Studio\Morlent Delay'
# Words as an administrator types them: a folder with a space needs no quotes.
# shellcheck disable=SC2086
if win_and_wait "$installer" /S /COMPONENTS=vst3,clap,vst2-64,vst2-32 /VST2DIR64=$custom64 /VST2DIR32=$custom32 \
     /VST3DIR=$custom3 /D=$custom_program; then
  problems=()
  [ "$(pe_machine "$(unix_path "$custom64\\MorlentDelay.dll")")" = 8664 ] || problems+=("no 64-bit DLL in $custom64")
  [ "$(pe_machine "$(unix_path "$custom32\\MorlentDelay.dll")")" = 014c ] || problems+=("no 32-bit DLL in $custom32")
  [ -s "$(unix_path "$custom3\\$bundle_module")" ] || problems+=("no VST 3 bundle in $custom3")
  # The CLAP module has no folder of its own choosing: it joins the common one the host made.
  [ "$(pe_machine "$(unix_path "$clap_folder\\MorlentDelay.clap")")" = 8664 ] || problems+=("no CLAP module in $clap_folder")
  [ -s "$(unix_path "$custom_program\\Uninstall.exe")" ] || problems+=("no uninstaller in $custom_program")
  # The host's own folder stays, without our DLL; the one the installer made goes.
  [ -d "$(unix_path "$registered64")" ] && [ -z "$(ls -A "$(unix_path "$registered64")")" ] ||
    problems+=("$registered64 is gone or not empty")
  [ -e "$(unix_path "$registered32")" ] && problems+=("$registered32 was left")
  [ -e "$(unix_path "${program_folder%\\*}")" ] && problems+=("the earlier program folder was left")
  [ -e "$(unix_path "$vst3_folder")" ] && problems+=("$vst3_folder exists")
  read_key "$uninstall_key" 64 && [ "$(value InstallLocation)" = "$custom_program" ] ||
    problems+=("InstallLocation is '$(value InstallLocation)'")
  [ ${#problems[@]} -eq 0 ] && pass "folders on the command line win over the registered ones, and the earlier install moves there" ||
    fail "command-line folders: ${problems[*]}"
else
  fail "install into command-line folders: status $? $(tail -3 "$work/program.log")"
fi

# --- the last uninstall leaves the prefix as it was ---
if uninstall_silently; then
  # What the test itself added: the hosts' keys and the folder a host made.
  win reg delete 'HKLM\SOFTWARE\VST' /reg:64 /f >/dev/null 2>&1
  win reg delete 'HKLM\SOFTWARE\VST' /reg:32 /f >/dev/null 2>&1
  wineserver -w
  # The installer did not make the CLAP folder, so it stays, without our module.
  if [ -d "$(unix_path "$clap_folder")" ] && [ -z "$(ls -A "$(unix_path "$clap_folder")")" ]; then
    pass "the uninstall keeps the CLAP folder a host made, emptied of our module"
  else
    fail "the CLAP folder a host made is gone or not empty after the uninstall"
  fi
  rmdir "$(unix_path "$registered64")" "$(unix_path 'C:\Hosts')" "$(unix_path "$clap_folder")" 2>/dev/null
  snapshot after
  left=$(differences before after)
  if [ -z "$left" ]; then
    pass "after the silent uninstall no file, folder or registry key of ours remains"
    prefix_clean=1
  else
    fail "left after the uninstall:"$'\n'"$left"
  fi
fi

# --- a user clicks through the pages ---
# Welcome, I Agree, the 32-bit VST 2 plug-in unticked, the program folder as proposed, a 64-bit
# VST 2 folder of the user's own with a space in it, Install, Finish. It is a first install, so
# it needs the clean prefix that the last uninstall left.
walk_vst2_64_folder='C:\Studio Plugins\VST64'
shots=$work/walk-shots
pages=(1-welcome 2-licence 3-components 4-program-folder 5-vst2-64-folder 6-finish)
if [ -z "${prefix_clean:-}" ]; then
  fail "the walk through the pages: not run, the prefix is not clean"
elif [ ! -f "$walker" ]; then
  fail "no installer-walk.exe $walker (build the win64 target installer-walk, or set MORLENT_INSTALLER_WALK)"
else
  mkdir -p "$shots"
  timeout -k 10 120 "$loader" "$walker" "$installer" "Z:$shots" "$walk_vst2_64_folder" >"$work/walk.log" 2>&1
  status=$?
  wineserver -w
  tr -d '\r' <"$work/walk.log" >"$work/walk.txt"
  # Where the main job puts the editors' pictures; a failed walk's too, with the page it stopped on.
  mkdir -p "$root/build/outputs/installer"
  rm -f "$root/build/outputs/installer/"*.png
  cp "$shots/"*.png "$root/build/outputs/installer/" 2>/dev/null
  if [ $status -eq 0 ]; then
    pass "a walk through the pages with the mouse ends with the installer's status 0"
  else
    fail "the walk through the pages: status $status: $(grep -E 'FAILED|status' "$work/walk.txt" | tail -2)"
  fi

  problems=()
  [ "$(pe_machine "$(unix_path "$vst3_folder\\$bundle_module")")" = 8664 ] || problems+=("no VST 3 bundle in $vst3_folder")
  [ "$(pe_machine "$(unix_path "$clap_folder\\MorlentDelay.clap")")" = 8664 ] || problems+=("no CLAP module in $clap_folder")
  [ "$(pe_machine "$(unix_path "$walk_vst2_64_folder\\MorlentDelay.dll")")" = 8664 ] ||
    problems+=("no 64-bit DLL in $walk_vst2_64_folder")
  others=$(cd "$c" && find . -iname MorlentDelay.dll ! -path './Studio Plugins/VST64/MorlentDelay.dll' -printf '%P ')
  [ -z "$others" ] || problems+=("a VST 2 DLL elsewhere: $others")
  for file in "${program_files[@]}"; do
    [ -s "$(unix_path "$program_folder\\$file")" ] || problems+=("no $program_folder\\$file")
  done
  [ -s "$(unix_path "$manual_link")" ] || problems+=("no $manual_link")
  [ ${#problems[@]} -eq 0 ] &&
    pass "the walk's choices hold: the VST 3 bundle, the CLAP module, the 64-bit DLL in $walk_vst2_64_folder and no other, the documents and the Start-menu link" ||
    fail "after the walk: ${problems[*]}"
  if read_key "$uninstall_key" 64 && [ "$(value DisplayName)" = "Morlent Delay" ] &&
     [ "$(value InstallLocation)" = "$program_folder" ]; then
    pass "the walk's install registers its uninstaller"
  else
    fail "after the walk: no uninstall entry for Morlent Delay in $program_folder"
  fi

  # Each page whole (the size of the window the walk measured) and not blank, and the welcome and
  # finish pages' texts dark against the empty white below them: counts, never pixels against a
  # stored picture, so Wine's font rendering may vary.
  sizes=()
  for page in "${pages[@]}"; do
    sizes+=("$page=$(sed -nE "s/^installer-walk: screenshot $page\.png ([0-9]+x[0-9]+)$/\1/p" "$work/walk.txt")")
  done
  if verdict=$(/usr/bin/python3 - "$shots" "${sizes[@]}" <<'EOF'
import collections, struct, sys, zlib

def read_png(path):
    """Width, height and rows of (r, g, b): 8-bit RGB or RGBA, not interlaced, as GDI+ writes."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    at, header, packed = 8, b"", b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        header = data[at + 8:at + 8 + length] if kind == b"IHDR" else header
        packed += data[at + 8:at + 8 + length] if kind == b"IDAT" else b""
        at += 12 + length
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", header)
    if depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError(f"depth {depth}, colour type {colour}, interlace {interlace}")
    step = 3 if colour == 2 else 4
    stride = width * step
    raw = zlib.decompress(packed)
    rows, above = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - step] if i >= step else 0
            up, corner = above[i], (above[i - step] if i >= step else 0)
            guess = left + up - corner
            predictor = (0, left, up, (left + up) // 2,
                         min((abs(guess - left), 0, left), (abs(guess - up), 1, up),
                             (abs(guess - corner), 2, corner))[2])[kind]
            line[i] = (line[i] + predictor) & 255
        rows.append([tuple(line[x:x + 3]) for x in range(0, stride, step)])
        above = line
    return width, height, rows

def dark_pixels(rows, width, height, top, bottom):
    """Pixels darker than mid-grey right of the pages' picture, between two heights (fractions)."""
    return sum(1 for y in range(int(top * height), int(bottom * height))
               for x in range(int(0.35 * width), width) if sum(rows[y][x]) < 3 * 128)

folder, problems, sizes = sys.argv[1], [], set()
for argument in sys.argv[2:]:
    page, measured = argument.split("=")
    try:
        width, height, rows = read_png(f"{folder}/{page}.png")
    except (OSError, ValueError, IndexError, struct.error, zlib.error) as error:
        problems.append(f"{page}.png: {error}")
        continue
    sizes.add(f"{width}x{height}")
    if f"{width}x{height}" != measured:
        problems.append(f"{page}.png is {width}x{height}, the installer's window {measured or 'not measured'}")
    counts = collections.Counter(pixel for row in rows for pixel in row)
    commonest = counts.most_common(1)[0][1] / (width * height)
    if len(counts) < 64 or commonest > 0.9:
        problems.append(f"{page}.png looks blank: {len(counts)} colours, one on {commonest:.0%} of it")
    if page in ("1-welcome", "6-finish"):
        text, empty = dark_pixels(rows, width, height, 0.0, 0.55), dark_pixels(rows, width, height, 0.55, 0.85)
        if text < 500 or empty * 20 > text:
            problems.append(f"{page}.png shows no text: {text} dark pixels where it stands, {empty} below")
if len(sizes) > 1:
    problems.append(f"the pages differ in size: {' '.join(sorted(sizes))}")
print("; ".join(problems) if problems else " ".join(sizes))
sys.exit(1 if problems else 0)
EOF
  ); then
    pass "each page's screenshot is the whole ${verdict} window and not blank, and the welcome and finish pages show text"
  else
    fail "the walk's screenshots: $verdict"
  fi

  if uninstall_silently; then
    snapshot after-walk
    left=$(differences before after-walk)
    if [ -z "$left" ]; then
      pass "after the walk's install the silent uninstall leaves no file, folder or registry key of ours"
    else
      fail "left after the walk's install and uninstall:"$'\n'"$left"
    fi
  fi
fi

echo "installer test: $((SECONDS - seconds_at_start)) s in Wine"
if [ $failures -gt 0 ]; then
  echo "installer test: $failures checks failed" >&2
  exit 1
fi
echo "installer test: passed ($installer)"
