#!/usr/bin/env bash
# The page into OUT: npm ci in web/ when its packages are missing or older than the lock file,
# then the type check, the bundle and the fingerprinted names (build.mjs).
#   bash web/app/build.sh OUT [WASM]
set -euo pipefail
web=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ ! -f "$web/node_modules/.package-lock.json" ] ||
   [ "$web/package-lock.json" -nt "$web/node_modules/.package-lock.json" ]; then
  (cd "$web" && npm ci --no-audit --no-fund --loglevel=error)
fi
node "$web/app/build.mjs" "$1" "${2:-}"
