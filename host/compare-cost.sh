#!/usr/bin/env bash
# Times the VST 2 module and the VST 3 bundle or the CLAP module of one build side by side with
# one host: ROUNDS (default 5) alternating bench runs of each, same options, then the median ns
# per stereo frame of each and their ratio. A measurement, not a check: other work on the
# machine moves it.
#
#   host/compare-cost.sh HOST VST2_MODULE VST3_BUNDLE|CLAP_MODULE [bench options...]
set -euo pipefail
if [ $# -lt 3 ]; then
  sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
host=$1 vst2=$2 vst3=$3
shift 3
case "$vst3" in
*.clap) other="CLAP" ;;
*) other="VST 3" ;;
esac
rounds=${ROUNDS:-5}
median() { LC_ALL=C sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
ns() { "$host" bench "$1" "${@:2}" | sed -E 's/.*: ([0-9.]+) ns per.*/\1/'; }
vst2_times=() vst3_times=()
for _ in $(seq "$rounds"); do
  vst2_times+=("$(ns "$vst2" "$@")")
  vst3_times+=("$(ns "$vst3" "$@")")
done
a=$(printf '%s\n' "${vst2_times[@]}" | median)
b=$(printf '%s\n' "${vst3_times[@]}" | median)
echo "VST 2: ${vst2_times[*]} ns per stereo frame (median $a)"
echo "$other: ${vst3_times[*]} ns per stereo frame (median $b)"
awk -v a="$a" -v b="$b" -v other="$other" 'BEGIN {printf "%s / VST 2: %.3f\n", other, b / a}'
