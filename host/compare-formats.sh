#!/usr/bin/env bash
# Renders the built-in demo through the VST 2 module and through the VST 3 bundle of the same
# build, with one host, and checks that the two output files are identical byte for byte.
#
#   host/compare-formats.sh HOST VST2_MODULE VST3_BUNDLE [render options...]
#
# Extra arguments (--param, --tempo, --block, ...) go to both renders. A Windows host runs under
# Wine. The outputs stay in COMPARE_DIR (default: a fresh temporary folder).
set -euo pipefail
if [ $# -lt 3 ]; then
  sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
host=$1 vst2=$2 vst3=$3
shift 3
root=$(cd "$(dirname "$0")/.." && pwd)
out=${COMPARE_DIR:-$(mktemp -d)}
mkdir -p "$out"
out=$(cd "$out" && pwd)
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
[ -f "$vst2" ] || { echo "compare-formats: no such file: $vst2" >&2; exit 2; }
[ -e "$vst3" ] || { echo "compare-formats: no such bundle: $vst3" >&2; exit 2; }

case "$host" in
*.exe)
  run() { bash "$root/cmake/wine-run.sh" "$host" render "Z:$(absolute "$1")" "Z:$2" "${@:3}"; } ;;
*)
  run() { "$host" render "$1" "$2" "${@:3}"; } ;;
esac
run "$vst2" "$out/vst2.wav" "$@"
run "$vst3" "$out/vst3.wav" "$@"

if cmp "$out/vst2.wav" "$out/vst3.wav"; then
  echo "compare-formats: identical ($(stat -c %s "$out/vst2.wav") bytes): $out/vst2.wav $out/vst3.wav"
else
  echo "compare-formats: the VST 2 and VST 3 renders differ: $out/vst2.wav $out/vst3.wav" >&2
  exit 1
fi
