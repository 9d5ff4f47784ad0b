#!/usr/bin/env bash
# Runs co2sim.exe under wine on a private Xvfb without a virtual desktop, where DirectDraw's
# exclusive mode depends on the X screen's size, and drives it with xdotool.
# Usage: directx_checks.sh CO2SIM_EXE SNAPSHOT_TOOL WORKDIR CHECK...
#   window:     1280x1024 screen, QXGFX=directx: full screen fails there, so the DirectX back
#               end opens a window; the table runs; Alt+Enter rebuilds the window; Space ends.
#   fullscreen: 1024x768 screen, no QXGFX: DirectX full screen; Alt+Enter to a window and back,
#               the whole picture sent again each time; the table runs; Space ends.
# Pictures are compared with frames of the same run made by the (Linux) snapshot tool. In a
# 16-bit display mode wine widens the channels with rounding, so full screen allows 1 %.
set -uo pipefail
exe=$1 snapshot=$2 work=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_session.sh"
mkdir -p "$work"
unset QXGFX

# A prefix without a virtual desktop: each wine window is an X window of its client area.
start_plain_prefix() {
  WINE_SESSION_DIR=$(mktemp -d /tmp/co2sim-wine.XXXXXX)
  export WINEPREFIX="$WINE_SESSION_DIR/prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  env -u DISPLAY wine wineboot --init >/dev/null 2>&1 || return 1
  wineserver -w
}
# Ends the X server of one check (and wine's processes on it); the prefix stays.
end_display() {
  wineserver -k 2>/dev/null || true
  if [[ -n "$XVFB_PID" ]]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  fi
}
trap cleanup_wine_session EXIT

APP_PID=""
start_app() {
  env "$@" wine "$exe" </dev/null >"$work/stdout.txt" 2>"$work/stderr.txt" &
  APP_PID=$!
}
app_ended() { ! kill -0 "$APP_PID" 2>/dev/null; }
await_app() {
  if ! poll "$1" app_ended; then kill "$APP_PID" 2>/dev/null; wait "$APP_PID" 2>/dev/null; STATUS=timeout; return; fi
  wait "$APP_PID"
  STATUS=$?
}

# find_window: WIN, the X window of the program's client area, with X Y W H of it.
find_window() {
  WIN=$(xdotool search --onlyvisible --name '^co2sim$' 2>/dev/null | head -1)
  [[ -n "$WIN" ]] || return 1
  eval "$(xdotool getwindowgeometry --shell "$WIN" 2>/dev/null)" || return 1
  X=${X:-0} Y=${Y:-0} W=$WIDTH H=$HEIGHT
}
# A window other than OLD (the switch makes a new one).
find_new_window() { find_window && [[ "$WIN" != "$1" ]]; }
full_screen() { xprop -id "$WIN" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN; }
windowed() { ! full_screen; }
# matches REF [FUZZ]: the window's visible part equals the same part of the reference frame.
matches() {
  import -window "$WIN" "$work/shot.png" 2>/dev/null || return 1
  local size w h diff
  size=$(identify -format '%w %h' "$work/shot.png" 2>/dev/null) || return 1
  read -r w h <<<"$size"
  ((w >= 1000 && h >= 700)) || return 1
  convert "$1" -crop "${w}x${h}+0+0" +repage "$work/expected.png" || return 1
  diff=$(compare -fuzz "${2:-0}%" -metric AE "$work/expected.png" "$work/shot.png" null: 2>&1) || true
  [[ "$diff" == "0" ]]
}
differs() { ! matches "$@"; }
focus() { xdotool windowfocus --sync "$WIN" >/dev/null 2>&1; return 0; }
keys() { xdotool key --delay 60 "$@"; }
typed() { xdotool type --delay 60 "$1"; }

make_references() {
  "$snapshot" wait:line "shot:$work/entry.png" 'type:2\r' 'type:2.05\r' 'type:50\r' wait:end \
    "shot:$work/end.png" key:Space >/dev/null || fail "snapshot tool failed"
}
# Keys sent before the window takes input are lost: type a digit until it is echoed, take it
# back, then the three parameters. FUZZ is the tolerance of the form's picture.
type_parameters() {
  local i echoed=""
  for i in 1 2 3 4 5; do
    focus
    typed 1
    if poll 2 differs "$work/entry.png" "$1"; then echoed=1; break; fi
  done
  [[ -n "$echoed" ]] || fail "typed key not echoed"
  keys BackSpace
  typed 2; keys Return; typed 2.05; keys Return; typed 50; keys Return
}

check_window() {
  start_xvfb 1280x1024 || fail "Xvfb cannot start"
  make_references
  start_app QXGFX=directx WINEDEBUG=-all,+loaddll
  poll 30 find_window || fail "no window titled co2sim"
  [[ $W == 1024 && $H == 768 ]] || fail "client area ${W}x${H}"
  (( X >= 120 && X <= 136 && Y >= 100 && Y <= 150 )) || fail "client area at $X,$Y: not centred"
  windowed || fail "full screen on a screen without the mode"
  # The keyboard device is opened only once a DirectDraw display has been built.
  poll 5 grep -q 'dinput8.dll' "$work/stderr.txt" || fail "the DirectX back end did not build the window"
  poll 20 matches "$work/entry.png" || fail "entry form not shown as in the frame buffer"
  type_parameters 0
  poll 60 matches "$work/end.png" || fail "the table did not end as in the frame buffer"
  # Alt+Enter: full screen fails here, so the window is made again and the picture resent.
  local old=$WIN
  focus
  keys alt+Return
  poll 15 find_new_window "$old" || fail "Alt+Enter did not rebuild the window"
  windowed || fail "full screen after Alt+Enter on a screen without the mode"
  poll 10 matches "$work/end.png" || fail "picture not sent again after the switch"
  focus
  keys space
  await_app 15
  [[ "$STATUS" == 0 ]] || fail "Space at the end-of-run wait gave status $STATUS"
  end_display
}

check_fullscreen() {
  start_xvfb 1024x768 || fail "Xvfb cannot start"
  make_references
  start_app
  poll 30 find_window || fail "no window titled co2sim"
  poll 5 full_screen || fail "not full screen on a screen with the mode"
  [[ $X == 0 && $Y == 0 && $W == 1024 && $H == 768 ]] || fail "full screen at $X,$Y ${W}x${H}"
  poll 20 matches "$work/entry.png" 1 || fail "entry form not shown in full screen"
  local old=$WIN
  focus
  keys alt+Return
  poll 15 find_new_window "$old" || fail "Alt+Enter made no new window"
  windowed || fail "Alt+Enter did not leave full screen"
  # The window's own 32-bit surface shows the frame exactly.
  poll 10 matches "$work/entry.png" || fail "picture not sent again in the window"
  old=$WIN
  focus
  keys alt+Return
  poll 15 find_new_window "$old" || fail "the second Alt+Enter made no new window"
  poll 5 full_screen || fail "Alt+Enter did not return to full screen"
  poll 10 matches "$work/entry.png" 1 || fail "picture not sent again in full screen"
  type_parameters 1
  poll 60 matches "$work/end.png" 1 || fail "the table did not end as in the frame buffer"
  focus
  keys space
  await_app 15
  [[ "$STATUS" == 0 ]] || fail "Space at the end-of-run wait gave status $STATUS"
  end_display
}

start_plain_prefix || fail "wine prefix"
for check in "$@"; do
  started=$(date +%s)
  "check_$check"
  echo "PASS: directx $check ($(( $(date +%s) - started )) s)"
done
