#!/usr/bin/env bash
# Builds ostrelin.wasm and its loader ostrelin.mjs with Debian's emscripten into OUT
# (default build-wasm/ beside the source tree) and prints their sizes, raw and gzip.
#   bash web/wasm/build.sh [OUT]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=${1:-$here/build-wasm}
# Debian's emcc finds its helper module acorn only through NODE_PATH.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
mkdir -p "$out"
emcmake cmake -S "$here/web/wasm" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" -j"${OSTRELIN_JOBS:-2}" -- -k 0
for f in "$out/ostrelin.wasm" "$out/ostrelin.mjs"; do
  echo "$(basename "$f"): $(stat -c %s "$f") bytes, gzip $(gzip -9 -c "$f" | wc -c) bytes"
done
