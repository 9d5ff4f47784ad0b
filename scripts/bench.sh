#!/usr/bin/env bash
# Builds the benchmark preset (Release) and runs every benchmark; the figures to copy into
# bench/RESULTS.md are the "ratio" counters (and rows / peak_rss_MB for the whole run).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench
echo "== machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores"
for bench in painting_bench pacing_bench whole_run_bench extended_bench; do
  if [ -x "build/bench/bench/${bench}" ]; then
    "build/bench/bench/${bench}" --benchmark_counters_tabular=true
  else
    echo "== ${bench}: not built (its library is missing)"
  fi
done
