#!/usr/bin/env bash
# The CLAP module renders the VST 2 module's bits at the same settings, through one host: the
# VST 2 module takes normalised values, the CLAP plug-in the positions in its parameters' ranges
# that stand for the same values (a feedback gain of 0.49 is the normalised 0.7 squared).
#   render-check.sh HOST VST2_MODULE CLAP_MODULE
set -euo pipefail
host=$1 vst2=$2 clap=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
case "$host" in
*.exe) run() { bash "$root/cmake/wine-run.sh" "$host" render "Z:$1" "Z:$2" "${@:3}"; } ;;
*) run() { "$host" render "$@"; } ;;
esac
common=(--param 3=1 --tempo 97 --block 100 --param 10=1)
run "$vst2" "$out/vst2.wav" "${common[@]}" --param 6=0.7 --param 11=0.75
run "$clap" "$out/clap.wav" "${common[@]}" --param 6=0.49 --param 11=0.75
cmp "$out/vst2.wav" "$out/clap.wav"
echo "render-check: the CLAP and VST 2 renders are identical ($(stat -c %s "$out/vst2.wav") bytes)"
