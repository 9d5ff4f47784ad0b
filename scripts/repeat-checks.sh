#!/usr/bin/env bash
# Runs the checks of the real program in its sessions N times in a row -- the windows under
# Xvfb and the panes in tmux (Linux program, debug build), and the Windows program under wine
# (unit tests, program checks, DirectX checks) -- and prints how many repetitions passed.
# Usage: scripts/repeat-checks.sh N [linux] [wine]   (default: both kinds)
# The log of every failed repetition is kept in build/repeat-checks/.
set -uo pipefail
cd "$(dirname "$0")/.."
count=${1:?usage: scripts/repeat-checks.sh N [linux] [wine]}
shift
kinds=("$@")
((${#kinds[@]})) || kinds=(linux wine)
logs=build/repeat-checks
rm -rf "$logs" && mkdir -p "$logs"

for kind in "${kinds[@]}"; do
  case "$kind" in
    linux)
      cmake --preset debug >/dev/null && cmake --build --preset debug --target co2sim co2sim-snapshot co2sim-picture-scale >/dev/null ||
        { echo "the debug build failed"; exit 1; } ;;
    wine)
      scripts/windows-build.sh >/dev/null &&
        cmake -S . -B build/windows-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DCO2SIM_TESTS=OFF >/dev/null &&
        cmake --build build/windows-host -j2 --target co2sim-snapshot >/dev/null ||
        { echo "the Windows build failed"; exit 1; } ;;
    *) echo "unknown kind $kind"; exit 2 ;;
  esac
done

run_kind() {  # KIND LOG
  case "$1" in
    linux) ctest --preset debug -R '^(sdl_window|terminal_tmux)_' --output-on-failure >"$2" 2>&1 ;;
    wine) scripts/windows-test.sh --no-build >"$2" 2>&1 ;;
  esac
}

declare -A passed
for kind in "${kinds[@]}"; do passed[$kind]=0; done
all=0
for ((i = 1; i <= count; i++)); do
  ok=1 line="repetition $i of $count:"
  for kind in "${kinds[@]}"; do
    log="$logs/$kind-$i.log"
    started=$(date +%s)
    if run_kind "$kind" "$log"; then
      passed[$kind]=$((passed[$kind] + 1))
      line+=" $kind passed ($(( $(date +%s) - started )) s)"
      rm -f "$log"
    else
      ok=0
      line+=" $kind FAILED ($(( $(date +%s) - started )) s, $log)"
    fi
  done
  ((ok)) && all=$((all + 1))
  echo "$line"
done
for kind in "${kinds[@]}"; do echo "$kind checks: ${passed[$kind]} of $count passed"; done
echo "all checks: $all of $count passed"
((all == count))
