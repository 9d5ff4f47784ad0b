#!/usr/bin/env bash
# Builds everything in the debug preset (AddressSanitizer and UndefinedBehaviorSanitizer) and
# the browser page, and runs every test (the page's in headless Chromium); then cross-builds
# the Windows program and runs its tests under wine; then builds the packages (Debian,
# Windows zip, web) and checks them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset debug
cmake --build --preset debug
scripts/web-build.sh
ctest --preset debug -j2
scripts/windows-test.sh
# The downloads, from the release build and the Windows build above, checked as their users'
# tools check them.
scripts/package.sh
tests/package_check.sh build/packages "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)"
