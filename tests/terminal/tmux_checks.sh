#!/usr/bin/env bash
# Runs the real co2sim on the terminal back end inside private tmux servers and drives it
# with tmux send-keys. The pane is compared with the cell grid of the same run made in
# memory by the snapshot tool.
# Usage: tmux_checks.sh CHECK CO2SIM SNAPSHOT_TOOL WORKDIR
#   CHECK: table | refuse | resize | signals | colours
# Exit 77 (skipped) when tmux or python3 is missing.
set -uo pipefail
check=$1 co2sim=$2 snapshot=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
command -v tmux >/dev/null || { echo "tmux is not installed: skipped"; exit 77; }
command -v python3 >/dev/null || { echo "python3 is not installed: skipped"; exit 77; }
source "$here/../support/sessions/tmux.sh"
rm -rf "$work" && mkdir -p "$work"
export LSAN_OPTIONS="suppressions=$here/../sdl/lsan.supp:print_suppressions=0"

report_program() {
  [[ -f "$work/status" ]] && echo "the pane's program ended: $(cat "$work/status")"
  [[ -s "$work/stderr.txt" ]] && tail_of "$work/stderr.txt" 10
  [[ -s "$work/compare.txt" ]] && { echo "last comparison with the cell grid:"; head -20 "$work/compare.txt"; }
  return 0
}
on_failure report_program

# The pane's program: co2sim with no display, then the status and whether the terminal's
# modes came back as they were. `ignore_hup` runs it the way nohup would. The variables in
# $work/pane.env (QXGFX, TERM, COLORTERM) are set for the program; by default a terminal
# that announces 24-bit colour.
cat >"$work/run.sh" <<RUN
#!/bin/sh
[ "\${1:-}" = ignore_hup ] && trap '' HUP
# Ctrl+C reaches this shell too: it must live on to report the status.
trap 'true' INT
before=\$(stty -g)
unset QXGFX COLORTERM
export COLORTERM=truecolor
[ -f "$work/pane.env" ] && . "$work/pane.env"
env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR \
  sh -c 'echo \$\$ > "$work/pid"; exec "$co2sim"' 2>"$work/stderr.txt"
echo "status=\$?" > "$work/status.tmp"
if [ "\$(stty -g)" = "\$before" ]; then echo same; else echo changed; fi > "$work/modes"
mv "$work/status.tmp" "$work/status"
[ "\${1:-}" = ignore_hup ] && exit 0
exec sleep 600
RUN
chmod +x "$work/run.sh"

set_pane_env() { printf '%s\n' "$@" >"$work/pane.env"; }
# start_pane WIDTH HEIGHT [ignore_hup]: a new tmux server running co2sim in its one pane.
start_pane() {
  rm -f "$work/status" "$work/pid" "$work/modes"
  start_tmux "$1" "$2" "$work/run.sh ${3:-}"
}
capture() { T capture-pane -p -t 0 >"$work/pane.txt"; }
shows() { capture && grep -qF -- "$1" "$work/pane.txt"; }
ended() { [[ -f "$work/status" ]]; }
status() { cat "$work/status" 2>/dev/null; }
pane_flags() { T display -p -t 0 '#{alternate_on} #{cursor_flag}'; }
# typed TEXT [SHOWN]: the text and Enter, read by the program (and SHOWN in the pane).
typed() {
  T send-keys -t 0 -l "$1"; T send-keys -t 0 Enter
  wait_for 30 "co2sim to read the keys '$1' and Enter" pane_input_read
  [[ -z "${2:-}" ]] || wait_for 30 "'$2' in the pane after '$1' and Enter" shows "$2"
}
co2sim_pid() { cat "$work/pid" 2>/dev/null; }
# A program that outlived its pane (one that ignores SIGHUP) is ended with the check.
end_co2sim() {
  local pid; pid=$(co2sim_pid) && [[ -n "$pid" && $(readlink "/proc/$pid/exe" 2>/dev/null) == "$(readlink -f "$co2sim")" ]] && kill -KILL "$pid"
  return 0
}
on_exit end_co2sim

references() {  # LOW HIGH
  "$snapshot" wait:line "cells:$work/entry.txt" "type:$1\\r" "type:$2\\r" 'type:50\r' wait:end \
    "cells:$work/end.txt" key:Space >/dev/null || fail "snapshot tool failed"
}
matches() { capture && python3 "$here/pane_compare.py" text "$work/pane.txt" "$1" "${@:2}" >"$work/compare.txt"; }
restored() {
  [[ $(cat "$work/modes") == same ]] || fail "terminal modes not restored"
  [[ $(pane_flags) == "0 1" ]] || fail "alternate screen or cursor not restored: $(pane_flags)"
}
entry_prompt="DESDE (2-58)"

