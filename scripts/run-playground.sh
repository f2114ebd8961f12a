#!/usr/bin/env bash
# Builds the playground page (the engine as WebAssembly, preset wasm) and serves it on
# this machine, printing its address; Ctrl+C stops the server. Needs no network once the
# packages are installed.
#   scripts/run-playground.sh [PORT]     (default 8024; 0 picks a free port)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset wasm >/dev/null
cmake --build --preset wasm -j "$(nproc)"
site=$PWD/build/wasm/web/site
echo "Lumawipe playground, served from $site at (Ctrl+C stops it):"
exec python3 web/serve.py "$site" "${1:-8024}"
