#!/usr/bin/env bash
# Builds the simulator alone (release, no tests) and runs it; installs only what that needs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake --preset release -DCO2SIM_TESTS=OFF >/dev/null
cmake --build --preset release --target co2sim
exec build/release/co2sim "$@"
