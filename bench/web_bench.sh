#!/usr/bin/env bash
# Builds the page and measures it in headless Chromium (figures for bench/RESULTS.md).
# Usage: bench/web_bench.sh [OTHER_SITE_DIR...]: other builds of the site (an earlier
# version, say) are measured in turn with this one, so machine load falls on all alike.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/web-build.sh
if [[ ! -d tests/web/node_modules/playwright-core ]]; then
  (cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
fi
node bench/web_bench.mjs build/web/site "$@"
