#!/usr/bin/env bash
# The include rules between the layers:
# - the screen state is private to screen/ (screen/screen_state.h is included only there);
# - screen/ never includes platform/ (the screen services know no platform);
# - platform/ includes from screen/ only screen/screen.h and the back ends' kit, screen/backend/;
# - the simulator includes nothing of screen/ but screen/screen.h.
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

# check FILE ERE ALLOWED_ERE MESSAGE: report FILE's include lines that match ERE but not ALLOWED_ERE.
check() {
  local lines
  lines=$(grep -nE "${include_line}$2" "$1" | { [ -n "$3" ] && grep -vE "$3" || cat; }) || true
  if [ -n "$lines" ]; then
    sed "s|^|$1: $4: |" <<<"$lines"
    failed=1
  fi
}

while IFS= read -r file; do
  case "$file" in
    ./screen/*) check "$file" 'platform/' '' 'screen/ never includes platform/' ;;
    *) check "$file" '([^">]*/)?screen_state\.h[">]' '' 'the screen state is private to screen/' ;;
  esac
  case "$file" in
    ./platform/*)
      check "$file" 'screen/' '[<"]screen/(screen\.h|backend/[^">]+)[">]' \
        'platform/ includes only screen/screen.h and screen/backend/ of screen/' ;;
    ./simulator/*)
      check "$file" '([^">]*/)?screen/' '[<"]screen/screen\.h[">]' \
        'the simulator includes only screen/screen.h of screen/' ;;
  esac
done < <(sources .)

if [ "$failed" -ne 0 ]; then
  echo "include rules broken" >&2
  exit 1
fi
echo "include rules hold"
