#!/usr/bin/env bash
# Runs the real co2sim in a private Xvfb and drives it with real key events from xdotool.
# Usage: window_checks.sh CHECK CO2SIM SNAPSHOT_TOOL WORKDIR
#   CHECK: window | fullscreen | nodisplay | displaylost | smallscreen | signalloss | choice
#          | stress
# The window contents are compared pixel for pixel with frames of the same run made by the
# snapshot tool on the in-memory screen. Exit 77 (skipped) only when Xvfb is not installed.
set -uo pipefail
check=$1 co2sim=$2 snapshot=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/sessions/xvfb.sh"
rm -rf "$work" && mkdir -p "$work"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
export CI=true
unset SDL_VIDEODRIVER QXGFX

APP_PID=""
start_app() {
  "$co2sim" </dev/null >"$work/stdout.txt" 2>"$work/stderr.txt" &
  APP_PID=$!
}
stop_app() { end_process "$APP_PID"; APP_PID=""; }
report_app() {
  [[ -n "$APP_PID" ]] || return 0
  if process_gone "$APP_PID"; then echo "co2sim has ended"; else echo "co2sim is running"; fi
  tail_of "$work/stderr.txt" 10
}
on_failure report_app
on_exit stop_app
app_ended() { process_gone "$APP_PID"; }
# await_app: waits (at most 60 s) for the program to end and sets STATUS (not in a subshell:
# only this shell can wait for its child).
await_app() {
  if ! poll 60 app_ended; then STATUS=timeout; return; fi
  wait "$APP_PID"
  STATUS=$?
  APP_PID=""
}
# find_window: WIN, the program's window, once it is mapped.
find_window() { WIN=$(xdotool search --onlyvisible --name '^co2sim$' 2>/dev/null | head -1); [[ -n "$WIN" ]]; }
# matches REF: the window's client area equals the reference frame in every pixel. A window
# that reaches past the screen's edge is compared on its visible part (at least 1000x700).
# The last comparison is kept for a failure report. matches REF WxH+X+Y compares only that
# part of both.
matches() {
  import -window "$WIN" "$work/shot.png" 2>/dev/null || { LAST_SEEN="no screenshot of window $WIN"; return 1; }
  local size w h diff part=${2:-} seen="$work/shot.png"
  size=$(identify -format '%w %h' "$seen" 2>/dev/null) || return 1
  read -r w h <<<"$size"
  ((w >= 1000 && h >= 700)) || { LAST_SEEN="window $WIN is ${w}x${h}"; return 1; }
  if [[ -n "$part" ]]; then
    convert "$seen" -crop "$part" +repage "$work/shot-part.png" || return 1
    seen="$work/shot-part.png"
  fi
  convert "$1" -crop "${part:-${w}x${h}+0+0}" +repage "$work/expected.png" || return 1
  diff=$(compare -metric AE "$work/expected.png" "$seen" null: 2>&1) || true
  LAST_SEEN="$diff pixels of $(basename "$1")${part:+ ($part)} differ in window $WIN (${w}x${h}; last screenshot $work/shot.png)"
  [[ "$diff" == "0" ]]
}
LAST_SEEN=""
report_picture() { [[ -n "$LAST_SEEN" ]] && echo "last comparison: $LAST_SEEN"; return 0; }
on_failure report_picture
differs() { ! matches "$1"; }
full_screen() { xprop -id "$WIN" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN; }
windowed() { ! full_screen; }
keys() { xdotool key --delay 40 "$@"; }
typed() { xdotool type --delay 40 "$1"; }
has_focus() { [[ $(xdotool getactivewindow 2>/dev/null) == "$WIN" ]]; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$APP_PID/stat"; }
xvfb_or_skip() {
  command -v Xvfb >/dev/null || { echo "Xvfb is not installed: skipped"; exit 77; }
  start_xvfb "$1" || fail "Xvfb did not start"
}

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
    xvfb_or_skip 1280x1024
    start_app
    wait_for 90 "the window titled co2sim to be mapped" find_window
    stop_xvfb
    await_app; status=$STATUS
    [[ "$status" == 0 ]] || fail "status $status after the display was lost"
    [[ ! -s "$work/stderr.txt" ]] || fail "stderr: $(head -3 "$work/stderr.txt")"
    ;;

  signalloss)
    # A logout: the termination signal and the end of the X server at the same moment.
    for try in 1 2 3 4 5; do
      xvfb_or_skip 1280x1024
      start_app
      wait_for 90 "try $try: the window titled co2sim to be mapped" find_window
      kill -TERM "$APP_PID"; stop_xvfb
      await_app; status=$STATUS
      [[ "$status" == 143 ]] || fail "try $try: status $status"
      [[ ! -s "$work/stderr.txt" ]] || fail "try $try: stderr: $(head -3 "$work/stderr.txt")"
    done
    ;;

  smallscreen)
    xvfb_or_skip 800x600
    start_wm
    start_app
    wait_for 90 "the window titled co2sim to be mapped" find_window
    poll 30 frame_on_screen "$WIN" 800 600 ||
      fail "waited 30 s for the window's frame to be on the screen: frame at ($FRAME_X, $FRAME_Y), client at ($CLIENT_X, $CLIENT_Y)"
    ((FRAME_TOP > 0)) || fail "no title bar from the window manager"
    [[ $CLIENT_W == 1024 && $CLIENT_H == 768 ]] || fail "client area ${CLIENT_W}x${CLIENT_H}: the frame must stay unscaled"
    kill -TERM "$APP_PID"
    await_app; status=$STATUS
    [[ "$status" == 143 ]] || fail "SIGTERM gave status $status"
    ;;

  stress)
    # Key floods, Alt+Enter and minimising while the table animates: the table ends as in
    # the frame buffer and the program goes on.
    xvfb_or_skip 1024x768
    start_wm
    "$snapshot" wait:line "shot:$work/entry.png" 'type:2\r' 'type:2.3\r' 'type:50\r' wait:end \
      "shot:$work/end.png" key:Space >/dev/null || fail "snapshot tool failed"
    start_app
    wait_for 90 "the window titled co2sim to be mapped" find_window
    wait_for 30 "full screen on a display with the mode" full_screen
    wait_for 90 "the entry form in full screen" matches "$work/entry.png"
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    wait_for 30 "the window to have the focus" has_focus
    typed 2; keys Return; typed 2.3; keys Return; typed 50; keys Return
    # The queue keeps only the newest 15 keys, so a flood typed before the program has taken
    # the last Return (a slow build on a busy machine) pushes the typed values out. The table
    # draws its heading, with the three values, once and keeps it: the flood waits for that.
    wait_for 120 "the table's heading with the typed values" matches "$work/end.png" 940x48+0+0
    for round in 1 2 3; do
      xdotool key --delay 0 $(printf 'x %.0s' $(seq 1 60)) Left Right F5 Escape
      keys alt+Return alt+Return alt+Return
      xdotool windowminimize --sync "$WIN" >/dev/null 2>&1
      xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
      kill -0 "$APP_PID" 2>/dev/null || fail "the program ended during round $round"
    done
    # The flood keys are not typed anywhere on the page. (An Alt+Enter that arrives while
    # the window is not active is ignored, so the form it is left in may be either.) A
    # switch handled late, after the last restore, can leave the window minimised: it is
    # brought back as a person would, and only then compared.
    shown_and_matches() {
      local state
      state=$(xwininfo -id "$WIN" 2>/dev/null | awk '/Map State/ {print $3}')
      if [[ $state != IsViewable ]]; then
        LAST_SEEN="window $WIN not viewable (${state:-gone}): activated again"
        xdotool windowactivate "$WIN" >/dev/null 2>&1
        return 1
      fi
      matches "$1"
    }
    wait_for 180 "the table's end as in the frame buffer" shown_and_matches "$work/end.png"
    # Focus comes back to the window through the window manager, which may take a moment
    # under load: a press that found the window inactive is tried again.
    switches=""
    for attempt in 1 2 3; do
      xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
      poll 10 has_focus
      if full_screen; then switched() { windowed; }; else switched() { full_screen; }; fi
      keys alt+Return
      if poll 10 switched; then switches=yes; break; fi
    done
    [[ -n "$switches" ]] || fail "Alt+Enter no longer switches"
    wait_for 30 "the picture to be sent again after the last switch" matches "$work/end.png"
    keys space
    await_app; status=$STATUS
    [[ "$status" == 0 ]] || fail "Space at the end-of-run wait gave status $STATUS"
    [[ ! -s "$work/stderr.txt" ]] || fail "stderr: $(head -3 "$work/stderr.txt")"
    ;;

  choice)
    # A desktop whose display has no 1024 x 768 mode, started from a terminal that is large
    # enough: a window, unless QXGFX names the terminal.
    command -v tmux >/dev/null || { echo "tmux is not installed: skipped"; exit 77; }
    source "$here/../support/sessions/tmux.sh"
    xvfb_or_skip 1280x1024
    pane_shows() { T capture-pane -p -t 0 | grep -qF "$1"; }
    program_ended() { [[ -s "$work/choice-status" ]]; }
    for choice in none sdl SDL terminal; do
      setting="-u QXGFX"; [[ $choice != none ]] && setting="QXGFX=$choice"
      rm -f "$work/choice-status"
      # The pane's shell outlives Ctrl+C (a handler, not an ignored signal, which the program
      # would inherit) to write the program's status.
      start_tmux 130 50 "trap true INT; env $setting DISPLAY=$DISPLAY TERM=xterm-256color $co2sim 2>$work/stderr.txt; echo \$? >$work/choice-status; sleep 600"
      if [[ $choice == terminal ]]; then
        wait_for 90 "QXGFX=terminal: the entry form in the terminal" pane_shows "DESDE (2-58)"
        find_window && fail "QXGFX=terminal opened a window"
      else
        wait_for 90 "$choice: the window titled co2sim to be mapped" find_window
        [[ $(xdotool getwindowname "$WIN") == co2sim ]] || fail "$choice: title"
        pane_shows "DESDE" && fail "$choice: the terminal was taken too"
      fi
      T send-keys -t 0 C-c
      wait_for 30 "$choice: the program to end on Ctrl+C" program_ended
      [[ ! -s "$work/stderr.txt" ]] || fail "$choice: stderr: $(head -3 "$work/stderr.txt")"
    done
    ;;

  window)
    xvfb_or_skip 1280x1024
    start_wm
    make_references
    start_app
    wait_for 90 "the window titled co2sim to be mapped" find_window
    [[ $(xdotool getwindowname "$WIN") == co2sim ]] || fail "title"
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    [[ $WIDTH == 1024 && $HEIGHT == 768 ]] || fail "client area ${WIDTH}x${HEIGHT} when mapped"
    # No 1024-wide display mode on this screen: the full-screen request fell back to a window.
    windowed || fail "full screen on a display without the mode"
    wait_for 90 "the entry form as in the frame buffer" matches "$work/entry.png"
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    # Delete at the end of the empty line sounds the tone (no sound card here: silently).
    keys Delete
    type_parameters_with_editing
    wait_for 30 "the typed keys to change the picture" differs "$work/entry.png"
    before=$(cpu_ticks); started=$(date +%s%N)
    wait_for 180 "the table's end as in the frame buffer" matches "$work/end.png"
    after=$(cpu_ticks); ended=$(date +%s%N)
    echo "CPU while the table animates: $(( (after - before) * 100000000000 / $(getconf CLK_TCK) / (ended - started) ))% of a core"
    # The window manager's close (the close button's request) starts a new run.
    keys alt+F4
    wait_for 30 "the close request to start a new run (the picture to change)" differs "$work/end.png"
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended on the close request"
    find_window || fail "the window closed"
    wait_for 90 "the new run's entry form" matches "$work/entry.png"
    typed 2; keys Return; typed 2.05; keys Return; typed 50; keys Return
    wait_for 180 "the second run's end as in the frame buffer" matches "$work/end.png"
    keys space
    await_app; status=$STATUS
    [[ "$status" == 0 ]] || fail "Space at the end-of-run wait gave status $status"
    [[ ! -s "$work/stderr.txt" ]] || fail "stderr: $(head -3 "$work/stderr.txt")"
    ;;

  fullscreen)
    xvfb_or_skip 1024x768
    start_wm
    make_references
    start_app
    wait_for 90 "the window titled co2sim to be mapped" find_window
    wait_for 30 "full screen on a display with the mode" full_screen
    wait_for 90 "the entry form in full screen" matches "$work/entry.png"
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    keys alt+Return
    wait_for 30 "Alt+Enter to leave full screen" windowed
    wait_for 30 "the picture to be sent again in the window" matches "$work/entry.png"
    keys alt+Return
    wait_for 30 "Alt+Enter to return to full screen" full_screen
    wait_for 30 "the picture to be sent again in full screen" matches "$work/entry.png"
    kill -TERM "$APP_PID"
    await_app; status=$STATUS
    [[ "$status" == 143 ]] || fail "SIGTERM gave status $status"
    ;;

  *) echo "unknown check $check"; exit 2 ;;
esac
echo "PASS: $check"
