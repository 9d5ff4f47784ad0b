#!/usr/bin/env bash
# The checks beyond the default tests: the ThreadSanitizer tests (every test that involves a
# second thread) and 20 s of fuzzing per target. About 3 minutes on two cores after a build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan
bash scripts/fuzz.sh 20
