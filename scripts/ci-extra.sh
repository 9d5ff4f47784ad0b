#!/usr/bin/env bash
# The checks beyond the default tests: the ThreadSanitizer tests (every test that involves a
# second thread: key queue threads, the real program's presentation thread in Xvfb and in
# tmux) and 30 s of fuzzing per target. About 15 minutes on two cores, builds included.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan
bash scripts/fuzz.sh 30
