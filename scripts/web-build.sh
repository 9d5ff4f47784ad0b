#!/usr/bin/env bash
# Builds the page that runs the simulator in a browser: build/web/site/ (index.html, the
# JavaScript, the WebAssembly and the icon), static files any web server can serve.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The linker's JavaScript tools need Debian's node modules, whichever node is on PATH, and
# a node that does not replace the loader's file reads with its own fetch.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
export NODE_OPTIONS="--no-experimental-fetch${NODE_OPTIONS:+ $NODE_OPTIONS}"
cmake --preset web >/dev/null
cmake --build --preset web
site=build/web/site
size() { stat -c %s "$1"; }
echo "site: $site  JavaScript $(size $site/co2sim.js) bytes, WebAssembly $(size $site/co2sim.wasm) bytes"
