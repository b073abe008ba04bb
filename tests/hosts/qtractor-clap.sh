#!/usr/bin/env bash
# Qtractor hosts the CLAP plug-in on an audio track and opens its editor (see qtractor.sh).
#   qtractor-clap.sh [MODULE [REFERENCE]]
# MODULE defaults to build/linux/clap/MorlentDelay.clap, REFERENCE to build/outputs/editor-linux.png.
set -uo pipefail
. "$(dirname "$0")/qtractor.sh"
session_isolate "$@"
module=$(realpath "${1:-$session_root/build/linux/clap/MorlentDelay.clap}")
[ -f "$module" ] || { echo "qtractor-clap: no module $module" >&2; exit 1; }
qtractor_plugin() { qtractor_file=$module; }
qtractor_check clap CLAP "${2:-$session_root/build/outputs/editor-linux.png}"
