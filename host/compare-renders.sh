#!/usr/bin/env bash
# Renders the built-in demo through the Linux module and through the 64-bit Windows DLL (under
# Wine) and checks that the two output files are identical byte for byte.
#
#   host/compare-renders.sh LINUX_HOST LINUX_MODULE WIN_HOST WIN_MODULE [render options...]
#
# Extra arguments (--param, --tempo, --block, ...) go to both renders. The outputs stay in
# COMPARE_DIR (default: a fresh temporary folder) for a closer look when they differ.
set -euo pipefail
if [ $# -lt 4 ]; then
  sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
linux_host=$1 linux_module=$2 win_host=$3 win_module=$4
shift 4
root=$(cd "$(dirname "$0")/.." && pwd)
out=${COMPARE_DIR:-$(mktemp -d)}
mkdir -p "$out"
out=$(cd "$out" && pwd)
for file in "$linux_host" "$linux_module" "$win_host" "$win_module"; do
  [ -f "$file" ] || { echo "compare-renders: no such file: $file" >&2; exit 2; }
done
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }

"$linux_host" render "$linux_module" "$out/linux.wav" "$@"
# Wine sees the file system through its Z: drive.
bash "$root/cmake/wine-run.sh" "$win_host" render "Z:$(absolute "$win_module")" "Z:$out/win64.wav" "$@"

if cmp "$out/linux.wav" "$out/win64.wav"; then
  echo "compare-renders: identical ($(stat -c %s "$out/linux.wav") bytes): $out/linux.wav $out/win64.wav"
else
  echo "compare-renders: the Linux and Windows renders differ: $out/linux.wav $out/win64.wav" >&2
  exit 1
fi
