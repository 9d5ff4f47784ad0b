#!/usr/bin/env bash
# Runs the real co2sim in a private Xvfb and drives it with real key events from xdotool.
# Usage: window_checks.sh CHECK CO2SIM SNAPSHOT_TOOL WORKDIR
#   CHECK: window | fullscreen | nodisplay | displaylost | smallscreen | signalloss | choice
#          | stress
# The window contents are compared pixel for pixel with frames of the same run made by the
# snapshot tool on the in-memory screen. Exit 77 (skipped) only when Xvfb cannot start.
set -uo pipefail
check=$1 co2sim=$2 snapshot=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xvfb_session.sh"
trap cleanup_session EXIT
mkdir -p "$work"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
export CI=true
unset SDL_VIDEODRIVER QXGFX

APP_PID=""
start_app() {
  "$co2sim" </dev/null >"$work/stdout.txt" 2>"$work/stderr.txt" &
  APP_PID=$!
}
# await_app: waits for the program to end (at most 10 s) and sets STATUS (not in a subshell:
# only this shell can wait for its child).
app_ended() { ! kill -0 "$APP_PID" 2>/dev/null || [[ $(awk '{print $3}' "/proc/$APP_PID/stat" 2>/dev/null) == Z ]]; }
await_app() {
  if ! poll 10 app_ended; then kill -KILL "$APP_PID"; wait "$APP_PID" 2>/dev/null; STATUS=timeout; return; fi
  wait "$APP_PID"
  STATUS=$?
}
find_window() { WIN=$(xdotool search --name '^co2sim$' 2>/dev/null | head -1); [[ -n "$WIN" ]]; }
# matches REF: the window's client area equals the reference frame in every pixel. A window
# that reaches past the screen's edge is compared on its visible part (at least 1000x700).
matches() {
  import -window "$WIN" "$work/shot.png" 2>/dev/null || return 1
  local size w h diff
  size=$(identify -format '%w %h' "$work/shot.png" 2>/dev/null) || return 1
  read -r w h <<<"$size"
  ((w >= 1000 && h >= 700)) || return 1
  convert "$1" -crop "${w}x${h}+0+0" +repage "$work/expected.png" || return 1
  diff=$(compare -metric AE "$work/expected.png" "$work/shot.png" null: 2>&1) || true
  [[ "$diff" == "0" ]]
}
differs() { ! matches "$1"; }
full_screen() { xprop -id "$WIN" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN; }
windowed() { ! full_screen; }
keys() { xdotool key --delay 40 "$@"; }
typed() { xdotool type --delay 40 "$1"; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$APP_PID/stat"; }

make_references() {
  "$snapshot" wait:line "shot:$work/entry.png" 'type:2\r' 'type:2.05\r' 'type:50\r' wait:end \
    "shot:$work/end.png" key:Space >/dev/null || fail "snapshot tool failed"
}

type_parameters_with_editing() {
  # "12", Home, Delete gives "2"; "2.5", Left, "0" gives "2.05".
  typed 12; keys Home Delete Return
  typed 2.5; keys Left; typed 0; keys Return
  typed 50; keys Return
}

case "$check" in
  nodisplay)
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR "$co2sim" </dev/null 2>"$work/stderr.txt")
    status=$?
    [[ "$out" == "Error setting video mode!" ]] || fail "stdout was '$out'"
    # Exactly one line: the text and its line end.
    [[ $(env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR "$co2sim" </dev/null 2>/dev/null | wc -c) == 26 ]] ||
      fail "stdout is not the one line"
    [[ $status == 0 ]] || fail "status $status"
    # Without QXGFX naming the terminal, the one line is all the output there is.
    [[ ! -s "$work/stderr.txt" ]] || fail "stderr: $(head -3 "$work/stderr.txt")"
    ;;

  displaylost)
    start_xvfb 1280x1024 || { echo "Xvfb cannot start: skipped"; exit 77; }
    start_app
    poll 10 find_window || fail "no window"
    kill "$XVFB_PID"; wait "$XVFB_PID" 2>/dev/null; XVFB_PID=""
    await_app; status=$STATUS
    [[ "$status" == 0 ]] || fail "status $status after the display was lost"
    [[ ! -s "$work/stderr.txt" ]] || fail "stderr: $(head -3 "$work/stderr.txt")"
    ;;

  signalloss)
    # A logout: the termination signal and the end of the X server at the same moment.
    for try in 1 2 3 4 5; do
      start_xvfb 1280x1024 || { echo "Xvfb cannot start: skipped"; exit 77; }
      start_app
      poll 10 find_window || fail "no window (try $try)"
      kill -TERM "$APP_PID"; kill "$XVFB_PID"
      wait "$XVFB_PID" 2>/dev/null; XVFB_PID=""
      await_app; status=$STATUS
      [[ "$status" == 143 ]] || fail "try $try: status $status"
      [[ ! -s "$work/stderr.txt" ]] || fail "try $try: stderr: $(head -3 "$work/stderr.txt")"
    done
    ;;

  smallscreen)
    start_xvfb 800x600 || { echo "Xvfb cannot start: skipped"; exit 77; }
    start_wm || exit 1
    start_app
    poll 10 find_window || fail "no window"
    frame_on_screen() {
      eval "$(xdotool getwindowgeometry --shell "$WIN")"
      local extents left=0 top=0
      extents=$(xprop -id "$WIN" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p')
      [[ -n "$extents" ]] || return 1
      IFS=', ' read -r left _ top _ <<<"$extents"
      FRAME_X=$((X - left)) FRAME_Y=$((Y - top)) TOP=$top
      ((FRAME_X >= 0 && FRAME_Y >= 0 && FRAME_X < 800 && FRAME_Y < 600))
    }
    poll 5 frame_on_screen || fail "window frame at ($FRAME_X, $FRAME_Y), client at ($X, $Y)"
    ((TOP > 0)) || fail "no title bar from the window manager"
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    [[ $WIDTH == 1024 && $HEIGHT == 768 ]] || fail "client area ${WIDTH}x${HEIGHT}: the frame must stay unscaled"
    kill -TERM "$APP_PID"
    await_app; status=$STATUS
    [[ "$status" == 143 ]] || fail "SIGTERM gave status $status"
    ;;

  stress)
    # Key floods, Alt+Enter and minimising while the table animates: the table ends as in
    # the frame buffer and the program goes on.
    start_xvfb 1024x768 || { echo "Xvfb cannot start: skipped"; exit 77; }
    start_wm || exit 1
    "$snapshot" 'type:2\r' 'type:2.3\r' 'type:50\r' wait:end "shot:$work/end.png" key:Space >/dev/null ||
      fail "snapshot tool failed"
    start_app
    poll 10 find_window || fail "no window"
    poll 5 full_screen || fail "not full screen"
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    sleep 1.5
    typed 2; keys Return; typed 2.3; keys Return; typed 50; keys Return
    for round in 1 2 3; do
      xdotool key --delay 0 $(printf 'x %.0s' $(seq 1 60)) Left Right F5 Escape
      keys alt+Return alt+Return alt+Return
      xdotool windowminimize --sync "$WIN" >/dev/null 2>&1
      sleep 0.3
      xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
      kill -0 "$APP_PID" 2>/dev/null || fail "the program ended during round $round"
    done
    # The flood keys are not typed anywhere on the page. (An Alt+Enter that arrives while
    # the window is not active is ignored, so the form it is left in may be either.)
    poll 30 matches "$work/end.png" || fail "the table did not end as in the frame buffer"
    # Focus comes back to the window through the window manager, which may take a moment
    # under load: a press that found the window inactive is tried again.
    switches=""
    for attempt in 1 2 3; do
      xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
      sleep 0.5
      if full_screen; then switched() { windowed; }; else switched() { full_screen; }; fi
      keys alt+Return
      if poll 3 switched; then switches=yes; break; fi
    done
    [[ -n "$switches" ]] || fail "Alt+Enter no longer switches"
    poll 5 matches "$work/end.png" || fail "picture not sent again after the last switch"
    keys space
    await_app; status=$STATUS
    [[ "$status" == 0 ]] || fail "Space at the end-of-run wait gave status $STATUS"
    [[ ! -s "$work/stderr.txt" ]] || fail "stderr: $(head -3 "$work/stderr.txt")"
    ;;

  choice)
    # A desktop whose display has no 1024 x 768 mode, started from a terminal that is large
    # enough: a window, unless QXGFX names the terminal.
    command -v tmux >/dev/null || { echo "tmux is not installed: skipped"; exit 77; }
    start_xvfb 1280x1024 || { echo "Xvfb cannot start: skipped"; exit 77; }
    socket="co2sim-choice-$$"
    T() { tmux -L "$socket" -f /dev/null "$@"; }
    trap 'T kill-server >/dev/null 2>&1; cleanup_session' EXIT
    for choice in none sdl SDL terminal; do
      T kill-server >/dev/null 2>&1
      setting="-u QXGFX"; [[ $choice != none ]] && setting="QXGFX=$choice"
      T new-session -d -x 130 -y 50 \
        "env $setting DISPLAY=$DISPLAY TERM=xterm-256color $co2sim 2>$work/stderr.txt; sleep 600" ||
        fail "tmux cannot start"
      pane_shows() { T capture-pane -p -t 0 | grep -qF "$1"; }
      if [[ $choice == terminal ]]; then
        poll 20 pane_shows "DESDE (2-58)" || fail "QXGFX=terminal: no entry form in the terminal"
        find_window && fail "QXGFX=terminal opened a window"
      else
        poll 10 find_window || fail "$choice: no window"
        [[ $(xdotool getwindowname "$WIN") == co2sim ]] || fail "$choice: title"
        pane_shows "DESDE" && fail "$choice: the terminal was taken too"
      fi
      T send-keys -t 0 C-c
      sleep 0.3
      [[ ! -s "$work/stderr.txt" ]] || fail "$choice: stderr: $(head -3 "$work/stderr.txt")"
    done
    ;;

  window)
    start_xvfb 1280x1024 || { echo "Xvfb cannot start: skipped"; exit 77; }
    start_wm || exit 1
    make_references
    start_app
    poll 10 find_window || fail "no window"
    [[ $(xdotool getwindowname "$WIN") == co2sim ]] || fail "title"
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    [[ $WIDTH == 1024 && $HEIGHT == 768 ]] || fail "client area ${WIDTH}x${HEIGHT}"
    # No 1024-wide display mode on this screen: the full-screen request fell back to a window.
    windowed || fail "full screen on a display without the mode"
    poll 15 matches "$work/entry.png" || fail "entry form not shown as in the frame buffer"
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    # Delete at the end of the empty line sounds the tone (no sound card here: silently).
    keys Delete
    type_parameters_with_editing
    poll 3 differs "$work/entry.png" || fail "typing changed nothing"
    before=$(cpu_ticks); started=$(date +%s%N)
    poll 30 matches "$work/end.png" || fail "the table did not end as in the frame buffer"
    after=$(cpu_ticks); ended=$(date +%s%N)
    echo "CPU while the table animates: $(( (after - before) * 100000000000 / $(getconf CLK_TCK) / (ended - started) ))% of a core"
    # The window manager's close (the close button's request) starts a new run.
    keys alt+F4
    poll 5 differs "$work/end.png" || fail "close request did not start a new run"
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended on the close request"
    find_window || fail "the window closed"
    poll 15 matches "$work/entry.png" || fail "new run did not reach the entry form"
    typed 2; keys Return; typed 2.05; keys Return; typed 50; keys Return
    poll 30 matches "$work/end.png" || fail "second run did not end as in the frame buffer"
    keys space
    await_app; status=$STATUS
    [[ "$status" == 0 ]] || fail "Space at the end-of-run wait gave status $status"
    [[ ! -s "$work/stderr.txt" ]] || fail "stderr: $(head -3 "$work/stderr.txt")"
    ;;

  fullscreen)
    start_xvfb 1024x768 || { echo "Xvfb cannot start: skipped"; exit 77; }
    start_wm || exit 1
    make_references
    start_app
    poll 10 find_window || fail "no window"
    poll 5 full_screen || fail "not full screen on a display with the mode"
    poll 15 matches "$work/entry.png" || fail "entry form not shown in full screen"
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    keys alt+Return
    poll 5 windowed || fail "Alt+Enter did not leave full screen"
    poll 5 matches "$work/entry.png" || fail "picture not sent again in the window"
    keys alt+Return
    poll 5 full_screen || fail "Alt+Enter did not return to full screen"
    poll 5 matches "$work/entry.png" || fail "picture not sent again in full screen"
    kill -TERM "$APP_PID"
    await_app; status=$STATUS
    [[ "$status" == 143 ]] || fail "SIGTERM gave status $status"
    ;;

  *) echo "unknown check $check"; exit 2 ;;
esac
echo "PASS: $check"
