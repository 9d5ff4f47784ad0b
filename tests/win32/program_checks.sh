#!/usr/bin/env bash
# Runs co2sim.exe under wine and drives it with real key and mouse events from xdotool, in a
# private Xvfb and a fresh wine prefix with a 1280x1024 virtual desktop.
# Usage: program_checks.sh CO2SIM_EXE WINDOW_PROBE_EXE SNAPSHOT_TOOL WORKDIR CHECK...
#   CHECK: nodisplay | null | window | minimize
# The window's picture is compared pixel for pixel with frames of the same run made by the
# (Linux) snapshot tool on the in-memory screen.
set -uo pipefail
exe=$1 probe=$2 snapshot=$3 work=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/sessions/xvfb.sh"
source "$here/../support/sessions/wine.sh"
rm -rf "$work" && mkdir -p "$work"
unset QXGFX

APP_PID=""
# start_app [ENV...]: starts the program in the background with the given environment.
start_app() {
  env "$@" "$here/wine_run.sh" "$exe" </dev/null >"$work/stdout.txt" 2>"$work/stderr.txt" &
  APP_PID=$!
}
app_ended() { process_gone "$APP_PID"; }
# await_app SECONDS: waits for the program to end and sets STATUS.
await_app() {
  if ! poll "$1" app_ended; then STATUS=timeout; return; fi
  wait "$APP_PID"
  STATUS=$?
  APP_PID=""
}
stop_app() { end_process "$APP_PID"; APP_PID=""; }
report_app() {
  [[ -n "$APP_PID" ]] || return 0
  if process_gone "$APP_PID"; then echo "co2sim.exe has ended"; else echo "co2sim.exe is running"; fi
  tail_of "$work/stderr.txt" 10
  [[ -s "$work/probe.txt" ]] && tail_of "$work/probe.txt" 5
  return 0
}
on_failure report_app
on_exit stop_app
# find_window: sets CLIENT_X CLIENT_Y CLIENT_W CLIENT_H CLOSE_X CLOSE_Y from the probe. A
# window caught between its creation and its sizing (client area 0x0) is not found yet.
find_window() {
  local where
  where=$(wine "$probe" co2sim 2>"$work/probe.txt" | tr -d '\r') || return 1
  read -r CLIENT_X CLIENT_Y CLIENT_W CLIENT_H CLOSE_X CLOSE_Y <<<"$where"
  [[ -n "${CLOSE_Y:-}" && "${CLIENT_W:-0}" != 0 && "${CLIENT_H:-0}" != 0 ]]
}
# matches REF [FUZZ]: the client area equals the reference frame (FUZZ % per channel).
# The last comparison is kept for a failure report.
matches() {
  import -window root -crop "1024x768+${CLIENT_X}+${CLIENT_Y}" +repage "$work/shot.png" 2>/dev/null ||
    { LAST_SEEN="no screenshot"; return 1; }
  local diff
  diff=$(compare -fuzz "${2:-0}%" -metric AE "$1" "$work/shot.png" null: 2>&1) || true
  LAST_SEEN="$diff pixels of $(basename "$1") differ at $CLIENT_X,$CLIENT_Y (last screenshot $work/shot.png)"
  [[ "$diff" == "0" ]]
}
LAST_SEEN=""
report_picture() { [[ -n "$LAST_SEEN" ]] && echo "last comparison: $LAST_SEEN"; return 0; }
on_failure report_picture
differs() { ! matches "$@"; }
focus_desktop() {
  local desktop
  desktop=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -1)
  [[ -n "$desktop" ]] && xdotool windowfocus --sync "$desktop" >/dev/null 2>&1
  return 0
}
keys() { xdotool key --delay 60 "$@"; }
typed() { xdotool type --delay 60 "$1"; }

check_nodisplay() {
  # A desktop started earlier keeps its display: start afresh without one, and end that
  # display-less desktop afterwards.
  end_wineserver || fail "the wineserver did not end"
  env -u DISPLAY timeout 120 "$here/wine_run.sh" "$exe" </dev/null >"$work/stdout.txt" 2>"$work/stderr.txt"
  local status=$?
  restart_wineserver || fail "the wineserver did not start again"
  [[ "$(cat "$work/stdout.txt")" == $'Error setting video mode!\r' ]] ||
    fail "stdout was '$(od -c "$work/stdout.txt" | head -3)'"
  [[ $(wc -c <"$work/stdout.txt") == 27 ]] || fail "stdout is not the one line"
  [[ $status == 0 ]] || fail "status $status without a display"
}

check_null() {
  start_app QXGFX=NULL
  # Nothing to wait for: the program runs on without a window. Watch it for 3 s.
  running_without_window() { ! app_ended && ! find_window; }
  holds_for 3 running_without_window ||
    { app_ended && fail "the program ended with the Null back end"; fail "a window opened with QXGFX=null"; }
  [[ ! -s "$work/stdout.txt" ]] || fail "stdout: $(cat "$work/stdout.txt")"
  stop_app
}

