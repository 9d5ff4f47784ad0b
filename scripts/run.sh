#!/usr/bin/env bash
# Builds the release preset and runs the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
exec build/release/co2sim "$@"
