#!/usr/bin/env bash
# Sets up the machine, builds every build and runs every build's tests: natively (plain and
# under the address/undefined-behaviour and thread sanitizers), and under Wine for the two
# Windows builds, all of them inside one virtual X display.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh || exit 1
bash scripts/build.sh --no-setup --no-demo || exit 1
for preset in linux-asan linux-tsan linux-fuzz; do
  echo "=== build: $preset"
  { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$(nproc)"; } || exit 1
done

. scripts/virtual-display.sh
trap stop_wine_and_virtual_display EXIT
start_virtual_display || exit 1

# 32-bit Wine needs a kernel that runs i386 programs; some virtual machines' kernels do not.
# There the 32-bit build is still built and checked without Wine, and its Wine programs are
# reported as not run.
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  can_run_win32=1
else
  can_run_win32=0
fi

status=0
passed=0
failed=0
skipped=0
for preset in linux linux-asan linux-tsan linux-fuzz win64 win32; do
  echo "=== tests: $preset"
  log=$(mktemp)
  only=()
  if [ "$preset" = win32 ] && [ $can_run_win32 -eq 0 ]; then
    not_run=$(ctest --preset win32 -N -L wine | sed -nE 's/^Total Tests: ([0-9]+)/\1/p')
    skipped=$((skipped + ${not_run:-0}))
    echo "this machine's kernel cannot run 32-bit programs: ${not_run:-0} test programs of the 32-bit build not run under Wine"
    only=(-LE wine)
  fi
  ctest --preset "$preset" "${only[@]}" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$summary" ]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  else
    status=1
  fi
  rm -f "$log"
done
# A whole-program check: counted as one test that passes when the command succeeds.
check() {
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    status=1
  fi
}
settings=(--param 6=0.8 --param 7=1 --param 9=1 --param 10=1 --param 3=1 --tempo 97 --block 300 --tail 2)

# The Linux module and the 64-bit DLL are the same code: the same settings render the same bits.
echo "=== test: Linux and Windows renders are identical"
COMPARE_DIR=$root/build/outputs/compare check bash host/compare-renders.sh build/linux/host/morlent-host \
  build/linux/plugin/MorlentDelay.so build/win64/host/morlent-host.exe build/win64/plugin/MorlentDelay.dll \
  "${settings[@]}"

# The VST 3 bundles of both systems are the same code too: the same bits.
echo "=== test: Linux and Windows VST 3 renders are identical"
COMPARE_DIR=$root/build/outputs/compare-vst3 check bash host/compare-renders.sh build/linux/host/morlent-host \
  build/linux/vst3/MorlentDelay.vst3/Contents/x86_64-linux/MorlentDelay.so build/win64/host/morlent-host.exe \
  build/win64/vst3/MorlentDelay.vst3/Contents/x86_64-win/MorlentDelay.vst3 "${settings[@]}"

# The CLAP modules of both systems are the same code too: the same bits.
echo "=== test: Linux and Windows CLAP renders are identical"
COMPARE_DIR=$root/build/outputs/compare-clap check bash host/compare-renders.sh build/linux/host/morlent-host \
  build/linux/clap/MorlentDelay.clap build/win64/host/morlent-host.exe build/win64/clap/MorlentDelay.clap \
  "${settings[@]}"

# The Linux editor's face is the Windows editor's: the X11 editor's tests and the Windows editor's
# tests save the same states, which may differ only inside the status line's text.
echo "=== test: the Linux editor shows the Windows editor's pixels"
check /usr/bin/python3 tests/editor/compare-faces.py build/win64/screenshots/editor-default.png \
  build/linux/screenshots/x11-editor-default.png
check /usr/bin/python3 tests/editor/compare-faces.py build/win64/screenshots/editor-hover.png \
  build/linux/screenshots/x11-editor-hover.png

# Presets between the two Windows DLLs, each in a Wine of its own width.
echo "=== test: presets between the 32-bit and the 64-bit DLL"
if [ $can_run_win32 -eq 1 ]; then
  EXCHANGE_DIR=$root/build/outputs/exchange check bash host/exchange-chunks.sh build/win32/host/morlent-host.exe \
    build/win32/plugin/MorlentDelay.dll build/win64/host/morlent-host.exe build/win64/plugin/MorlentDelay.dll
else
  echo "this machine's kernel cannot run 32-bit programs: not run"
  skipped=$((skipped + 1))
fi

# The release as a user gets it: made from the builds above, unpacked into an empty folder and
# played from there. Its 32-bit render needs a kernel that runs i386 programs.
echo "=== test: the release, unpacked and played"
. scripts/version.sh
version=$(effect_version)
check bash -c 'bash scripts/release.sh --no-build && bash tests/release/test-release.sh "$1"' release \
  "build/release/MorlentDelay-$version.zip"
[ $can_run_win32 -eq 1 ] || skipped=$((skipped + 1))

# The installer and the package from that release, each in a system of its own kind: the
# installer in a fresh Wine prefix, the package in this machine's own dpkg. The package goes in
# after every other test has ended, as its files land where installed plug-ins are searched for.
echo "=== test: the Windows installer, installed, played, reinstalled and removed"
check bash tests/packaging/test-installer.sh "build/release/MorlentDelay-$version/MorlentDelay-$version-setup.exe"
[ $can_run_win32 -eq 1 ] || skipped=$((skipped + 1))
echo "=== test: the Debian package, checked, installed, played and purged"
check bash tests/packaging/test-deb.sh "build/release/MorlentDelay-$version/morlent-delay_${version}_amd64.deb"

echo
if [ $skipped -gt 0 ]; then
  echo "total: $passed passed, $failed failed, $skipped skipped"
else
  echo "total: $passed passed, $failed failed"
fi
exit $status
