# Shared by the checks of the Windows program: a private Xvfb on a free display number, a
# fresh wine prefix (with a virtual desktop, so windows get frames), polling helpers.
# Sourced, not run. Every process it starts is ended by cleanup_wine_session, by its id.
XVFB_PID=""
WINE_SESSION_DIR=""

cleanup_wine_session() {
  if [[ -n "${WINEPREFIX:-}" && -d "${WINEPREFIX:-}" ]]; then
    wineserver -k 2>/dev/null || true
  fi
  if [[ -n "$XVFB_PID" ]]; then
    kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  fi
  [[ -n "$WINE_SESSION_DIR" ]] && rm -rf "$WINE_SESSION_DIR"
  WINE_SESSION_DIR=""
  return 0
}

# start_xvfb WIDTHxHEIGHT: sets DISPLAY, or returns 1 when no server can be started.
start_xvfb() {
  command -v Xvfb >/dev/null || return 1
  local n i
  for n in $(seq 170 230); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 "$1x24" -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
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

# start_wine_prefix DESKTOP_SIZE: a new prefix in a temporary folder, booted, with a virtual
# desktop of that size, and a wineserver that stays up between the programs of the checks.
start_wine_prefix() {
  WINE_SESSION_DIR=$(mktemp -d /tmp/co2sim-wine.XXXXXX)
  export WINEPREFIX="$WINE_SESSION_DIR/prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  wine wineboot --init >/dev/null 2>&1 || return 1
  wineserver -w
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 || return 1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$1" /f >/dev/null 2>&1 || return 1
  wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  start_wine_services
}

# The prefix's service processes start with the first program and inherit its standard
# streams, which would keep a caller waiting on them: start them first, on /dev/null.
start_wine_services() {
  wine wineboot </dev/null >/dev/null 2>&1
}

# restart_wineserver: ends every program of the prefix, its desktop and services included,
# and starts a new server (the desktop keeps the display it was started with).
restart_wineserver() {
  wineserver -k 2>/dev/null
  wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
}

# poll SECONDS COMMAND...: runs the command every 0.2 s until it succeeds.
poll() {
  local limit=$(( $1 * 5 )); shift
  local i
  for ((i = 0; i < limit; i++)); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

fail() { echo "FAIL: $*"; exit 1; }
