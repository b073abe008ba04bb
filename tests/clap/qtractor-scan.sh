#!/usr/bin/env bash
# Qtractor's plug-in scanner lists the CLAP module as a CLAP host sees it: the line it prints is
# checked field by field (type, name, audio ins:outs, MIDI ins:outs, parameters, flags, file,
# index): GUI for the editor of the gui extension. The scanner needs no display; it runs with a
# HOME of its own, so no cache is shared.
#   qtractor-scan.sh SCANNER MODULE
set -euo pipefail
scanner=$1 module=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
line=$(echo "CLAP:$module" | HOME=$home timeout 60 "$scanner")
echo "scanner: $line"
[ "$(printf '%s\n' "$line" | grep -c .)" -eq 1 ] || { echo "expected exactly one line"; exit 1; }
IFS='|' read -r type name audio midi params flags path index id <<<"$line"
status=0
expect() {
  if [ "$2" != "$3" ]; then
    echo "$1: '$2', expected '$3'"
    status=1
  fi
}
expect type "$type" CLAP
expect name "$name" "Morlent Delay"
expect "audio ins:outs" "$audio" 2:2
expect "MIDI ins:outs" "$midi" 1:0
expect "parameters" "$params" 12:0
expect flags "$flags" GUI,EXT,RT
expect file "$path" "$module"
expect index "$index" 0
[ -n "$id" ] || { echo "no plug-in id"; status=1; }
exit $status
