#!/usr/bin/env bash
# Runs co2sim.exe under wine on a private Xvfb without a virtual desktop, where DirectDraw's
# exclusive mode depends on the X screen's size, and drives it with xdotool.
# Usage: directx_checks.sh CO2SIM_EXE SNAPSHOT_TOOL WORKDIR CHECK...
#   window:     1280x1024 screen, QXGFX=directx: full screen fails there, so the DirectX back
#               end opens a window; the table runs; Alt+Enter rebuilds the window; Space ends.
#   fullscreen: 1024x768 screen, no QXGFX: DirectX full screen; Alt+Enter to a window and back,
#               the whole picture sent again each time; the table runs; Space ends.
#   smallscreen: 800x600 screen with a window manager: the DirectX and GDI windows keep their
#               title bars on the screen.
# Pictures are compared with frames of the same run made by the (Linux) snapshot tool. In a
# 16-bit display mode wine widens the channels with rounding, so full screen allows 1 %.
set -uo pipefail
exe=$1 snapshot=$2 work=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/sessions/xvfb.sh"
source "$here/../support/sessions/wine.sh"
rm -rf "$work" && mkdir -p "$work"
unset QXGFX DISPLAY

# Each check has an X server of its own and a wineserver on it; the prefix stays.
start_display() {
  start_xvfb "$1" || fail "Xvfb did not start"
  start_wineserver || fail "the wineserver did not start"
}
end_display() {
  end_wineserver || fail "the wineserver did not end"
  stop_xvfb
}

APP_PID=""
start_app() {
  env "$@" "$here/wine_run.sh" "$exe" </dev/null >"$work/stdout.txt" 2>"$work/stderr.txt" &
  APP_PID=$!
}
app_ended() { process_gone "$APP_PID"; }
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
  grep -v ':trace:loaddll:' "$work/stderr.txt" >"$work/stderr-errors.txt"
  tail_of "$work/stderr-errors.txt" 10
  return 0
}
on_failure report_app
on_exit stop_app

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
# The last comparison is kept for a failure report.
matches() {
  import -window "$WIN" "$work/shot.png" 2>/dev/null || { LAST_SEEN="no screenshot of window $WIN"; return 1; }
  local size w h diff
  size=$(identify -format '%w %h' "$work/shot.png" 2>/dev/null) || return 1
  read -r w h <<<"$size"
  ((w >= 1000 && h >= 700)) || { LAST_SEEN="window $WIN is ${w}x${h}"; return 1; }
  convert "$1" -crop "${w}x${h}+0+0" +repage "$work/expected.png" || return 1
  diff=$(compare -fuzz "${2:-0}%" -metric AE "$work/expected.png" "$work/shot.png" null: 2>&1) || true
  LAST_SEEN="$diff pixels of $(basename "$1") differ in window $WIN (${w}x${h}; last screenshot $work/shot.png)"
  [[ "$diff" == "0" ]]
}
LAST_SEEN=""
report_picture() { [[ -n "$LAST_SEEN" ]] && echo "last comparison: $LAST_SEEN"; return 0; }
on_failure report_picture
differs() { ! matches "$@"; }
focus() { xdotool windowfocus --sync "$WIN" >/dev/null 2>&1; return 0; }
keys() { xdotool key --delay 60 "$@"; }
typed() { xdotool type --delay 60 "$1"; }

make_references() {
  "$snapshot" wait:line "shot:$work/entry.png" 'type:2\r' 'type:2.05\r' 'type:50\r' wait:end \
    "shot:$work/end.png" key:Space >/dev/null || fail "snapshot tool failed"
}
# Keys sent before the window takes input are lost: type a digit until one is echoed (waiting
# 4 s for each), then Escape clears the field however many arrived, then the three parameters.
# FUZZ is the tolerance of the form's picture.
type_parameters() {
  local i echoed=""
  for i in 1 2 3 4 5; do
    focus
    typed 1
    if poll 4 differs "$work/entry.png" "$1"; then echoed=1; break; fi
  done
  [[ -n "$echoed" ]] || fail "waited 5 times 4 s for a typed key to be echoed"
  (( i == 1 )) || echo "the window took keys after $i tries"
  keys Escape
  wait_for 30 "Escape to clear the field" matches "$work/entry.png" "$1"
  typed 2; keys Return; typed 2.05; keys Return; typed 50; keys Return
}

