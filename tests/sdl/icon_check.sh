#!/usr/bin/env bash
# The window icon compiled into the program (platform/sdl/sdl_window_icon_pixels.h) is the
# desktop entry's icon (packaging/co2sim.svg) as it stands: made again from the SVG,
# it is the same. Usage: icon_check.sh SOURCE_DIR WORKDIR. Exit 77 without rsvg-convert.
set -euo pipefail
source_dir=$1 work=$2
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is not installed: skipped"; exit 77; }
rm -rf "$work" && mkdir -p "$work"
python3 "$source_dir/tools/make_window_icon.py" "$source_dir/packaging/co2sim.svg" "$work/icon.h"
if ! cmp -s "$work/icon.h" "$source_dir/platform/sdl/sdl_window_icon_pixels.h"; then
  echo "FAIL: the window icon differs from co2sim.svg; run"
  echo "  tools/make_window_icon.py packaging/co2sim.svg platform/sdl/sdl_window_icon_pixels.h"
  exit 1
fi
echo "PASS: the window icon is co2sim.svg"
