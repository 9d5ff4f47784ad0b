#!/usr/bin/env bash
# Plants one include at a time in a scratch tree and checks that include_rules_check.sh
# refuses each broken rule and accepts each allowed include.
set -euo pipefail
check=$(cd "$(dirname "$0")" && pwd)/include_rules_check.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# file | included header | expected: hold or broken
cases=(
  "platform/sdl/a.cpp|screen/screen.h|hold"
  "platform/sdl/a.cpp|screen/backend/backend_port.h|hold"
  "platform/sdl/a.cpp|screen/keys/line_entry.h|broken"
  "platform/web/a.h|screen/screen_state.h|broken"
  "screen/keys/a.cpp|screen/screen_state.h|hold"
  "screen/keys/a.cpp|platform/posix/wake_pipe.h|broken"
  "simulator/a.cpp|screen/screen.h|hold"
  "simulator/a.cpp|screen/text/text_screen.h|broken"
  "tools/a.cpp|screen/screen_state.h|broken"
  "tests/a.cpp|screen/backend/cp437.h|hold"
)
status=0
for row in "${cases[@]}"; do
  IFS='|' read -r file header expected <<<"$row"
  rm -rf "${scratch:?}"/*
  mkdir -p "$scratch/$(dirname "$file")"
  printf '#include <vector>\n#include "%s"\n' "$header" >"$scratch/$file"
  if "$check" "$scratch" >/dev/null 2>&1; then got=hold; else got=broken; fi
  if [ "$got" != "$expected" ]; then
    echo "$file including $header: expected $expected, the check says $got"
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "the include check refuses every planted bad include"
exit "$status"
