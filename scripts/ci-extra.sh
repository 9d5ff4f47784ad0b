#!/usr/bin/env bash
# The checks beyond the default tests: the ThreadSanitizer tests (every test that involves a
# second thread: key queue threads, the real program's presentation thread in Xvfb and in
# tmux), 30 s of fuzzing per target, and the 64-bit ARM build: its unit tests under qemu-user
# and its snapshots against the native ones (scripts/aarch64-check.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan
bash scripts/fuzz.sh 30
bash scripts/aarch64-check.sh
