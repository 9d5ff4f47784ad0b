# A private X server for the window checks, and a window manager on it. Sourced, not run.
# The server chooses a free display itself (-displayfd: it binds the display's sockets, which
# fails while another server holds them, and only then reports the number), so checks and
# other users of the machine starting servers at the same time never share a display.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

XVFB_PID=""
XVFB_LOG=""
WM_PID=""
WM_LOG=""

xvfb_answers() { xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; }

# start_xvfb WIDTHxHEIGHT: sets DISPLAY once the server answers; 1 when Xvfb is missing or
# no server came up (the reason is printed).
start_xvfb() {
  command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; return 1; }
  local number_file="$SESSION_DIR/xvfb-display.$RANDOM"
  XVFB_LOG="$SESSION_DIR/xvfb.log"
  : >"$number_file"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$number_file" 2>>"$XVFB_LOG" &
  XVFB_PID=$!
  # Complete once the line end has arrived.
  reported() { (( $(wc -l <"$number_file") >= 1 )) || process_gone "$XVFB_PID"; }
  # The number arrives once the server listens: seconds on a loaded machine.
  if ! poll 60 reported || process_gone "$XVFB_PID"; then
    echo "Xvfb did not report a display"; tail_of "$XVFB_LOG"
    end_process "$XVFB_PID"; XVFB_PID=""
    return 1
  fi
  export DISPLAY=":$(head -1 "$number_file")"
  if ! poll 30 xvfb_answers; then
    echo "Xvfb on $DISPLAY does not answer"; tail_of "$XVFB_LOG"
    end_process "$XVFB_PID"; XVFB_PID=""
    return 1
  fi
  return 0
}

# stop_xvfb: ends the server (and the window manager on it) and waits until it has gone.
stop_xvfb() {
  stop_wm
  end_process "$XVFB_PID"
  XVFB_PID=""
}

wm_ready() {
  process_gone "$WM_PID" && return 1
  local id
  id=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) || return 1
  [[ $id == *"window id"* ]]
}
# start_wm: openbox on DISPLAY, ready once it has announced itself on the root window.
start_wm() {
  WM_LOG="$SESSION_DIR/openbox.log"
  openbox --sm-disable >/dev/null 2>>"$WM_LOG" &
  WM_PID=$!
  wait_for 30 "openbox to announce itself on the root window (_NET_SUPPORTING_WM_CHECK)" wm_ready
}
stop_wm() { end_process "$WM_PID"; WM_PID=""; }

# frame_on_screen WIN WIDTH HEIGHT: the window manager's frame of WIN (client area plus the
# _NET_FRAME_EXTENTS it announces) starts on a WIDTHxHEIGHT screen. Sets FRAME_X FRAME_Y,
# CLIENT_X CLIENT_Y CLIENT_W CLIENT_H and FRAME_TOP (the title bar's height) for the caller.
FRAME_X="?" FRAME_Y="?" CLIENT_X="?" CLIENT_Y="?" CLIENT_W="?" CLIENT_H="?" FRAME_TOP=0
frame_on_screen() {
  local X Y WIDTH HEIGHT extents left=0 top=0
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)" || return 1
  CLIENT_X=$X CLIENT_Y=$Y CLIENT_W=$WIDTH CLIENT_H=$HEIGHT
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p')
  [[ -n "$extents" ]] || return 1
  IFS=', ' read -r left _ top _ <<<"$extents"
  FRAME_X=$((X - left)) FRAME_Y=$((Y - top)) FRAME_TOP=$top
  ((FRAME_X >= 0 && FRAME_Y >= 0 && FRAME_X < $2 && FRAME_Y < $3))
}

# The window list and the server's error output, for a failed check.
report_windows() {
  [[ -n "$XVFB_PID" ]] || return 0
  echo "windows on $DISPLAY (id, geometry, name):"
  local id
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null | head -20); do
    echo "  $id $(xwininfo -id "$id" 2>/dev/null | awk '/geometry/ {print $2}') $(xdotool getwindowname "$id" 2>/dev/null)"
  done
  # Less the lines of the search for a free display (displays other servers hold).
  grep -v -e 'SocketCreateListener' -e 'server already running' "$XVFB_LOG" >"$SESSION_DIR/xvfb-errors.log"
  [[ -s "$SESSION_DIR/xvfb-errors.log" ]] && tail_of "$SESSION_DIR/xvfb-errors.log" 5
  [[ -n "$WM_PID" && -s "$WM_LOG" ]] && tail_of "$WM_LOG" 5
  return 0
}
on_failure report_windows
on_exit stop_xvfb
