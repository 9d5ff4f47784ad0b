#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the program, the desktop entry and the
# icon land where desktops look for them, and that the entry is valid and names them.
set -euo pipefail
build="$1"
prefix="$2"
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "install check: $*" >&2; exit 1; }
[ -x "$prefix/bin/co2sim" ] || fail "bin/co2sim missing or not executable"
entry="$prefix/share/applications/co2sim.desktop"
icon="$prefix/share/icons/hicolor/scalable/apps/co2sim.svg"
[ -f "$entry" ] || fail "desktop entry missing"
[ -f "$icon" ] || fail "icon missing"
grep -qx 'Exec=co2sim' "$entry" || fail "desktop entry does not run co2sim"
grep -qx 'Icon=co2sim' "$entry" || fail "desktop entry does not name the icon"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "desktop entry does not validate"
fi
if command -v xmllint >/dev/null; then
  xmllint --noout "$icon" || fail "icon is not well-formed"
fi
# The installed program is the real one: with no display it says so and ends with status 0.
out="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QXGFX "$prefix/bin/co2sim" </dev/null)"
[ "$out" = "Error setting video mode!" ] || fail "installed co2sim printed: $out"
echo "install layout ok"
