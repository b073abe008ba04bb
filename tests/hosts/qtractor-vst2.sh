#!/usr/bin/env bash
# Qtractor hosts the Linux VST 2 module on an audio track and opens its editor (see qtractor.sh).
#   qtractor-vst2.sh [MODULE [REFERENCE]]
# MODULE defaults to build/linux/plugin/MorlentDelay.so, REFERENCE to build/outputs/editor-linux.png.
set -uo pipefail
. "$(dirname "$0")/qtractor.sh"
session_isolate "$@"
module=$(realpath "${1:-$session_root/build/linux/plugin/MorlentDelay.so}")
[ -f "$module" ] || { echo "qtractor-vst2: no module $module" >&2; exit 1; }
qtractor_plugin() { qtractor_file=$module; }
qtractor_check vst2 VST2 "${2:-$session_root/build/outputs/editor-linux.png}"
