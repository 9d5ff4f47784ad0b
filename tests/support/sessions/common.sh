# Waiting with deadlines, failures that say what was awaited and what was seen, and cleanup
# of everything a check started. Sourced by the session helpers, not run.
#
# Every wait is `wait_for SECONDS WHAT COMMAND...`: the command is polled until it succeeds
# or the deadline passes (measured on the clock, so a loaded machine does not stretch it).
# A failure runs the reports the session helpers registered (the pane, the window list, the
# last lines of error output) before the check exits.
[[ -n "${SESSION_COMMON_LOADED:-}" ]] && return 0
SESSION_COMMON_LOADED=1

SESSION_CLEANUPS=()
SESSION_REPORTS=()
SESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/co2sim-session.XXXXXX")

# on_exit FUNCTION: run at exit, the last registered first.
on_exit() { SESSION_CLEANUPS=("$1" "${SESSION_CLEANUPS[@]}"); }
# on_failure FUNCTION: prints part of what a failed check saw.
on_failure() { SESSION_REPORTS+=("$1"); }

session_cleanup() {
  local step
  for step in "${SESSION_CLEANUPS[@]}"; do "$step" || true; done
  SESSION_CLEANUPS=()
  rm -rf "$SESSION_DIR"
}
trap session_cleanup EXIT

fail() {
  echo "FAIL: $*"
  local report
  for report in "${SESSION_REPORTS[@]}"; do "$report" 2>&1 | sed 's/^/  | /'; done
  exit 1
}

# now_us: microseconds on the clock, without starting a process (polls run on loaded machines).
now_us() { NOW_US=${EPOCHREALTIME/[.,]/}; }

# poll SECONDS COMMAND...: runs the command every 0.1 s until it succeeds; 1 at the deadline.
poll() {
  now_us
  local deadline=$(( NOW_US + $1 * 1000000 )); shift
  while true; do
    "$@" && return 0
    now_us
    (( NOW_US < deadline )) || return 1
    sleep 0.1
  done
}

# wait_for SECONDS WHAT COMMAND...: poll, and on the deadline fail saying what was awaited.
wait_for() {
  local seconds=$1 what=$2; shift 2
  poll "$seconds" "$@" || fail "waited $seconds s for $what"
}

# holds_for SECONDS COMMAND...: the command succeeds at every poll for the whole time.
holds_for() {
  now_us
  local deadline=$(( NOW_US + $1 * 1000000 )); shift
  while now_us; (( NOW_US < deadline )); do
    "$@" || return 1
    sleep 0.1
  done
  "$@"
}

# process_gone PID: no such process, or only its zombie (a child not yet waited for).
process_gone() {
  kill -0 "$1" 2>/dev/null || return 0
  local stat
  read -r stat <"/proc/$1/stat" 2>/dev/null || return 0
  stat=${stat##*) }
  [[ ${stat%% *} == Z ]]
}

# end_process PID [SECONDS]: SIGTERM, then SIGKILL if it outlives the deadline; waits for it.
end_process() {
  local pid=$1
  [[ -n "$pid" ]] || return 0
  kill "$pid" 2>/dev/null
  poll "${2:-10}" process_gone "$pid" || kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  poll 5 process_gone "$pid"
  return 0
}

# tail_of FILE [LINES]: the end of a log for a failure report.
tail_of() {
  [[ -s "$1" ]] || { echo "($1 is empty)"; return 0; }
  echo "last lines of $1:"
  tail -n "${2:-15}" "$1"
}
