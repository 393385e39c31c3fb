#!/usr/bin/env bash
# Line coverage of every file reader by its committed fuzz corpus (clang source-based coverage):
# builds the corpus replay programs with coverage instrumentation in $OSTRELIN_BUILD_DIR-cov,
# replays each corpus and prints, per target, the line coverage of the reader's own source files.
# `scripts/dev.sh coverage` installs what this needs (clang, llvm-14) and runs it.
#
#   scripts/fuzz_coverage.sh [row...]     the table; --show ROW prints the uncovered lines
#
# A row is a target, or a reader that several targets feed (labels).
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
  [outline]="structures/core/outline_file.cpp structures/core/object_list.cpp authoring/core/linklist.cpp authoring/core/outline_dump.cpp"
  [wave]="platform/core/wave_file.cpp"
  [nifti]="authoring/core/nifti.cpp"
  [ini]="platform/core/ini_file.cpp"
  [text_lines]="platform/core/text_file.cpp platform/core/list_file.cpp platform/core/cp1252.cpp"
  [bookmarks]="shell/core/bookmark_menu.cpp"
  [catalogue]="catalogue/core/catalogue.cpp"
  [cross_references]="catalogue/core/cross_reference_list.cpp"
  [plane_list]="navigation/core/plane_list.cpp"
  [synonyms]="catalogue/core/synonym_list.cpp"
  [text_format]="hypertext/core/text_format.cpp hypertext/core/text_layout.cpp"
  [learning_record]="quiz/core/learning_record.cpp"
  [labels]="authoring/core/label_table.cpp authoring/core/label_names.cpp"
)
# Rows whose reader is fed by several targets: their corpora count together.
declare -A feeds=([labels]="caret_labels label_table name_map")

show=""
if [ "${1:-}" = "--show" ]; then show=$2; set -- "$2"; fi
rows=("$@")
[ ${#rows[@]} -gt 0 ] || rows=($(printf '%s\n' "${!sources[@]}" | sort))
targets=()
for r in "${rows[@]}"; do targets+=(${feeds[$r]:-$r}); done

flags="-fprofile-instr-generate -fcoverage-mapping"
CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTRELIN_BUILD_UI=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$build" -j"$jobs" --target $(printf 'replay_%s ' "${targets[@]}") >/dev/null

printf '%-18s %8s %8s %9s\n' target lines covered coverage
for t in "${rows[@]}"; do
  raws=() objects=()
  for f in ${feeds[$t]:-$t}; do
    raw=$build/cov-$f.profraw
    rm -f "$raw"
    LLVM_PROFILE_FILE=$raw "$build/fuzz/replay_$f" "$here/fuzz/corpus/$f" >/dev/null
    raws+=("$raw")
    objects+=(${objects:+-object} "$build/fuzz/replay_$f")
  done
  "$profdata" merge -sparse "${raws[@]}" -o "$build/cov-$t.profdata"
  if [ "$show" = "$t" ]; then
    # The whole listing, cut to the reader's files: a file argument to `show` lists nothing here.
    "$cov" show "${objects[@]}" -instr-profile="$build/cov-$t.profdata" -show-line-counts-or-regions |
      awk -v root="$here/" -v files=" ${sources[$t]} " '
        /^\/.*:$/ { name = substr($0, 1, length($0) - 1); sub(root, "", name); next }
        index(files, " " name " ") && /^ *[0-9]+\| *0\|/ { print name ":" $0 }'
    continue
  fi
  # The report names files as they were compiled; only the reader's own rows count.
  "$cov" report "${objects[@]}" -instr-profile="$build/cov-$t.profdata" |
    awk -v t="$t" -v files=" ${sources[$t]} " '
      { name = $1; sub(/^(\.\.\/)+/, "", name) }
      index(files, " " name " ") && NF >= 10 { lines += $8; missed += $9 }
      END { printf "%-18s %8d %8d %8.1f%%\n", t, lines, lines - missed,
            lines ? 100 * (lines - missed) / lines : 0 }'
done
