#!/usr/bin/env bash
# Runs the real co2sim in a private Xvfb and drives it with real key events from xdotool.
# Usage: window_checks.sh CHECK CO2SIM SNAPSHOT_TOOL WORKDIR SCALE_TOOL
#   CHECK: window | fullscreen | nodisplay | displaylost | smallscreen | signalloss | choice
#          | stress | widescreen | hidpi | resizing
# The window contents are compared pixel for pixel with frames of the same run made by the
# snapshot tool on the in-memory screen; a scaled picture with those frames scaled by the
# window's own scaler (SCALE_TOOL, co2sim-picture-scale), and black around it. Exit 77
# (skipped) only when Xvfb is not installed.
set -uo pipefail
check=$1 co2sim=$2 snapshot=$3 work=$4 scale=${5:-}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/sessions/xvfb.sh"
rm -rf "$work" && mkdir -p "$work"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
export CI=true
unset SDL_VIDEODRIVER QXGFX

APP_PID=""
# start_app [VAR=VALUE | -u VAR]...: the program, with those changes to its environment.
start_app() {
  env "$@" "$co2sim" </dev/null >"$work/stdout.txt" 2>"$work/stderr.txt" &
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
# client_geometry: CLIENT_X CLIENT_Y CLIENT_W CLIENT_H, the window's client area on the screen.
# (xwininfo's absolute corner: xdotool's getwindowgeometry adds the offset inside the window
# manager's frame twice.)
CLIENT_X="?" CLIENT_Y="?" CLIENT_W="?" CLIENT_H="?"
client_geometry() {
  local info
  info=$(xwininfo -id "$WIN" 2>/dev/null) || return 1
  CLIENT_X=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  CLIENT_Y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
  CLIENT_W=$(awk '/^ *Width:/ {print $2}' <<<"$info")
  CLIENT_H=$(awk '/^ *Height:/ {print $2}' <<<"$info")
  [[ -n "$CLIENT_X" && -n "$CLIENT_H" ]]
}
# geometry_is WxH+X+Y: the window's client area has that size and place on the screen.
geometry_is() {
  client_geometry || return 1
  LAST_SEEN="window $WIN is ${CLIENT_W}x${CLIENT_H}+${CLIENT_X}+${CLIENT_Y}"
  [[ "${CLIENT_W}x${CLIENT_H}+${CLIENT_X}+${CLIENT_Y}" == "$1" ]]
}
# size_is WxH: the window's client area has that size, wherever it is.
size_is() {
  client_geometry || return 1
  LAST_SEEN="window $WIN is ${CLIENT_W}x${CLIENT_H}"
  [[ "${CLIENT_W}x${CLIENT_H}" == "$1" ]]
}
# whole_on_screen WIDTH HEIGHT: the window and the window manager's frame around it (with the
# title bar: a top edge of the frame) lie within a WIDTHxHEIGHT screen.
whole_on_screen() {
  local extents left=0 right=0 top=0 bottom=0
  client_geometry || return 1
  extents=$(xprop -id "$WIN" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p')
  [[ -n "$extents" ]] || { LAST_SEEN="no frame extents yet"; return 1; }
  IFS=', ' read -r left right top bottom <<<"$extents"
  LAST_SEEN="client ${CLIENT_W}x${CLIENT_H}+${CLIENT_X}+${CLIENT_Y} in a frame of $left $right $top $bottom (left right top bottom)"
  ((top > 0 && CLIENT_X - left >= 0 && CLIENT_Y - top >= 0 &&
    CLIENT_X + CLIENT_W + right <= $1 && CLIENT_Y + CLIENT_H + bottom <= $2))
}
# picture_at WxH+X+Y REF: the window shows REF scaled to WxH at (X, Y), pixel for pixel as the
# window's scaler makes it, and black everywhere else.
picture_at() {
  local rect=$1 ref=$2 w h x y shot="$work/shot.png" size box diff
  IFS='x+' read -r w h x y <<<"$rect"
  import -window "$WIN" "$shot" 2>/dev/null || { LAST_SEEN="no screenshot of window $WIN"; return 1; }
  size=$(identify -format '%wx%h' "$shot" 2>/dev/null) || return 1
  # Black around the picture: the brightest pixel with the picture painted over is black.
  box=$(convert "$shot" -fill black -draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))" \
        -format '%[fx:maxima]' info: 2>/dev/null)
  [[ "$box" == 0 ]] || { LAST_SEEN="window ${size}: not black around $rect (brightest $box; $shot)"; return 1; }
  "$scale" "$ref" "$w" "$h" "$work/expected-scaled.png" || fail "$scale failed"
  convert "$shot" -crop "$rect" +repage "$work/shot-picture.png" || return 1
  diff=$(compare -metric AE "$work/expected-scaled.png" "$work/shot-picture.png" null: 2>&1) || true
  LAST_SEEN="window ${size}: $diff pixels of $rect differ from $(basename "$ref") scaled ($shot)"
  [[ "$diff" == "0" ]]
}
# blocks_of REF K: the window shows REF with every pixel a K x K block, exactly.
blocks_of() {
  import -window "$WIN" "$work/shot.png" 2>/dev/null || { LAST_SEEN="no screenshot of window $WIN"; return 1; }
  local diff
  convert "$1" -sample "$(( $2 * 100 ))%" "$work/expected-blocks.png" || return 1
  diff=$(compare -metric AE "$work/expected-blocks.png" "$work/shot.png" null: 2>&1) || true
  LAST_SEEN="$diff pixels differ from $(basename "$1") in ${2}x blocks (window $WIN; $work/shot.png)"
  [[ "$diff" == "0" ]]
}
# set_xft_dpi DPI: the desktop's X resource Xft.dpi, as a desktop's settings daemon sets it.
set_xft_dpi() {
  if command -v xrdb >/dev/null; then
    printf 'Xft.dpi:\t%s\n' "$1" | xrdb -nocpp -merge -
  else
    xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "$(printf 'Xft.dpi:\t%s\n' "$1")"
  fi
}
has_icon() { xprop -id "$WIN" _NET_WM_ICON 2>/dev/null | grep -q 'Icon (64 x 64)'; }
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
    # An 800 x 600 display: full screen shows the whole picture scaled down, and the window
    # form is scaled below 1 so that it fits with its frame.
    xvfb_or_skip 800x600
    start_wm
    make_references
    start_app
    wait_for 90 "the window titled co2sim to be mapped" find_window
    wait_for 30 "full screen on a display smaller than the frame" full_screen
    wait_for 30 "the full-screen window to cover the display" geometry_is 800x600+0+0
    wait_for 90 "the entry form scaled to 800x600" picture_at 800x600+0+0 "$work/entry.png"
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    keys alt+Return
    wait_for 30 "Alt+Enter to leave full screen" windowed
    wait_for 30 "the window with its frame and title bar whole on the screen" whole_on_screen 800 600
    wait_for 30 "the picture to fill the scaled window" picture_at "${CLIENT_W}x${CLIENT_H}+0+0" "$work/entry.png"
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
    # brought back as a person would, and only then compared. The window form is scaled
    # below 1 on this display (the frame's size and a title bar do not fit), so a window
    # is switched back to full screen, where the picture is the frame pixel for pixel.
    last_press=0
    shown_and_matches() {
      local state
      state=$(xwininfo -id "$WIN" 2>/dev/null | awk '/Map State/ {print $3}')
      if [[ $state != IsViewable ]]; then
        LAST_SEEN="window $WIN not viewable (${state:-gone}): activated again"
        xdotool windowactivate "$WIN" >/dev/null 2>&1
        return 1
      fi
      if windowed; then
        now_us
        if ((NOW_US - last_press > 3000000)); then
          xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
          keys alt+Return
          last_press=$NOW_US
        fi
        LAST_SEEN="window $WIN in the window form: Alt+Enter pressed for full screen"
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
    # The window form on a 1024 x 768 display is scaled below 1 to fit with its frame: the
    # exact comparison is made in full screen.
    if windowed; then
      keys alt+Return
      wait_for 30 "Alt+Enter to return to full screen" full_screen
    fi
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
    # Full screen on any display, without a mode of the frame's size: the picture at 1.25x.
    wait_for 30 "full screen" full_screen
    wait_for 30 "the full-screen window to cover the display" geometry_is 1280x1024+0+0
    wait_for 90 "the entry form scaled to 1280x960, centred" picture_at 1280x960+0+32 "$work/entry.png"
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    wait_for 30 "the window to have the focus" has_focus
    keys alt+Return
    wait_for 30 "Alt+Enter to leave full screen" windowed
    wait_for 30 "a window of the frame's size" size_is 1024x768
    wait_for 90 "the entry form as in the frame buffer" matches "$work/entry.png"
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
    wait_for 30 "full screen" full_screen
    wait_for 90 "the entry form in full screen" matches "$work/entry.png"
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    keys alt+Return
    wait_for 30 "Alt+Enter to leave full screen" windowed
    # The frame's size and a frame do not fit a 1024 x 768 display: the window is scaled
    # below 1, whole on the screen.
    wait_for 30 "the window with its frame and title bar whole on the screen" whole_on_screen 1024 768
    wait_for 30 "the picture to be sent again in the window" picture_at "${CLIENT_W}x${CLIENT_H}+0+0" "$work/entry.png"
    # Made the frame's size, the window shows it pixel for pixel.
    xdotool windowsize --sync "$WIN" 1024 768 >/dev/null 2>&1
    wait_for 30 "the window to take the frame's size" size_is 1024x768
    wait_for 30 "the picture pixel for pixel in a window of the frame's size" matches "$work/entry.png"
    keys alt+Return
    wait_for 30 "Alt+Enter to return to full screen" full_screen
    wait_for 30 "the picture to be sent again in full screen" matches "$work/entry.png"
    kill -TERM "$APP_PID"
    await_app; status=$STATUS
    [[ "$status" == 143 ]] || fail "SIGTERM gave status $status"
    ;;

  widescreen)
    # A 1920 x 1080 desktop: full screen covers it with the picture at 4:3 in the middle; the
    # window form can be resized, and full screen gives it back at its last size.
    xvfb_or_skip 1920x1080
    start_wm
    make_references
    start_app
    wait_for 90 "the window titled co2sim to be mapped" find_window
    wait_for 30 "the program's icon (64 x 64) on the window" has_icon
    wait_for 30 "full screen" full_screen
    wait_for 30 "the full-screen window to cover the display" geometry_is 1920x1080+0+0
    wait_for 90 "the entry form at 4:3, centred, filling the height" picture_at 1440x1080+240+0 "$work/entry.png"
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    wait_for 30 "the window to have the focus" has_focus
    keys alt+Return
    wait_for 30 "Alt+Enter to leave full screen" windowed
    wait_for 30 "a window of the frame's size" size_is 1024x768
    wait_for 30 "the entry form pixel for pixel in the window" matches "$work/entry.png"
    xdotool windowsize --sync "$WIN" 1600 900 >/dev/null 2>&1
    wait_for 30 "the window resized to 1600x900" size_is 1600x900
    wait_for 30 "the picture to fill the height at 4:3" picture_at 1200x900+200+0 "$work/entry.png"
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    wait_for 30 "the window to have the focus" has_focus
    type_parameters_with_editing
    wait_for 180 "the table's end in the resized window" picture_at 1200x900+200+0 "$work/end.png"
    keys alt+Return
    wait_for 30 "Alt+Enter to return to full screen" full_screen
    wait_for 30 "the full-screen window to cover the display again" geometry_is 1920x1080+0+0
    wait_for 30 "the table's end in full screen" picture_at 1440x1080+240+0 "$work/end.png"
    keys alt+Return
    wait_for 30 "Alt+Enter to leave full screen again" windowed
    wait_for 30 "the window's last size (1600x900) back" size_is 1600x900
    wait_for 30 "the table's end in the window again" picture_at 1200x900+200+0 "$work/end.png"
    keys space
    await_app; status=$STATUS
    [[ "$status" == 0 ]] || fail "Space at the end-of-run wait gave status $status"
    [[ ! -s "$work/stderr.txt" ]] || fail "stderr: $(head -3 "$work/stderr.txt")"
    ;;

  hidpi)
    # A 3840 x 2160 desktop at twice the usual density (Xft.dpi 192): the window is 2048 x 1536
    # with every frame pixel a 2 x 2 block. GDK_SCALE that is not a whole number from 1 to 8
    # is not used: Xft.dpi decides.
    xvfb_or_skip 3840x2160
    start_wm
    set_xft_dpi 192
    make_references
    for setting in "-u GDK_SCALE" GDK_SCALE=abc GDK_SCALE=0 GDK_SCALE=100; do
      start_app $setting
      wait_for 90 "$setting: the window titled co2sim to be mapped" find_window
      wait_for 30 "$setting: full screen" full_screen
      wait_for 30 "$setting: the full-screen window to cover the display" geometry_is 3840x2160+0+0
      if [[ $setting == "-u GDK_SCALE" ]]; then
        wait_for 90 "the entry form at 4:3 on the 4K display" picture_at 2880x2160+480+0 "$work/entry.png"
      fi
      xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
      wait_for 30 "$setting: the window to have the focus" has_focus
      keys alt+Return
      wait_for 30 "$setting: Alt+Enter to leave full screen" windowed
      wait_for 30 "$setting: a window of twice the frame's size" size_is 2048x1536
      if [[ $setting == "-u GDK_SCALE" ]]; then
        wait_for 30 "the entry form in exact 2x2 blocks" blocks_of "$work/entry.png" 2
      fi
      kill -TERM "$APP_PID"
      await_app; status=$STATUS
      [[ "$status" == 143 ]] || fail "$setting: SIGTERM gave status $status"
      [[ ! -s "$work/stderr.txt" ]] || fail "$setting: stderr: $(head -3 "$work/stderr.txt")"
    done
    ;;

  resizing)
    # Rough handling while the table animates: Alt+Enter held down, a storm of resizes (to
    # 1 x 1, beyond the display, back and forth), the display's size changed under the
    # program. Afterwards the picture is whole and exact, and typed keys still arrive.
    xvfb_or_skip 1280x1024
    start_wm
    "$snapshot" wait:line "shot:$work/entry.png" 'type:2\r' 'type:2.3\r' 'type:50\r' wait:end \
      "shot:$work/end.png" key:Space >/dev/null || fail "snapshot tool failed"
    start_app
    wait_for 90 "the window titled co2sim to be mapped" find_window
    wait_for 30 "full screen" full_screen
    wait_for 90 "the entry form in full screen" picture_at 1280x960+0+32 "$work/entry.png"
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    wait_for 30 "the window to have the focus" has_focus
    # Held for two seconds, the key repeats; only the first press switches.
    xdotool keydown alt+Return; sleep 2; xdotool keyup Return alt
    wait_for 30 "Alt+Enter held down to leave full screen" windowed
    holds_for 1 windowed || fail "Alt+Enter held down switched more than once"
    wait_for 30 "a window of the frame's size" size_is 1024x768
    wait_for 30 "the entry form in the window" matches "$work/entry.png"
    typed 2; keys Return; typed 2.3; keys Return; typed 50; keys Return
    wait_for 120 "the table's heading with the typed values" matches "$work/end.png" 940x48+0+0
    for size in "1 1" "1600 1200" "300 200" "2500 2000" "640 480" "1 700" "1200 1" "1024 768" \
                "900 900" "1279 1023" "17 13" "1100 700"; do
      xdotool windowsize "$WIN" $size >/dev/null 2>&1
      sleep 0.15
    done
    for i in $(seq 1 20); do xdotool windowsize "$WIN" $((400 + i * 37)) $((300 + i * 23)) >/dev/null 2>&1; done
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended during the resizes"
    if command -v xrandr >/dev/null && xrandr --newmode 1024x768 60 1024 1030 1040 1050 768 770 772 774 &&
       xrandr --addmode screen 1024x768 2>/dev/null; then
      # The display shrinks under a full-screen window and grows back.
      xdotool windowsize --sync "$WIN" 1024 768 >/dev/null 2>&1
      keys alt+Return
      wait_for 30 "Alt+Enter to enter full screen" full_screen
      xrandr --output screen --mode 1024x768 || fail "xrandr could not change the display's size"
      wait_for 30 "the full-screen window to follow the display to 1024x768" geometry_is 1024x768+0+0
      wait_for 180 "the table's end pixel for pixel on the smaller display" matches "$work/end.png"
      xrandr --output screen --mode 1280x1024 || fail "xrandr could not restore the display's size"
      wait_for 30 "the full-screen window to follow the display to 1280x1024" geometry_is 1280x1024+0+0
      wait_for 30 "the table's end at 1.25x" picture_at 1280x960+0+32 "$work/end.png"
      keys alt+Return
      wait_for 30 "Alt+Enter to leave full screen" windowed
    else
      echo "xrandr cannot change this server's size: that step is left out"
    fi
    xdotool windowsize --sync "$WIN" 1024 768 >/dev/null 2>&1
    wait_for 30 "the window back at the frame's size" size_is 1024x768
    wait_for 180 "the table's end as in the frame buffer" matches "$work/end.png"
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
    # Keys still arrive: a new run, its three values, its end.
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
    wait_for 30 "the window to have the focus" has_focus
    keys x
    wait_for 90 "a key to start a new run (the entry form)" matches "$work/entry.png"
    typed 2; keys Return; typed 2.3; keys Return; typed 50; keys Return
    wait_for 180 "the second run's end as in the frame buffer" matches "$work/end.png"
    keys space
    await_app; status=$STATUS
    [[ "$status" == 0 ]] || fail "Space at the end-of-run wait gave status $status"
    [[ ! -s "$work/stderr.txt" ]] || fail "stderr: $(head -3 "$work/stderr.txt")"
    ;;

  *) echo "unknown check $check"; exit 2 ;;
esac
echo "PASS: $check"
