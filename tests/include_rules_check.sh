#!/usr/bin/env bash
# The include rules between the layers: the screen state is private to screen/ (back ends,
# tools and tests see the screen through screen/screen.h, screen/backend/backend_port.h or the tests'
# screen/testing/screen_probe.h), and the simulator includes nothing of screen/ but screen/screen.h.
# Usage: tests/include_rules_check.sh [SOURCE_DIR]. Prints every offending line; exit 1 if any.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# Our C and C++ sources, outside build trees and installed packages.
sources() {
  find "$@" \( -name build -o -name .git -o -name node_modules \) -prune -o -type f \
    \( -name '*.cpp' -o -name '*.cc' -o -name '*.c' -o -name '*.h' -o -name '*.hpp' -o -name '*.inc' \) \
    -print | sort
}
include_line='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]'

failed=0
while IFS= read -r file; do
  case "$file" in ./screen/*) continue ;; esac
  if grep -nE "${include_line}([^\">]*/)?screen_state\.h[\">]" "$file" | sed "s|^|$file: the screen state is private to screen/: |"; then
    failed=1
  fi
done < <(sources .)

if [ -d simulator ]; then
  while IFS= read -r file; do
    if grep -nE "${include_line}([^\">]*/)?screen/" "$file" | grep -vE "[<\"]screen/screen\.h[\">]" |
        sed "s|^|$file: the simulator includes only screen/screen.h of screen/: |"; then
      failed=1
    fi
  done < <(sources simulator)
fi

if [ "$failed" -ne 0 ]; then
  echo "include rules broken" >&2
  exit 1
fi
echo "include rules hold"
