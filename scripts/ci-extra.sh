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
# sdl_window_signalloss is left out here: under ThreadSanitizer, which runs asynchronous signal
# handlers at its own safe points, the display's loss wins over the signal every time (status 0
# instead of 143); the ordinary build runs it.
ctest --preset tsan
bash scripts/fuzz.sh 30
bash scripts/aarch64-check.sh
