# Shared by the window checks: a private Xvfb on a free display number, an optional window
# manager, and polling helpers. Sourced, not run.
XVFB_PID=""
WM_PID=""
cleanup_session() {
  [[ -n "$WM_PID" ]] && kill "$WM_PID" 2>/dev/null && wait "$WM_PID" 2>/dev/null
  [[ -n "$XVFB_PID" ]] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  WM_PID=""; XVFB_PID=""
  return 0
}

# start_xvfb WIDTHxHEIGHT: sets DISPLAY, or returns 1 when no server can be started.
start_xvfb() {
  command -v Xvfb >/dev/null || return 1
  local n
  for n in $(seq 101 160); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 "$1x24" -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 1 50); do
      if DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; XVFB_PID=""
  done
  return 1
}

start_wm() {
  openbox --sm-disable >/dev/null 2>&1 &
  WM_PID=$!
  local i
  for i in $(seq 1 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  echo "window manager did not start"; return 1
}

# poll SECONDS COMMAND...: runs the command every 0.1 s until it succeeds.
poll() {
  local limit=$(( $1 * 10 )); shift
  local i
  for ((i = 0; i < limit; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

fail() { echo "FAIL: $*"; exit 1; }