check_window() {
  start_display 1280x1024
  make_references
  start_app QXGFX=directx WINEDEBUG=-all,err+all,+loaddll
  wait_for 180 "the window titled co2sim to be mapped" find_window
  [[ $W == 1024 && $H == 768 ]] || fail "client area ${W}x${H}"
  (( X >= 120 && X <= 136 && Y >= 100 && Y <= 150 )) || fail "client area at $X,$Y: not centred"
  windowed || fail "full screen on a screen without the mode"
  # The keyboard device is opened only once a DirectDraw display has been built.
  wait_for 30 "the DirectX back end to open the keyboard device (dinput8.dll loaded)" grep -q 'dinput8.dll' "$work/stderr.txt"
  wait_for 90 "the entry form as in the frame buffer" matches "$work/entry.png"
  type_parameters 0
  wait_for 270 "the table's end as in the frame buffer" matches "$work/end.png"
  # Alt+Enter: full screen fails here, so the window is made again and the picture resent.
  local old=$WIN
  focus
  keys alt+Return
  wait_for 90 "Alt+Enter to rebuild the window (a new window titled co2sim)" find_new_window "$old"
  windowed || fail "full screen after Alt+Enter on a screen without the mode"
  wait_for 60 "the picture to be sent again after the switch" matches "$work/end.png"
  focus
  keys space
  await_app 90
  [[ "$STATUS" == 0 ]] || fail "Space at the end-of-run wait gave status $STATUS"
  end_display
}

check_fullscreen() {
  start_display 1024x768
  make_references
  start_app
  wait_for 180 "the window titled co2sim to be mapped" find_window
  wait_for 30 "full screen on a screen with the mode" full_screen
  [[ $X == 0 && $Y == 0 && $W == 1024 && $H == 768 ]] || fail "full screen at $X,$Y ${W}x${H}"
  wait_for 90 "the entry form in full screen" matches "$work/entry.png" 1
  local old=$WIN
  focus
  keys alt+Return
  wait_for 90 "Alt+Enter to make a new window" find_new_window "$old"
  windowed || fail "Alt+Enter did not leave full screen"
  # The window's own 32-bit surface shows the frame exactly.
  wait_for 60 "the picture to be sent again in the window" matches "$work/entry.png"
  old=$WIN
  focus
  keys alt+Return
  wait_for 90 "the second Alt+Enter to make a new window" find_new_window "$old"
  wait_for 30 "Alt+Enter to return to full screen" full_screen
  wait_for 60 "the picture to be sent again in full screen" matches "$work/entry.png" 1
  type_parameters 1
  wait_for 270 "the table's end as in the frame buffer" matches "$work/end.png" 1
  focus
  keys space
  await_app 90
  [[ "$STATUS" == 0 ]] || fail "Space at the end-of-run wait gave status $STATUS"
  end_display
}

# An 800x600 screen with a window manager: the windowed form of either back end (DirectX,
# whose full screen fails there, and GDI) keeps the frame unscaled and its title bar on the
# screen; the rest hangs off the right and bottom.
check_smallscreen() {
  start_display 800x600
  start_wm
  local form
  for form in directx gdi; do
    if [[ $form == gdi ]]; then start_app QXGFX=gdi WINEDLLOVERRIDES="mscoree,mshtml,ddraw="
    else start_app QXGFX=directx; fi
    wait_for 180 "$form: the window titled co2sim to be mapped" find_window
    poll 30 frame_on_screen "$WIN" 800 600 ||
      fail "$form: waited 30 s for the window's frame to be on the screen: frame at ($FRAME_X, $FRAME_Y), client at ($CLIENT_X, $CLIENT_Y)"
    ((FRAME_TOP > 0)) || fail "$form: no title bar from the window manager"
    [[ $CLIENT_W == 1024 && $CLIENT_H == 768 ]] || fail "$form: client area ${CLIENT_W}x${CLIENT_H}"
    stop_app
    no_window() { ! find_window; }
    wait_for 30 "$form: the window to close with the program" no_window
  done
  end_display
}

make_wine_prefix || fail "the wine prefix could not be made"
for check in "$@"; do
  started=$(date +%s)
  "check_$check"
  echo "PASS: directx $check ($(( $(date +%s) - started )) s)"
done
