#!/usr/bin/env bash
# The main job: sets up the machine, builds the native Linux build and both Windows builds, then
# shows each built plug-in and renders the demo phrase through it.
#   --no-setup   skip the package check
#   --no-demo    build only (the test run uses this)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
setup=1 demo=1
for arg in "$@"; do
  case $arg in
    --no-setup) setup=0 ;;
    --no-demo) demo=0 ;;
    *) echo "usage: $0 [--no-setup] [--no-demo]" >&2; exit 2 ;;
  esac
done
[ $setup -eq 0 ] || bash scripts/setup.sh
for preset in linux win64 win32; do
  echo "=== build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done
[ $demo -eq 1 ] || exit 0

out=$root/build/outputs
mkdir -p "$out"
linux_host=build/linux/host/morlent-host
linux_module=build/linux/plugin/MorlentDelay.so
win_host=build/win64/host/morlent-host.exe
win_module=build/win64/plugin/MorlentDelay.dll
first_module=build/linux/first-generation-plugin/MorlentDelay.so
win64_first_module=build/win64/first-generation-plugin/MorlentDelay.dll
win32_host=build/win32/host/morlent-host.exe
win32_module=build/win32/plugin/MorlentDelay.dll
linux_vst3=build/linux/vst3/MorlentDelay.vst3
win_vst3=build/win64/vst3/MorlentDelay.vst3
linux_clap=build/linux/clap/MorlentDelay.clap
win_clap=build/win64/clap/MorlentDelay.clap
lv2_bundle=build/linux/lv2/MorlentDelay.lv2
# 32-bit Wine needs a kernel that runs i386 programs.
can_run_win32=0
/lib/ld-linux.so.2 --version >/dev/null 2>&1 && can_run_win32=1

# One virtual display for every Windows program of this job.
if [ -z "${DISPLAY:-}" ]; then
  . scripts/virtual-display.sh
  trap stop_wine_and_virtual_display EXIT
  start_virtual_display
fi
wine_host() { bash cmake/wine-run.sh "$win_host" "$@"; }

echo "=== info: Linux module ($linux_module)"
"$linux_host" info "$linux_module"
echo "=== info: 64-bit Windows module ($win_module, under Wine)"
wine_host info "Z:$root/$win_module"
echo "=== info: Linux VST 3 bundle ($linux_vst3)"
"$linux_host" info "$linux_vst3"
echo "=== info: 64-bit Windows VST 3 bundle ($win_vst3, under Wine)"
wine_host info "Z:$root/$win_vst3"
echo "=== info: Linux CLAP module ($linux_clap)"
"$linux_host" info "$linux_clap"
echo "=== info: 64-bit Windows CLAP module ($win_clap, under Wine)"
wine_host info "Z:$root/$win_clap"
echo "=== info: the first-generation module, built natively ($first_module)"
"$linux_host" info "$first_module"
if [ $can_run_win32 -eq 1 ]; then
  echo "=== info: 32-bit Windows module ($win32_module, under Wine)"
  bash cmake/wine-run.sh "$win32_host" info "Z:$root/$win32_module"
fi

echo "=== render: demo phrase"
"$linux_host" render "$linux_module" "$out/demo-linux.wav" --param 6=0.6 --param 10=1 --tail 2
wine_host render "Z:$root/$win_module" "Z:$out/demo-win64.wav" --param 6=0.6 --param 10=1 --tail 2
if cmp -s "$out/demo-linux.wav" "$out/demo-win64.wav"; then
  echo "the Linux and Windows renders are identical"
else
  echo "the Linux and Windows renders differ" >&2
  exit 1
fi
"$linux_host" render "$linux_vst3" "$out/demo-linux-vst3.wav" --param 6=0.6 --param 10=1 --tail 2
wine_host render "Z:$root/$win_vst3" "Z:$out/demo-win64-vst3.wav" --param 6=0.6 --param 10=1 --tail 2
for render in demo-linux-vst3.wav demo-win64-vst3.wav; do
  if ! cmp -s "$out/demo-linux.wav" "$out/$render"; then
    echo "the VST 3 render $render differs from the VST 2 module's" >&2
    exit 1
  fi
done
echo "the VST 3 bundles render the VST 2 module's bits"
# A CLAP plug-in takes its values in display units: the feedback gain 0.36 is the normalised 0.6 squared.
"$linux_host" render "$linux_clap" "$out/demo-linux-clap.wav" --param 6=0.36 --param 10=1 --tail 2
wine_host render "Z:$root/$win_clap" "Z:$out/demo-win64-clap.wav" --param 6=0.36 --param 10=1 --tail 2
for render in demo-linux-clap.wav demo-win64-clap.wav; do
  if ! cmp -s "$out/demo-linux.wav" "$out/$render"; then
    echo "the CLAP render $render differs from the VST 2 module's" >&2
    exit 1
  fi
done
echo "the CLAP modules render the VST 2 module's bits"
"$linux_host" render "$first_module" "$out/demo-first-generation.wav" --param 6=0.6 --param 10=1 --tail 2
demos="$out/demo-linux.wav, $out/demo-win64.wav, $out/demo-linux-vst3.wav, $out/demo-win64-vst3.wav,
                         $out/demo-linux-clap.wav, $out/demo-win64-clap.wav, $out/demo-first-generation.wav"
