#!/usr/bin/env bash
# Tests the Windows program under wine: every unit-test executable of the Windows build, then
# co2sim.exe itself in a private Xvfb, driven with xdotool and compared with the frames of the
# Linux snapshot tool. Fresh wine prefixes in temporary folders; everything started here is
# ended here. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
started=$(date +%s)

# --no-build: the tests only, on the builds already made.
if [[ "${1:-}" != --no-build ]]; then
  scripts/windows-build.sh
  # The reference frames come from the Linux snapshot tool (no tests needed for it).
  cmake -S . -B build/windows-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DCO2SIM_TESTS=OFF >/dev/null
  cmake --build build/windows-host -j2 --target co2sim-snapshot
fi

# Where tests/win32/wine_run.sh counts the programs wine's server ended late.
export CO2SIM_BUILD_DIR="$root/build/windows"
rm -f "$CO2SIM_BUILD_DIR/wine-late-kills.txt"

# The unit tests find the display for their window cases and run through wine (the
# toolchain file makes wine their emulator), all in one prefix with a virtual desktop.
(
  set +e
  source tests/support/sessions/xvfb.sh
  source tests/support/sessions/wine.sh
  start_xvfb 1280x1024 || fail "Xvfb did not start"
  start_wine_prefix 1280x1024 || fail "the wine prefix could not be made"
  echo "wine prefix ready after $(( $(date +%s) - started )) s"
  ctest --test-dir build/windows -j2 --output-on-failure --timeout 300 || fail "Windows unit tests"
)

work="$root/build/windows/wine_checks"
tests/win32/program_checks.sh "$root/build/windows/co2sim.exe" "$root/build/windows/window_probe.exe" \
  "$root/build/windows-host/tools/co2sim-snapshot" "$work/program" nodisplay null window minimize
# The DirectX back end, which the program tries first: a window on a screen without the
# 1024x768 mode, and exclusive full screen on one with it (each in its own Xvfb).
tests/win32/directx_checks.sh "$root/build/windows/co2sim.exe" \
  "$root/build/windows-host/tools/co2sim-snapshot" "$work/directx" window fullscreen smallscreen
late=0
# The log exists only once a late kill has happened.
[[ -f "$CO2SIM_BUILD_DIR/wine-late-kills.txt" ]] && late=$(wc -l <"$CO2SIM_BUILD_DIR/wine-late-kills.txt")
echo "programs that wine's server ended late after they had exited (status taken from the program): $late"
echo "Windows tests passed in $(( $(date +%s) - started )) s"
