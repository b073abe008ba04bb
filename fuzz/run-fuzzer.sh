#!/usr/bin/env bash
# Runs one fuzzer for a fixed time over its corpus folder (seeded once), then reports.
# Inputs that once found a fault (REGRESSIONS_DIR, may be "") run first, every time.
# Usage: run-fuzzer.sh FUZZER SEED_WRITER|"" REGRESSIONS_DIR|"" CORPUS_DIR SECONDS
set -euo pipefail
fuzzer=$1 seeds=$2 regressions=$3 corpus=$4 seconds=$5
if [ -n "$regressions" ] && [ -n "$(ls -A "$regressions" 2>/dev/null)" ]; then
  "$fuzzer" "$regressions"/*
fi
mkdir -p "$corpus" "$corpus-crashes"
if [ -n "$seeds" ] && [ -z "$(ls -A "$corpus")" ]; then
  "$seeds" "$corpus"
fi
# One process owns the corpus folder, so it need not look there every second for inputs of
# other processes: with thousands of inputs that look cost a fifth of the run.
exec "$fuzzer" "$corpus" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 -reload=0 \
  -artifact_prefix="$corpus-crashes/" -print_final_stats=1
