#!/usr/bin/env bash
# The table's pace in a real SDL window under a private Xvfb (with openbox), paired in one
# process with the Null back end: see bench/window_pace_bench.cpp.
# Usage: window_pace_bench.sh BENCH_PROGRAM [PAIRS, default 5]
set -uo pipefail
program=$1 pairs=${2:-5}
source "$(dirname "$0")/../tests/support/sessions/xvfb.sh"
unset SDL_VIDEODRIVER QXGFX
start_xvfb 1280x1024 || fail "Xvfb did not start"
start_wm
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$program" "$pairs"
status=$?
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit "$status"
