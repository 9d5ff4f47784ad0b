#!/usr/bin/env bash
# Tests the Windows program under wine: every unit-test executable of the Windows build, then
# co2sim.exe itself in a private Xvfb, driven with xdotool and compared with the frames of the
# Linux snapshot tool. A fresh wine prefix in a temporary folder; everything started here is
# ended here. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
started=$(date +%s)

scripts/windows-build.sh
# The reference frames come from the Linux snapshot tool (no tests needed for it).
cmake -S . -B build/windows-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DCO2SIM_TESTS=OFF >/dev/null
cmake --build build/windows-host -j2 --target co2sim-snapshot

source tests/win32/wine_session.sh
trap cleanup_wine_session EXIT
start_xvfb 1280x1024 || fail "Xvfb cannot start"
start_wine_prefix 1280x1024 || fail "the wine prefix cannot be made"
echo "wine prefix ready after $(( $(date +%s) - started )) s"

# The unit tests find the display for their window cases and run through wine (the
# toolchain file makes wine their emulator). Now and then wine fails to start a program at
# all (no output, status 1 in a few ms); one more try tells that from a failing test.
ctest --test-dir build/windows -j2 --output-on-failure --timeout 300 --repeat until-pass:2

work="$WINE_SESSION_DIR/checks"
tests/win32/program_checks.sh "$root/build/windows/co2sim.exe" "$root/build/windows/window_probe.exe" \
  "$root/build/windows-host/tools/co2sim-snapshot" "$work" nodisplay null window minimize
# The DirectX back end, which the program tries first: a window on a screen without the
# 1024x768 mode, and exclusive full screen on one with it (each in its own Xvfb and prefix).
tests/win32/directx_checks.sh "$root/build/windows/co2sim.exe" \
  "$root/build/windows-host/tools/co2sim-snapshot" "$WINE_SESSION_DIR/directx" window fullscreen
echo "Windows tests passed in $(( $(date +%s) - started )) s"
