#!/usr/bin/env bash
# One fuzz campaign: the target mutates its seeds (and the corpus it grew in
# earlier runs, kept in WORK_DIR/corpus) for SECONDS with the random seed
# RANDOM_SEED (default 1; 0 picks one); inputs that crash it are kept in
# WORK_DIR/crashes. Fails when the target found a crash.
# Usage: run-fuzzer.sh TARGET SEED_DIR WORK_DIR SECONDS [RANDOM_SEED]
set -euo pipefail
target=$1
seeds=$2
work=$3
seconds=$4
random_seed=${5:-1}
mkdir -p "$work/corpus" "$work/crashes"
"$target" -seed="$random_seed" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
  -rss_limit_mb=3072 -artifact_prefix="$work/crashes/" "$work/corpus" "$seeds" 2>"$work/log" ||
  { tail -n 60 "$work/log"; exit 1; }
grep -E '^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$work/log"
echo "crashes kept: $(ls "$work/crashes" | wc -l)"
