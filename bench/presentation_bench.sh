#!/usr/bin/env bash
# Presentation figures of the SDL window under a private Xvfb: CPU of the whole process while
# the table animates and while it idles at the end-of-run wait (share of one core), and the
# delay from a key event reaching the presentation thread to the copy of the rows its echo
# changed (the program's own probe, CO2SIM_KEY_LATENCY_LOG).
# Usage: presentation_bench.sh CO2SIM [SECONDS per CPU window, default 20] [options]
#   --screen WxH   the display's size (default 1280x1024)
#   --window       measure in the window form (Alt+Enter after the start), not full screen
#   --size WxH     with --window: resize the window's client area to WxH first
#   --dpi N        the desktop's Xft.dpi (192: a 2x desktop)
# Full screen covers the display, with the picture scaled to the largest 4:3 that fits.
set -uo pipefail
co2sim=$1; shift
seconds=20
if [[ $# -gt 0 && $1 != --* ]]; then seconds=$1; shift; fi
screen=1280x1024 form=full size="" dpi=""
while [[ $# -gt 0 ]]; do
  case $1 in
    --screen) screen=$2; shift 2 ;;
    --window) form=window; shift ;;
    --size) size=$2; shift 2 ;;
    --dpi) dpi=$2; shift 2 ;;
    *) echo "unknown option $1"; exit 2 ;;
  esac
done
source "$(dirname "$0")/../tests/support/sessions/xvfb.sh"
work="$SESSION_DIR"
unset SDL_VIDEODRIVER QXGFX
APP_PID=""
end_app() { end_process "$APP_PID"; }
on_exit end_app
start_xvfb "$screen" || fail "Xvfb did not start"
start_wm
if [[ -n "$dpi" ]]; then
  xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "$(printf 'Xft.dpi:\t%s\n' "$dpi")"
fi
ticks_per_s=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$APP_PID/stat"; }
find_window() { WIN=$(xdotool search --name '^co2sim$' 2>/dev/null | head -1); [[ -n "$WIN" ]]; }
full_screen() { xprop -id "$WIN" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN; }
windowed() { ! full_screen; }
client_size() { xwininfo -id "$WIN" 2>/dev/null | awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print w "x" h}'; }
launch() {
  CO2SIM_KEY_LATENCY_LOG="$work/latency.txt" "$co2sim" </dev/null >/dev/null 2>&1 &
  APP_PID=$!
  wait_for 30 "the window titled co2sim" find_window
  xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
  wait_for 30 "full screen" full_screen
  if [[ $form == window ]]; then
    sleep 0.5
    xdotool key alt+Return
    wait_for 30 "Alt+Enter to leave full screen" windowed
    if [[ -n "$size" ]]; then
      xdotool windowsize --sync "$WIN" "${size%x*}" "${size#*x}" >/dev/null 2>&1
    fi
    xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
  fi
  sleep 1.5  # the introduction and the entry form are on screen
  shown=$(client_size)
}
# share SECONDS: CPU of the program over that many seconds, in % of one core (2 decimals).
share() {
  local before after started ended
  before=$(cpu_ticks); started=$(date +%s%N)
  sleep "$1"
  after=$(cpu_ticks); ended=$(date +%s%N)
  awk -v t=$((after - before)) -v hz="$ticks_per_s" -v ns=$((ended - started)) \
    'BEGIN { printf "%.2f", 100 * t / hz / (ns / 1e9) }'
}

launch
# Echo latency at a typing pace: 60 digits and 60 Backspaces in the first field.
for i in $(seq 1 60); do xdotool key 7; sleep 0.12; xdotool key BackSpace; sleep 0.12; done
xdotool type --delay 60 '2'; xdotool key Return
xdotool type --delay 60 '58'; xdotool key Return
xdotool type --delay 60 '50'; xdotool key Return
sleep 2
animating=$(share "$seconds")
kill "$APP_PID"; wait "$APP_PID" 2>/dev/null
mv "$work/latency.txt" "$work/latency-keys.txt"

launch
xdotool type --delay 60 '2'; xdotool key Return
xdotool type --delay 60 '2.05'; xdotool key Return
xdotool type --delay 60 '50'; xdotool key Return
sleep 4  # six rows of about 0.22 s, then the end-of-run wait
idle=$(share "$seconds")
xdotool key space
wait "$APP_PID"; status=$?

sort -n "$work/latency-keys.txt" | awk -v anim="$animating" -v idle="$idle" -v status="$status" \
  -v screen="$screen" -v form="$form" -v shown="$shown" '
  { v[NR] = $1 }
  END {
    if (NR == 0) { print "no key latency samples"; exit 1 }
    p50 = v[int((NR - 1) * 0.50) + 1]; p99 = v[int((NR - 1) * 0.99) + 1]
    printf "screen=%s form=%s client=%s\n", screen, form, shown
    printf "cpu_animating_percent=%s cpu_idle_percent=%s\n", anim, idle
    printf "key_to_copy_ms samples=%d p50=%.2f p99=%.2f max=%.2f\n", NR, p50 / 1000, p99 / 1000, v[NR] / 1000
    printf "end_status=%s\n", status
  }'
