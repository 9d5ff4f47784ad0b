#!/usr/bin/env bash
# The browser checks: installs the pinned test driver (npm ci) when it is missing, then runs
# the page in headless Chromium against the snapshot driver's pictures.
# Usage: tests/web/run.sh SNAPSHOT_DRIVER WORK_DIR [SITE_DIR]
# Status 77 (skipped) when the site has not been built, except in CI, where that fails.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
driver=$1
work=$2
site=${3:-$here/../../build/web/site}
if [[ ! -f $site/co2sim.wasm ]]; then
  echo "no site in $site: build it with scripts/web-build.sh"
  [[ ${CI:-} == true ]] && exit 1
  exit 77
fi
if [[ ! -d $here/node_modules/playwright-core ]]; then
  (cd "$here" && npm ci --no-audit --no-fund --loglevel=error)
fi
exec node "$here/browser_checks.mjs" "$site" "$driver" "$work"
