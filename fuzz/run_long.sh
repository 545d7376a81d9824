#!/usr/bin/env bash
# Runs every fuzz target for a while (default 10 minutes each) with its seeds and
# prints what it did. Outside CI: bash fuzz/run_long.sh [seconds] [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-600}
BUILD_DIR=${2:-build}
for target in "$BUILD_DIR"/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  mkdir -p "$BUILD_DIR/fuzz/corpus/$name"
  echo "== $name"
  "$target" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -print_final_stats=1 \
    "$BUILD_DIR/fuzz/corpus/$name" "fuzz/corpus/$name" 2>&1 |
    grep -E "stat::number_of_executed_units|stat::peak_rss|DONE|ERROR|cov:" | tail -4
done