if [ $can_run_win32 -eq 1 ]; then
  bash cmake/wine-run.sh "$win32_host" render "Z:$root/$win32_module" "Z:$out/demo-win32.wav" --param 6=0.6 \
    --param 10=1 --tail 2
  demos="$demos, $out/demo-win32.wav"
else
  echo "(this machine's kernel cannot run 32-bit programs: the 32-bit DLL is built, not run)"
fi

# Settings unlike the defaults on every control, for the screenshots that show them.
settings=(--param 1=0.6 --param 2=0.35 --param 3=1 --param 4=0.7 --param 5=0.95 --param 6=0.55 --param 7=1
  --param 8=0.8 --param 9=1 --param 10=1 --param 11=0.3)

echo "=== screenshot: the editor as a host opens it"
wine_host screenshot "Z:$root/$win_module" "Z:$out/editor.png"
wine_host screenshot "Z:$root/$win_module" "Z:$out/editor-settings.png" "${settings[@]}"

echo "=== screenshot: the VST 3 bundle's editor through its plug-in view"
wine_host screenshot "Z:$root/$win_vst3" "Z:$out/editor-vst3.png"

echo "=== screenshot: the CLAP module's editor through its gui extension"
wine_host screenshot "Z:$root/$win_clap" "Z:$out/editor-clap.png"

echo "=== screenshot: the Linux editor through the VST 2 module, the VST 3 bundle, the CLAP module and the LV2 bundle"
"$linux_host" screenshot "$linux_module" "$out/editor-linux.png"
"$linux_host" screenshot "$linux_module" "$out/editor-linux-settings.png" "${settings[@]}"
"$linux_host" screenshot "$linux_vst3" "$out/editor-linux-vst3.png" "${settings[@]}"
# The CLAP bridge numbers its values in the parameters' own ranges: the default face.
"$linux_host" screenshot "$linux_clap" "$out/editor-linux-clap.png"
# The LV2 bundle's own editor binary, given the control ports' values for the same settings.
"$linux_host" screenshot "$lv2_bundle" "$out/editor-linux-lv2.png" "${settings[@]}"
echo "=== compare: the Linux editor against the Windows editor at the same settings"
/usr/bin/python3 tests/editor/compare-faces.py "$out/editor-settings.png" "$out/editor-linux-settings.png" \
  "$out/editor-linux-vst3.png" "$out/editor-linux-lv2.png"
/usr/bin/python3 tests/editor/compare-faces.py "$out/editor.png" "$out/editor-linux.png" "$out/editor-linux-clap.png"

echo "=== screenshot: the first generation's editor"
if [ $can_run_win32 -eq 1 ]; then
  first_shots="the 32-bit DLL"
  bash cmake/wine-run.sh "$win32_host" screenshot "Z:$root/$win32_module" "Z:$out/editor32.png"
  bash cmake/wine-run.sh "$win32_host" screenshot "Z:$root/$win32_module" "Z:$out/editor32-settings.png" "${settings[@]}"
else
  # The same editor code, built into the 64-bit build's copy of the first-generation module.
  first_shots="the first-generation module of the 64-bit build (this machine cannot run the 32-bit DLL)"
  wine_host screenshot "Z:$root/$win64_first_module" "Z:$out/editor32.png"
  wine_host screenshot "Z:$root/$win64_first_module" "Z:$out/editor32-settings.png" "${settings[@]}"
fi

echo
echo "outputs:"
echo "  Linux module:          $root/$linux_module"
echo "  VST 3 bundles:         $root/$linux_vst3 (Linux), $root/$win_vst3 (64-bit Windows)"
echo "  CLAP modules:          $root/$linux_clap (Linux), $root/$win_clap (64-bit Windows)"
echo "  LV2 bundle:            $root/$lv2_bundle"
echo "  64-bit Windows module: $root/$win_module"
echo "  32-bit Windows module: $root/$win32_module"
echo "  first generation, native: $root/$first_module"
echo "  command-line host:     $root/$linux_host, $root/$win_host, $root/$win32_host"
echo "  demo renders:          $demos"
echo "  editor screenshots:    $out/editor.png, $out/editor-settings.png, $out/editor-vst3.png (VST 3),"
echo "                         $out/editor-clap.png (CLAP)"
echo "  Linux editor:          $out/editor-linux.png, $out/editor-linux-settings.png (VST 2),"
echo "                         $out/editor-linux-vst3.png (VST 3), $out/editor-linux-clap.png (CLAP),"
echo "                         $out/editor-linux-lv2.png (LV2, through its UI binary)"
echo "  first generation's editor: $out/editor32.png, $out/editor32-settings.png (from $first_shots)"
echo "  more screenshots:      $root/build/win64/screenshots/ (written by the editor tests; first-generation-*.png"
echo "                         for the first generation's editor)"
echo "  artwork preview:       $root/build/linux/resources/artwork-preview.png"
