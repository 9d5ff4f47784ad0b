#!/usr/bin/env bash
# Runs a Windows program under wine and ends with its exit status as the Windows side saw it.
# Usage: wine_run.sh PROGRAM [ARGS...]   (the test emulator of the Windows build, and the
# program checks' way of starting co2sim.exe)
#
# Why not wine's own status: wine's server ends a process with SIGKILL when its Unix side is
# still there about a second after its last thread ended (a timer of 1/64 s doubling to 1/2 s).
# On a loaded machine the Unix side's teardown (the X connection, the OpenGL driver's threads)
# can take longer, and the shell sees status 137 from a program that had finished: a unit
# test printed "[  PASSED  ]" for all its cases and ctest said "Subprocess killed". Delaying
# the final exit_group of a passing test with strace (-e inject=exit_group:delay_enter=2s)
# gives 137 every time; 0.2 s gives its real status. So the status comes from exit_status.exe,
# which waits for the program and writes what GetExitCodeProcess says. Each such late kill is
# reported on standard error and counted in $CO2SIM_BUILD_DIR/wine-late-kills.txt.
set -uo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
launcher=""
for candidate in "${CO2SIM_BUILD_DIR:-}/exit_status.exe" "$(dirname "$program")/exit_status.exe" \
                 "$(dirname "$program")/../exit_status.exe"; do
  [[ -f "$candidate" ]] && { launcher=$candidate; break; }
done
[[ -n "$launcher" ]] || { echo "wine_run: exit_status.exe not found (looked in CO2SIM_BUILD_DIR and next to the program)" >&2; exit 126; }

status_file=$(mktemp "${TMPDIR:-/tmp}/co2sim-exit-status.XXXXXX")
wine_pid=""
# Ending this script ends the program (exit_status.exe holds it in a job that dies with it).
end_program() { [[ -n "$wine_pid" ]] && kill "$wine_pid" 2>/dev/null; }
trap 'end_program; rm -f "$status_file"; exit 143' TERM
trap 'end_program; rm -f "$status_file"; exit 130' INT
trap 'rm -f "$status_file"' EXIT
: >"$status_file"
wine "$launcher" "Z:$status_file" "$@" &
wine_pid=$!
wait "$wine_pid"
wine_status=$?
wine_pid=""

status=$(tr -d '\r\n' <"$status_file")
if [[ ! $status =~ ^[0-9]+$ ]]; then
  echo "wine_run: no exit status from $(basename "$program") (wine's status $wine_status): the program did not start or exit_status.exe failed" >&2
  exit "$((wine_status == 0 ? 1 : wine_status))"
fi
# Windows statuses are 32-bit; a shell keeps the low 8 bits, as wine itself does.
status=$((status & 255))
if [[ $wine_status != "$status" ]]; then
  echo "wine_run: wine's status $wine_status after $(basename "$program") had exited with $status (ended late by wine's server); $status is used" >&2
  [[ -n "${CO2SIM_BUILD_DIR:-}" && -d "${CO2SIM_BUILD_DIR:-}" ]] &&
    echo "$(date +%FT%T) $(basename "$program") wine=$wine_status program=$status" >>"$CO2SIM_BUILD_DIR/wine-late-kills.txt"
fi
exit "$status"
