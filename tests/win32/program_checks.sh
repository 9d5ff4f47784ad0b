#!/usr/bin/env bash
# Runs co2sim.exe under wine and drives it with real key and mouse events from xdotool, in
# the session of wine_session.sh (DISPLAY, WINEPREFIX and a 1280x1024 virtual desktop set).
# Usage: program_checks.sh CO2SIM_EXE WINDOW_PROBE_EXE SNAPSHOT_TOOL WORKDIR CHECK...
#   CHECK: nodisplay | null | window | minimize
# The window's picture is compared pixel for pixel with frames of the same run made by the
# (Linux) snapshot tool on the in-memory screen.
set -uo pipefail
exe=$1 probe=$2 snapshot=$3 work=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_session.sh"
mkdir -p "$work"
unset QXGFX

APP_PID=""
# start_app [ENV...]: starts the program in the background with the given environment.
start_app() {
  env "$@" wine "$exe" </dev/null >"$work/stdout.txt" 2>"$work/stderr.txt" &
  APP_PID=$!
}
app_ended() { ! kill -0 "$APP_PID" 2>/dev/null; }
# await_app SECONDS: waits for the program to end and sets STATUS.
await_app() {
  if ! poll "$1" app_ended; then kill "$APP_PID" 2>/dev/null; wait "$APP_PID" 2>/dev/null; STATUS=timeout; return; fi
  wait "$APP_PID"
  STATUS=$?
}
stop_app() {
  kill "$APP_PID" 2>/dev/null
  wait "$APP_PID" 2>/dev/null
  APP_PID=""
}
# find_window: sets CLIENT_X CLIENT_Y CLIENT_W CLIENT_H CLOSE_X CLOSE_Y from the probe. A
# window caught between its creation and its sizing (client area 0x0) is not found yet.
find_window() {
  local where
  where=$(wine "$probe" co2sim 2>/dev/null | tr -d '\r') || return 1
  read -r CLIENT_X CLIENT_Y CLIENT_W CLIENT_H CLOSE_X CLOSE_Y <<<"$where"
  [[ -n "${CLOSE_Y:-}" && "${CLIENT_W:-0}" != 0 && "${CLIENT_H:-0}" != 0 ]]
}
# matches REF [FUZZ]: the client area equals the reference frame (FUZZ % per channel).
matches() {
  import -window root -crop "1024x768+${CLIENT_X}+${CLIENT_Y}" +repage "$work/shot.png" 2>/dev/null || return 1
  local diff
  diff=$(compare -fuzz "${2:-0}%" -metric AE "$1" "$work/shot.png" null: 2>&1) || true
  [[ "$diff" == "0" ]]
}
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
  restart_wineserver
  env -u DISPLAY wine "$exe" </dev/null >"$work/stdout.txt" 2>/dev/null
  local status=$?
  restart_wineserver
  start_wine_services
  [[ "$(cat "$work/stdout.txt")" == $'Error setting video mode!\r' ]] ||
    fail "stdout was '$(od -c "$work/stdout.txt" | head -3)'"
  [[ $(wc -c <"$work/stdout.txt") == 27 ]] || fail "stdout is not the one line"
  [[ $status == 0 ]] || fail "status $status without a display"
}

check_null() {
  start_app QXGFX=NULL
  sleep 3
  kill -0 "$APP_PID" 2>/dev/null || fail "the program ended with the Null back end"
  find_window && fail "a window opened with QXGFX=null"
  [[ ! -s "$work/stdout.txt" ]] || fail "stdout: $(cat "$work/stdout.txt")"
  stop_app
}

check_window() {
  "$snapshot" wait:line "shot:$work/entry.png" 'type:2\r' 'type:2.05\r' 'type:50\r' wait:end \
    "shot:$work/end.png" key:Space >/dev/null || fail "snapshot tool failed"
  # Without ddraw.dll the DirectX back end fails its start and the GDI window follows.
  start_app QXGFX=gdi WINEDLLOVERRIDES="mscoree,mshtml,ddraw="
  poll 20 find_window || fail "no window titled co2sim"
  [[ $CLIENT_W == 1024 && $CLIENT_H == 768 ]] || fail "client area ${CLIENT_W}x${CLIENT_H}"
  # Centred on the 1280x1024 desktop (the frame's caption makes it a few rows lower).
  (( CLIENT_X >= 124 && CLIENT_X <= 132 && CLIENT_Y >= 128 && CLIENT_Y <= 150 )) ||
    fail "client area at $CLIENT_X,$CLIENT_Y: not centred"
  (( CLOSE_X > 0 )) || fail "no close button"
  poll 20 matches "$work/entry.png" || fail "entry form not shown as in the frame buffer"
  focus_desktop
  # The first echo shows that keys now reach the program; then the rest, with editing:
  # "12", Home, Delete gives "2"; "2.5", Left, "0" gives "2.05".
  typed 1
  poll 5 differs "$work/entry.png" || fail "typed key not echoed"
  typed 2; keys Home Delete Return
  typed 2.5; keys Left; typed 0; keys Return
  typed 50; keys Return
  poll 60 matches "$work/end.png" || fail "the table did not end as in the frame buffer"
  # The close button queues a key: at the end-of-run wait it starts a new run.
  xdotool mousemove "$CLOSE_X" "$CLOSE_Y" click 1
  poll 5 differs "$work/end.png" || fail "the close button did not start a new run"
  kill -0 "$APP_PID" 2>/dev/null || fail "the program ended on the close button"
  find_window || fail "the window closed"
  poll 30 matches "$work/entry.png" || fail "the new run did not reach the entry form"
  focus_desktop
  typed 2; keys Return; typed 2.05; keys Return; typed 50; keys Return
  poll 60 matches "$work/end.png" || fail "the second run did not end as in the frame buffer"
  keys space
  await_app 15
  [[ "$STATUS" == 0 ]] || fail "Space at the end-of-run wait gave status $STATUS"
}

# The DirectX full screen in the virtual desktop, minimised (as from the taskbar) and
# restored: the desktop shows in its place meanwhile; restored, the whole picture comes back.
check_minimize() {
  "$snapshot" wait:line "shot:$work/entry.png" key:Space >/dev/null 2>&1
  [[ -f "$work/entry.png" ]] || fail "snapshot tool failed"
  start_app
  poll 20 find_window || fail "no window titled co2sim"
  [[ $CLIENT_W == 1024 && $CLIENT_H == 768 ]] || fail "client area ${CLIENT_W}x${CLIENT_H}"
  # A 16-bit display mode: wine widens the channels with rounding.
  poll 20 matches "$work/entry.png" 1 || fail "entry form not shown in full screen"
  local round
  for round in 1 2; do
    wine "$probe" co2sim minimize </dev/null >/dev/null 2>&1 || fail "no window to minimise"
    poll 10 iconic || fail "round $round: the window was not minimised"
    poll 10 differs "$work/entry.png" 1 || fail "round $round: the picture stayed on the desktop"
    wine "$probe" co2sim restore </dev/null >/dev/null 2>&1 || fail "no window to restore"
    poll 10 not_iconic || fail "round $round: the window was not restored"
    poll 10 matches "$work/entry.png" 1 || fail "round $round: picture not shown again after restoring"
  done
  kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
  stop_app
}
iconic() { wine "$probe" co2sim iconic </dev/null >/dev/null 2>&1; }
not_iconic() { ! iconic; }

for check in "$@"; do
  started=$(date +%s)
  "check_$check"
  echo "PASS: $check ($(( $(date +%s) - started )) s)"
done
