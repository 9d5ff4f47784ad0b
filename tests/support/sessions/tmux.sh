# Private tmux servers for the terminal checks. Sourced, not run. Each start gets a socket of
# its own in this session's folder, so a new server never meets one that is still exiting;
# a server is ended by waiting until its process has gone.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

TMUX_STARTS=0
TMUX_SOCKET=""
TMUX_SERVER_PID=""
TMUX_CONF="$SESSION_DIR/tmux.conf"
cat >"$TMUX_CONF" <<'CONF'
set -g status off
set -g default-terminal tmux-256color
CONF
unset TMUX

# T ARGS...: tmux on the current server.
T() { tmux -S "$TMUX_SOCKET" -f "$TMUX_CONF" "$@"; }

tmux_answers() { TMUX_SERVER_PID=$(T display -p -t 0 '#{pid}' 2>/dev/null) && [[ -n "$TMUX_SERVER_PID" ]]; }

# start_tmux WIDTH HEIGHT COMMAND: a new server with one pane of that size running COMMAND.
start_tmux() {
  command -v tmux >/dev/null || fail "tmux is not installed"
  [[ -z "$TMUX_SERVER_PID" ]] || stop_tmux
  TMUX_STARTS=$((TMUX_STARTS + 1))
  TMUX_SOCKET="$SESSION_DIR/tmux-$TMUX_STARTS.sock"
  T new-session -d -x "$1" -y "$2" "$3" 2>"$SESSION_DIR/tmux-start.txt" ||
    fail "tmux cannot start on $TMUX_SOCKET: $(cat "$SESSION_DIR/tmux-start.txt")"
  wait_for 30 "the tmux server on $TMUX_SOCKET to answer" tmux_answers
}

# stop_tmux: ends the server and waits until its process has gone.
stop_tmux() {
  [[ -n "$TMUX_SERVER_PID" ]] || return 0
  T kill-server >/dev/null 2>&1
  poll 20 process_gone "$TMUX_SERVER_PID" || { echo "tmux server $TMUX_SERVER_PID did not end"; kill -KILL "$TMUX_SERVER_PID" 2>/dev/null; }
  TMUX_SERVER_PID=""
  rm -f "$TMUX_SOCKET"
}

# pane_input_read: every key sent to the pane has been read by the program in it (the
# terminal's input queue is empty; a program in raw mode, as co2sim is, counts every key).
pane_input_read() {
  local tty
  tty=$(T display -p -t 0 '#{pane_tty}' 2>/dev/null) || return 1
  python3 - "$tty" <<'PY'
import fcntl, os, struct, sys, termios
fd = os.open(sys.argv[1], os.O_RDONLY | os.O_NOCTTY | os.O_NONBLOCK)
waiting = struct.unpack("i", fcntl.ioctl(fd, termios.FIONREAD, b"\0\0\0\0"))[0]
sys.exit(0 if waiting == 0 else 1)
PY
}

# The pane as it is, for a failed check.
report_pane() {
  [[ -n "$TMUX_SERVER_PID" ]] || return 0
  echo "the pane on $TMUX_SOCKET ($(T display -p -t 0 '#{pane_width}x#{pane_height}, alternate screen #{alternate_on}, cursor shown #{cursor_flag}' 2>/dev/null)):"
  T capture-pane -p -t 0 2>/dev/null | awk 'NF {printf "%2d: %s\n", NR - 1, $0}' | head -50
  return 0
}
on_failure report_pane
on_exit stop_tmux
