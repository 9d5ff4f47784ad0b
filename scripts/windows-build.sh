#!/usr/bin/env bash
# Builds the Windows program, build/windows/co2sim.exe (GUI subsystem, statically linked, with
# its icon), with mingw-w64 on Linux; the unit tests of the Windows build come along.
# Usage: scripts/windows-build.sh [TARGET...]   (default: everything)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset windows >/dev/null
if (($#)); then
  cmake --build --preset windows -j2 --target "$@"
else
  cmake --build --preset windows -j2
fi
