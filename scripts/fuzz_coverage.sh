#!/usr/bin/env bash
# Line coverage of every file reader by its committed fuzz corpus (clang source-based coverage):
# builds the corpus replay programs with coverage instrumentation in $OSTRELIN_BUILD_DIR-cov,
# replays each corpus and prints, per target, the line coverage of the reader's own source files.
# `scripts/dev.sh coverage` installs what this needs (clang, llvm-14) and runs it.
#
#   scripts/fuzz_coverage.sh [target...]     the table; --show TARGET prints the uncovered lines
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${OSTRELIN_BUILD_DIR:-$here/build}-cov
jobs=${OSTRELIN_JOBS:-2}
profdata=$(command -v llvm-profdata-14 || command -v llvm-profdata)
cov=$(command -v llvm-cov-14 || command -v llvm-cov)

# The reader's source files whose lines count for each target.
declare -A sources=(
  [bmp]="image/core/bmp_decoder.cpp"
  [jpeg]="image/core/jpeg_decoder.cpp"
  [outline]="structures/core/outline_file.cpp structures/core/object_list.cpp tools/core/linklist.cpp tools/core/outline_dump.cpp"
  [wave]="platform/core/wave_file.cpp"
  [nifti]="tools/demo/core/nifti.cpp"
  [ini]="platform/core/ini_file.cpp"
  [text_lines]="platform/core/text_file.cpp platform/core/list_file.cpp platform/core/cp1252.cpp"
  [bookmarks]="shell/core/bookmark_menu.cpp"
  [catalogue]="catalogue/core/catalogue.cpp"
  [cross_references]="navigation/core/cross_reference_list.cpp"
  [plane_list]="navigation/core/plane_list.cpp"
  [synonyms]="hypertext/core/synonym_list.cpp"
  [text_format]="hypertext/core/text_format.cpp hypertext/core/text_layout.cpp"
)

show=""
if [ "${1:-}" = "--show" ]; then show=$2; set -- "$2"; fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(ls "$here/fuzz/corpus"))

flags="-fprofile-instr-generate -fcoverage-mapping"
CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTRELIN_BUILD_UI=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$build" -j"$jobs" --target $(printf 'replay_%s ' "${targets[@]}") >/dev/null

printf '%-18s %8s %8s %9s\n' target lines covered coverage
for t in "${targets[@]}"; do
  raw=$build/cov-$t.profraw
  rm -f "$raw"
  LLVM_PROFILE_FILE=$raw "$build/fuzz/replay_$t" "$here/fuzz/corpus/$t" >/dev/null
  "$profdata" merge -sparse "$raw" -o "$build/cov-$t.profdata"
  if [ "$show" = "$t" ]; then
    for s in ${sources[$t]}; do
      "$cov" show "$build/fuzz/replay_$t" -instr-profile="$build/cov-$t.profdata" \
        -show-line-counts-or-regions "$here/$s" | grep -E '^ *[0-9]+\| *0\|' | sed "s|^|$s:|" || true
    done
    continue
  fi
  # The report names files as they were compiled; only the reader's own rows count.
  "$cov" report "$build/fuzz/replay_$t" -instr-profile="$build/cov-$t.profdata" |
    awk -v t="$t" -v files=" ${sources[$t]} " '
      { name = $1; sub(/^(\.\.\/)+/, "", name) }
      index(files, " " name " ") && NF >= 10 { lines += $8; missed += $9 }
      END { printf "%-18s %8d %8d %8.1f%%\n", t, lines, lines - missed,
            lines ? 100 * (lines - missed) / lines : 0 }'
done
