#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for a bounded time: bash scripts/fuzz.sh [seconds per target, default 30].
# Fails on the first finding; the crashing input is left in build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
# Every fuzz/*_fuzz.cpp is a target.
targets=()
for source in fuzz/*_fuzz.cpp; do targets+=("$(basename "${source}" .cpp)"); done

scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

mkdir -p build/fuzz/findings
status=0
for target in "${targets[@]}"; do
  corpus="build/fuzz/corpus/${target}"
  mkdir -p "${corpus}"
  seeds=()
  if [ -d "fuzz/corpus-regressions/${target}" ]; then seeds+=("fuzz/corpus-regressions/${target}"); fi
  log="build/fuzz/${target}.log"
  echo "== ${target}: ${seconds} s"
  if build/fuzz/fuzz/"${target}" -max_total_time="${seconds}" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="build/fuzz/findings/${target}-" \
      "${corpus}" "${seeds[@]}" >"${log}" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "${log}")
    echo "   ${runs:-?} executions, no finding"
  else
    echo "   FINDING (see ${log} and build/fuzz/findings/)"
    tail -40 "${log}"
    status=1
  fi
done
exit "${status}"
