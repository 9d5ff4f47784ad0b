# A private wine prefix with its own wineserver, for the checks of the Windows program.
# Sourced, not run. The prefix lives in this session's folder; its server is started and
# ended here and is waited for (wineserver -w) before the next one starts, so no program of
# a check ever meets a server that is still shutting down. Other prefixes are never touched.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

WINE_LOG="$SESSION_DIR/wine.log"
WINE_SERVER_UP=""
export WINEDLLOVERRIDES="mscoree,mshtml="
# Errors only: they are what a failed start leaves behind, and they go to WINE_LOG or the
# program's own error output, never to a check's pass/fail decision.
export WINEDEBUG="-all,err+all"

# make_wine_prefix [DESKTOP_SIZE]: a new prefix, booted, its server ended again; with a size,
# its programs run in a virtual desktop of that size (windows with frames and a close button).
make_wine_prefix() {
  command -v wine >/dev/null || { echo "wine is not installed"; return 1; }
  export WINEPREFIX="$SESSION_DIR/prefix"
  mkdir -p "$WINEPREFIX"
  echo "== wineboot --init" >>"$WINE_LOG"
  # The first boot has no display: any window it would open stays unmade.
  env -u DISPLAY timeout 300 wine wineboot --init </dev/null >>"$WINE_LOG" 2>&1 ||
    { echo "wineboot --init failed"; tail_of "$WINE_LOG"; return 1; }
  end_wineserver || return 1
  if [[ -n "${1:-}" ]]; then
    env -u DISPLAY wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >>"$WINE_LOG" 2>&1 &&
      env -u DISPLAY wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$1" /f </dev/null >>"$WINE_LOG" 2>&1 ||
      { echo "the desktop setting failed"; tail_of "$WINE_LOG"; return 1; }
    end_wineserver || return 1
  fi
}

# start_wine_prefix [DESKTOP_SIZE]: make_wine_prefix, then a server for the programs on DISPLAY.
start_wine_prefix() { make_wine_prefix "$@" && start_wineserver; }

# start_wineserver: a persistent server for the prefix, then the prefix's service processes
# (started here on /dev/null: they would otherwise inherit, and hold open, the standard
# streams of the first program of a check).
start_wineserver() {
  # wineserver returns once the new server holds the prefix's lock and listens.
  wineserver -p </dev/null >>"$WINE_LOG" 2>&1 || { echo "wineserver did not start"; tail_of "$WINE_LOG"; return 1; }
  WINE_SERVER_UP=1
  echo "== wineboot (services)" >>"$WINE_LOG"
  timeout 120 wine wineboot </dev/null >>"$WINE_LOG" 2>&1 ||
    { echo "the prefix's services did not start"; tail_of "$WINE_LOG"; return 1; }
}

# end_wineserver: ends every process of the prefix and waits until its server has gone.
end_wineserver() {
  [[ -n "${WINEPREFIX:-}" && -d "$WINEPREFIX" ]] || return 0
  wineserver -k >/dev/null 2>&1
  timeout 60 wineserver -w || { echo "the wineserver of $WINEPREFIX did not end within 60 s"; return 1; }
  WINE_SERVER_UP=""
}

# restart_wineserver: every program of the prefix ends (its desktop too, which keeps the
# display it was started with); a new server and services start.
restart_wineserver() { end_wineserver && start_wineserver; }

report_wine() {
  [[ -n "${WINEPREFIX:-}" ]] || return 0
  tail_of "$WINE_LOG" 10
}
on_failure report_wine
on_exit end_wineserver
