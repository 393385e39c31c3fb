#!/usr/bin/env bash
# Set-up, build, run and test on Debian 12. Installs the Debian packages it misses (as root, or
# through sudo), then builds into build/ (or $OSTRELIN_BUILD_DIR).
#
#   scripts/dev.sh run          build and open the atlas on the bundled demo atlas
#   scripts/dev.sh test         build and run every test (widget tests run offscreen), then every
#                               test and fuzz corpus again under ASan + UBSan
#   scripts/dev.sh bench        build the benchmarks in Release and run them, the end-to-end ones,
#                               a soak of 5000 page switches on the demo tree and the web atlas
#                               in chromium
#   scripts/dev.sh fuzz [secs]  build the libFuzzer targets with clang, run each for a while and
#                               print the executions per target
#   scripts/dev.sh coverage     line coverage of every file reader by its fuzz corpus
#   scripts/dev.sh package      build the .deb (with the demo atlas) into build-package/
#   scripts/dev.sh web          publish the demo atlas as a web site and serve it with nginx at
#                               http://127.0.0.1:8080/ (in the foreground; Ctrl+C ends it)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${OSTRELIN_BUILD_DIR:-$here/build}
jobs=${OSTRELIN_JOBS:-2}

base_packages=(cmake ninja-build g++ ccache pkg-config qt6-base-dev libjpeg-dev libgtest-dev clang-format
               fonts-liberation libasound2-dev qt6-svg-dev qt6-translations-l10n)
# The demo atlas: its builder reads gzip NIfTI volumes, and the tests build a reduced tree from the
# real head data; the run command adds the video player.
base_packages+=(zlib1g-dev mricron-data libnifti2-dev)
demo_packages=(ffmpeg)
# The web edition: the cores built with emscripten, tested with node, served by nginx.
web_packages=(emscripten nodejs nginx-light)
# The browser tests and the browser benchmark: Debian's chromium driven by npm's playwright-core.
browser_packages=(chromium)

# npm for the page's packages (web/package-lock.json): Debian's, unless nodejs brought its own.
need_npm() {
  command -v npm >/dev/null || need npm
}

need() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Phase times of the test command, printed at its end (the budget: native part <= 15 min, all
# <= 25 min on a fresh machine).
minutes() { printf '%d min %02d s' $(($1 / 60)) $(($1 % 60)); }
phase_start() { test_start=$SECONDS; phase_mark=$SECONDS; phase_times=""; }
phase() {
  phase_times+="${phase_times:+, }$1 $(minutes $((SECONDS - phase_mark)))"
  phase_mark=$SECONDS
}

configure() {
  local dir=$1; shift
  cmake -S "$here" -B "$dir" -G Ninja "$@" >/dev/null
}

# The demo tree of a build folder, built once and re-used until the builder changes.
demo_tree() {
  local tree="$1/demo-atlas"
  if [ ! -f "$tree/.built" ] || [ "$1/tools/atlasbau" -nt "$tree/.built" ]; then
    echo "== building the demo atlas in $tree"
    rm -rf "$tree"
    "$1/tools/atlasbau" build "$tree" >/dev/null
    touch "$tree/.built"
  fi
}

case "${1:-}" in
  run)
    need "${base_packages[@]}" "${demo_packages[@]}"
    configure "$build"
    cmake --build "$build" -j"$jobs" --target karvolen atlasbau
    demo_tree "$build"
    cd "$build/demo-atlas"
    exec "$build/app/karvolen"
    ;;
  test)
    need "${base_packages[@]}" "${web_packages[@]}" "${browser_packages[@]}"
    need_npm
    phase_start
    configure "$build"
    cmake --build "$build" -j"$jobs"
    phase "native build"
    (cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")
    phase "native tests"
    echo "== the WebAssembly cores against the native ones (node --test)"
    cmake --build "$build" -j"$jobs" --target web_app
    OSTRELIN_BUILD_DIR="$build" OSTRELIN_WASM_DIR="$build/web/wasm" node --test "$here/web/test/"
    echo "== the web atlas in headless chromium, served by nginx (node --test)"
    demo_tree "$build"
    OSTRELIN_BUILD_DIR="$build" node --test "$here/web/e2e/"
    phase "web build and tests"
    echo "== every test again, widget tests included, under ASan + UBSan (Qt as packaged)"
    # Leaks inside Qt's own libraries are named one by one in the suppression file.
    export LSAN_OPTIONS=suppressions=$here/tests/sanitizers/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    configure "$build-asan" -DOSTRELIN_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DOSTRELIN_BUILD_UI=ON
    cmake --build "$build-asan" -j"$jobs"
    phase "sanitizer build"
    (cd "$build-asan" && ctest --output-on-failure -j"$jobs")
    phase "sanitizer tests"
    echo "== times: $phase_times; in all $(minutes $((SECONDS - test_start)))"
    ;;
  bench)
    need "${base_packages[@]}" libbenchmark-dev
    configure "$build-bench" -DCMAKE_BUILD_TYPE=Release -DOSTRELIN_BUILD_BENCH=ON
    cmake --build "$build-bench" -j"$jobs"
    # The end-to-end figures and the long soak run on the full demo tree.
    demo_tree "$build-bench"
    export OSTRELIN_DEMO_TREE="$build-bench/demo-atlas" QT_QPA_PLATFORM=offscreen
    for b in "$build-bench"/bench/*_bench; do "$b"; done
    echo "== soak: 5000 page switches on the demo tree"
    OSTRELIN_SOAK_TREE="$OSTRELIN_DEMO_TREE" OSTRELIN_SOAK_SWITCHES=5000 \
      "$build-bench/tests/e2e_tests" --gtest_filter='SoakTest.*'
    echo "== the web atlas in chromium: page switch, pointer names, transfer size, first paint"
    need "${web_packages[@]}" "${browser_packages[@]}"
    need_npm
    cmake --build "$build-bench" -j"$jobs" --target atlasbau web_app
    OSTRELIN_BUILD_DIR="$build-bench" node "$here/web/bench/browser_bench.mjs"
    ;;
  fuzz)
    need "${base_packages[@]}" clang libclang-rt-14-dev
    secs=${2:-30}
    CXX=clang++ configure "$build-fuzz" -DOSTRELIN_FUZZ=ON -DOSTRELIN_BUILD_UI=OFF \
      -DOSTRELIN_BUILD_TESTS=OFF
    cmake --build "$build-fuzz" -j"$jobs"
    # 0 seconds only builds: libFuzzer would read -max_total_time=0 as no limit.
    [ "$secs" -gt 0 ] || exit 0
    for f in "$build-fuzz"/fuzz/fuzz_*; do
      name=${f##*/fuzz_}
      work=$(mktemp -d)
      cp -r "$here/fuzz/corpus/$name/." "$work/"
      echo "== fuzz_$name for ${secs}s"
      "$f" -max_total_time="$secs" -print_final_stats=1 "$work" >"$work.log" 2>&1 ||
        { tail -n 40 "$work.log"; exit 1; }
      echo "   $(grep -o 'executed_units: [0-9]*' "$work.log" | cut -d' ' -f2) executions"
      rm -rf "$work" "$work.log"
    done
    echo "== the campaign to date (scripts/fuzz_campaign.sh, docs/fuzzing.md)"
    bash "$here/scripts/fuzz_campaign.sh" --totals
    ;;
  coverage)
    need "${base_packages[@]}" clang llvm-14
    exec bash "$here/scripts/fuzz_coverage.sh" "${@:2}"
    ;;
  package)
    # CPack's .deb: dpkg-shlibdeps computes the library dependencies and needs `file`.
    need "${base_packages[@]}" dpkg-dev file
    configure "$build-package" -DOSTRELIN_BUILD_TESTS=OFF
    cmake --build "$build-package" -j"$jobs"
    (cd "$build-package" && cpack -G DEB)
    ;;
  web)
    need "${base_packages[@]}" "${web_packages[@]}"
    need_npm
    configure "$build"
    cmake --build "$build" -j"$jobs" --target atlasbau web_app
    demo_tree "$build"
    serve="$build/web-serve"
    mkdir -p "$serve/tmp"
    "$build/tools/atlasbau" web "$build/demo-atlas" "$serve/site"
    echo "== serving $serve/site at http://127.0.0.1:8080/ (Ctrl+C ends it)"
    # nginx's workers run as nobody when root starts it: the site must be readable for everyone.
    chmod -R a+rX "$serve/site"
    exec nginx -p "$serve" -e stderr -c "$here/web/nginx.conf" -g 'daemon off;'
    ;;
  need)  # scripts/dev.sh need PACKAGE...: install what is missing (used by scripts/check-package.sh)
    shift
    need "$@"
    ;;
  *)
    sed -n '2,12p' "$0"
    exit 2
    ;;
esac