case "$check" in
  table)
    references 2 2.15
    start_pane 130 50
    wait_for 90 "the entry form ('$entry_prompt')" shows "$entry_prompt"
    [[ $(pane_flags) == "1 0" ]] || fail "not on the alternate screen with the cursor hidden: $(pane_flags)"
    # The title (row 2) and the form's heading and prompt as the cell grid holds them.
    wait_for 30 "the pane to match the entry form's cell grid" matches "$work/entry.txt" 2=120 25=120 28=100
    # Delete at the end of the line sounds the tone: the terminal's bell.
    T pipe-pane -o -t 0 "cat >> $work/bell-output.bin"
    T send-keys -t 0 DC
    rang() { grep -q $'\a' "$work/bell-output.bin" 2>/dev/null; }
    wait_for 30 "a bell for Delete at the end of the line" rang
    T pipe-pane -t 0
    typed 2 "HASTA (3-59)"; typed 2.15 "reduccion porcentual"
    T send-keys -t 0 -l 50; T send-keys -t 0 Enter
    wait_for 60 "the table's first row (' 2.00 Mil millones')" shows " 2.00 Mil millones"
    T pipe-pane -o -t 0 "cat >> $work/table-output.bin"
    wait_for 180 "the table's end ('Pulse una tecla para nueva simulacion')" shows "Pulse una tecla para nueva simulacion"
    T pipe-pane -t 0
    # Rows printed while the output was recorded: 2.01 to 2.15.
    bytes=$(stat -c %s "$work/table-output.bin")
    echo "terminal output while the table animates: $bytes bytes, $((bytes / 15)) bytes per table row"
    (( bytes / 15 < 2000 )) || fail "$((bytes / 15)) bytes per table row"
    wait_for 30 "the pane to match the results page's cell grid" matches "$work/end.txt" 1=60 6=100 12=100
    T capture-pane -e -p -t 0 >"$work/pane-colours.txt"
    python3 "$here/pane_compare.py" bars "$work/pane-colours.txt" || fail "chart bars"
    T send-keys -t 0 Space
    wait_for 30 "Space at the end-of-run wait to end the program" ended
    [[ $(status) == status=0 ]] || fail "Space gave $(status)"
    restored
    [[ ! -s "$work/stderr.txt" ]] || fail "stderr: $(cat "$work/stderr.txt")"
    ;;

  refuse)
    start_pane 100 30
    wait_for 60 "a 100 x 30 pane to end the program" ended
    [[ $(status) == status=0 ]] || fail "$(status) in a small pane"
    capture
    [[ $(grep -c . "$work/pane.txt") == 1 && $(head -1 "$work/pane.txt") == "Error setting video mode!" ]] ||
      fail "the pane does not hold just the one line"
    # Nobody asked for the terminal: the one line is all the output.
    [[ ! -s "$work/stderr.txt" ]] || fail "stderr without QXGFX: $(cat "$work/stderr.txt")"
    restored
    stop_tmux
    # Asked for by name, the terminal says why it cannot serve, once.
    set_pane_env "export QXGFX=terminal"
    start_pane 100 30
    wait_for 60 "a 100 x 30 pane to end the program" ended
    [[ $(status) == status=0 ]] || fail "$(status) in a small pane"
    grep -q "100 x 30" "$work/stderr.txt" || fail "no reason on stderr: $(cat "$work/stderr.txt")"
    [[ $(wc -l <"$work/stderr.txt") == 1 ]] || fail "the reason is not said once"
    restored
    rm -f "$work/pane.env"
    # Through a pipe, outside any terminal: the one line and status 0.
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR "$co2sim" </dev/null 2>/dev/null | od -c)
    expected=$(printf 'Error setting video mode!\n' | od -c)
    [[ "$out" == "$expected" ]] || fail "piped output: $out"
    env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR "$co2sim" </dev/null >/dev/null 2>&1 ||
      fail "piped status $?"
    ;;

  colours)
    # The chart's bars in each depth the terminal may announce.
    for depth in direct 256 16; do
      case $depth in
        direct) set_pane_env "export TERM=xterm-256color COLORTERM=24bit" ;;
        256) set_pane_env "export TERM=xterm-256color" "unset COLORTERM" ;;
        16) set_pane_env "export TERM=linux" "unset COLORTERM" ;;
      esac
      start_pane 130 50
      wait_for 90 "$depth: the entry form ('$entry_prompt')" shows "$entry_prompt"
      # Enough rows for the end prompt to lie below the bars' ends.
      typed 2; typed 2.15
      T send-keys -t 0 -l 50; T send-keys -t 0 Enter
      wait_for 180 "$depth: the end of the table" shows "Pulse una tecla para nueva simulacion"
      T capture-pane -e -p -t 0 >"$work/pane-colours-$depth.txt"
      # TERM=linux: the console's fonts, so only characters of code page 437.
      console=$([[ $depth == 16 ]] && echo console)
      python3 "$here/pane_compare.py" bars "$work/pane-colours-$depth.txt" "$depth" $console ||
        fail "$depth: chart bars"
      T send-keys -t 0 Space
      wait_for 30 "$depth: Space to end the program" ended
      [[ $(status) == status=0 ]] || fail "$depth: Space gave $(status)"
      stop_tmux
    done
    rm -f "$work/pane.env"
    ;;

  resize)
    references 2 2.15
    start_pane 130 50
    wait_for 90 "the entry form ('$entry_prompt')" shows "$entry_prompt"
    T resize-window -t 0 -x 100 -y 30
    wait_for 30 "the too-small notice" shows "Terminal demasiado pequena: 100 x 30, hacen falta 128 x 48"
    # Keys still reach the program while the notice is shown.
    typed 2
    T resize-window -t 0 -x 130 -y 50
    wait_for 30 "the picture to come back with the next prompt ('HASTA')" shows "HASTA"
    T send-keys -t 0 C-c
    wait_for 30 "Ctrl+C to end the program" ended
    [[ $(status) == status=130 ]] || fail "Ctrl+C gave $(status)"
    restored
    ;;

  signals)
    for sig in TERM HUP; do
      start_pane 130 50
      wait_for 90 "the entry form ('$entry_prompt')" shows "$entry_prompt"
      kill -"$sig" "$(co2sim_pid)"
      wait_for 30 "SIG$sig to end the program" ended
      want=$([[ $sig == TERM ]] && echo 143 || echo 129)
      [[ $(status) == status=$want ]] || fail "SIG$sig gave $(status)"
      restored
      stop_tmux
    done
    # Ctrl+Z gives the terminal back while stopped; continuing shows the screen again.
    start_pane 130 50
    wait_for 90 "the entry form ('$entry_prompt')" shows "$entry_prompt"
    pid=$(co2sim_pid)
    T send-keys -t 0 C-z
    stopped() { [[ $(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) == T ]]; }
    wait_for 30 "Ctrl+Z to stop the program" stopped
    [[ $(pane_flags) == "0 1" ]] || fail "terminal not given back while stopped: $(pane_flags)"
    kill -CONT "$pid"
    on_screen_again() { [[ $(pane_flags) == "1 0" ]]; }
    wait_for 30 "the alternate screen with the cursor hidden after continuing" on_screen_again
    wait_for 30 "the screen to be drawn again after continuing" shows "$entry_prompt"
    stop_tmux
    # A fault: the terminal is given back before the process ends (under the sanitizers
    # their report ends it with status 1, or 66 under ThreadSanitizer, else the signal's 139).
    start_pane 130 50
    wait_for 90 "the entry form ('$entry_prompt')" shows "$entry_prompt"
    kill -SEGV "$(co2sim_pid)"
    wait_for 60 "SIGSEGV to end the program" ended
    [[ $(status) =~ ^status=(139|1|66)$ ]] || fail "SIGSEGV gave $(status)"
    restored
    stop_tmux
    # The terminal disappears under a program that ignores SIGHUP: input ends (EIO), and
    # it ends by itself at its next wait.
    start_pane 130 50 ignore_hup
    wait_for 90 "the entry form ('$entry_prompt')" shows "$entry_prompt"
    pid=$(co2sim_pid)
    T kill-pane -t 0
    wait_for 30 "co2sim to end after its terminal went" process_gone "$pid"
    # The pane's shell writes the status after the program is gone: wait for that too.
    wait_for 30 "the pane's shell to record the status" ended
    [[ $(status) == status=0 ]] || fail "after the terminal went: $(status)"
    ;;

  *) echo "unknown check $check"; exit 2 ;;
esac
echo "PASS: $check"
