#!/usr/bin/env bash
# Builds everything in the debug preset (AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs every test; then cross-builds the Windows program and runs its tests under wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset debug
cmake --build --preset debug
ctest --preset debug -j2
scripts/windows-test.sh