check_window() {
  "$snapshot" wait:line "shot:$work/entry.png" 'type:2\r' 'type:2.05\r' 'type:50\r' wait:end \
    "shot:$work/end.png" key:Space >/dev/null || fail "snapshot tool failed"
  # Without ddraw.dll the DirectX back end fails its start and the GDI window follows.
  start_app QXGFX=gdi WINEDLLOVERRIDES="mscoree,mshtml,ddraw="
  wait_for 180 "a window titled co2sim with a client area (window_probe)" find_window
  [[ $CLIENT_W == 1024 && $CLIENT_H == 768 ]] || fail "client area ${CLIENT_W}x${CLIENT_H}"
  # Centred on the 1280x1024 desktop (the frame's caption makes it a few rows lower).
  (( CLIENT_X >= 124 && CLIENT_X <= 132 && CLIENT_Y >= 128 && CLIENT_Y <= 150 )) ||
    fail "client area at $CLIENT_X,$CLIENT_Y: not centred"
  (( CLOSE_X > 0 )) || fail "no close button"
  wait_for 90 "the entry form as in the frame buffer" matches "$work/entry.png"
  focus_desktop
  # Keys sent before the window takes input are lost: a digit until one is echoed (waiting
  # 4 s for each), then Escape clears the field however many arrived. Then the parameters,
  # with editing: "12", Home, Delete gives "2"; "2.5", Left, "0" gives "2.05".
  local i echoed=""
  for i in 1 2 3 4 5; do
    typed 1
    if poll 4 differs "$work/entry.png"; then echoed=1; break; fi
    focus_desktop
  done
  [[ -n "$echoed" ]] || fail "waited 5 times 4 s for a typed key to be echoed"
  (( i == 1 )) || echo "the window took keys after $i tries"
  keys Escape
  wait_for 30 "Escape to clear the field" matches "$work/entry.png"
  typed 12; keys Home Delete Return
  typed 2.5; keys Left; typed 0; keys Return
  typed 50; keys Return
  wait_for 270 "the table's end as in the frame buffer" matches "$work/end.png"
  # The close button queues a key: at the end-of-run wait it starts a new run.
  xdotool mousemove "$CLOSE_X" "$CLOSE_Y" click 1
  wait_for 30 "the close button to start a new run (the picture to change)" differs "$work/end.png"
  kill -0 "$APP_PID" 2>/dev/null || fail "the program ended on the close button"
  find_window || fail "the window closed"
  wait_for 90 "the new run's entry form" matches "$work/entry.png"
  focus_desktop
  typed 2; keys Return; typed 2.05; keys Return; typed 50; keys Return
  wait_for 270 "the second run's end as in the frame buffer" matches "$work/end.png"
  keys space
  await_app 90
  [[ "$STATUS" == 0 ]] || fail "Space at the end-of-run wait gave status $STATUS"
}

# The DirectX full screen in the virtual desktop, minimised (as from the taskbar) and
# restored: the desktop shows in its place meanwhile; restored, the whole picture comes back.
check_minimize() {
  "$snapshot" wait:line "shot:$work/entry.png" key:Space >/dev/null 2>&1
  [[ -f "$work/entry.png" ]] || fail "snapshot tool failed"
  start_app
  wait_for 60 "a window titled co2sim" find_window
  [[ $CLIENT_W == 1024 && $CLIENT_H == 768 ]] || fail "client area ${CLIENT_W}x${CLIENT_H}"
  # A 16-bit display mode: wine widens the channels with rounding.
  wait_for 60 "the entry form in full screen" matches "$work/entry.png" 1
  local round
  for round in 1 2; do
    wine "$probe" co2sim minimize </dev/null >/dev/null 2>&1 || fail "no window to minimise"
    wait_for 30 "round $round: the window to be minimised" iconic
    wait_for 30 "round $round: the desktop in place of the picture" differs "$work/entry.png" 1
    wine "$probe" co2sim restore </dev/null >/dev/null 2>&1 || fail "no window to restore"
    wait_for 30 "round $round: the window to be restored" not_iconic
    wait_for 30 "round $round: the picture again after restoring" matches "$work/entry.png" 1
  done
  kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
  stop_app
}
iconic() { wine "$probe" co2sim iconic </dev/null >/dev/null 2>&1; }
not_iconic() { ! iconic; }

start_xvfb 1280x1024 || fail "Xvfb did not start"
start_wine_prefix 1280x1024 || fail "the wine prefix could not be made"
for check in "$@"; do
  started=$(date +%s)
  "check_$check"
  echo "PASS: $check ($(( $(date +%s) - started )) s)"
done
