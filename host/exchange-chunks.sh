#!/usr/bin/env bash
# Hands presets between the 32-bit DLL and the 64-bit DLL, each in its own Wine: a bank and a
# program saved by the 32-bit module load into the 64-bit one with their settings, and the
# 64-bit module's bank and program are refused by the 32-bit one as newer.
#
#   host/exchange-chunks.sh WIN32_HOST WIN32_MODULE WIN64_HOST WIN64_MODULE
#
# The preset files stay in EXCHANGE_DIR (default: a fresh temporary folder).
set -euo pipefail
if [ $# -ne 4 ]; then
  sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
for file in "$@"; do
  [ -f "$file" ] || { echo "exchange-chunks: no such file: $file" >&2; exit 2; }
done
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
host32=$1 module32=Z:$(absolute "$2") host64=$3 module64=Z:$(absolute "$4")
out=${EXCHANGE_DIR:-$(mktemp -d)}
mkdir -p "$out"
out=$(cd "$out" && pwd)
run() { bash "$root/cmake/wine-run.sh" "$@"; }
failures=0
fail() { echo "exchange-chunks: $*" >&2; failures=$((failures + 1)); }

# Left delay 0.3² s, feedback 0.75², mix 0.25: the displays 0.09, 0.56 and -50.
settings=(--program 3 --param 1=0.3 --param 6=0.75 --param 11=0.25)
expect_settings() {
  local shown=$1 what=$2
  grep -Eq '^ +1 +LDT +0\.09 ' <<<"$shown" || fail "$what: left delay lost"
  grep -Eq '^ +6 +FB +0\.56 ' <<<"$shown" || fail "$what: feedback lost"
  grep -Eq '^ +11 +Mix +-50 ' <<<"$shown" || fail "$what: mix lost"
}

for kind in fxb fxp; do
  run "$host32" preset save "$module32" "Z:$out/first.$kind" "${settings[@]}" >/dev/null
  if shown=$(run "$host64" preset load "$module64" "Z:$out/first.$kind"); then
    expect_settings "$shown" "the 32-bit .$kind in the 64-bit module"
    if [ $kind = fxb ]; then
      grep -q '^program 3:' <<<"$shown" || fail "the 32-bit bank in the 64-bit module: not at program 3"
    fi
  else
    fail "the 64-bit module refused the 32-bit module's .$kind"
  fi

  run "$host64" preset save "$module64" "Z:$out/current.$kind" "${settings[@]}" >/dev/null
  if refused=$(run "$host32" preset load "$module32" "Z:$out/current.$kind" 2>&1); then
    fail "the 32-bit module loaded the 64-bit module's .$kind"
  else
    grep -q 'refused' <<<"$refused" || fail "the 32-bit module's answer to the 64-bit .$kind: $refused"
  fi
done

if [ $failures -gt 0 ]; then
  echo "exchange-chunks: $failures failures; the presets are in $out" >&2
  exit 1
fi
echo "exchange-chunks: the 32-bit module's bank and program load in the 64-bit module; the 64-bit ones are refused by the 32-bit module ($out)"
