#!/usr/bin/env bash
# Every C++ source of the tree is as clang-format writes it (.clang-format at the top).
#   check-format.sh [DIR]        lists the files that differ and exits 1
#   check-format.sh --fix [DIR]  rewrites them
# The format is pinned to one clang-format: other versions break some lines differently.
set -euo pipefail
fix=0
if [ "${1:-}" = --fix ]; then fix=1; shift; fi
cd "${1:-$(dirname "${BASH_SOURCE[0]}")/..}"

tool=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$tool" ]; then
  echo "clang-format is missing (apt-get install clang-format)" >&2
  exit 2
fi
if [ -d .git ] || git rev-parse --git-dir >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -v '/node_modules/')
else
  mapfile -t files < <(find . -path ./web/node_modules -prune -o -path './build*' -prune -o \
                              \( -name '*.cpp' -o -name '*.h' \) -print)
fi
if [ "$fix" -eq 1 ]; then
  "$tool" -i "${files[@]}"
  exit 0
fi
# One run over all files: its warnings name the files that differ.
mapfile -t bad < <("$tool" --dry-run "${files[@]}" 2>&1 |
                   sed -nE 's/^([^:]+):[0-9]+:[0-9]+: (warning|error): .*/\1/p' | sort -u)
if [ "${#bad[@]}" -gt 0 ]; then
  printf 'not formatted (bash scripts/check-format.sh --fix): %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "${#files[@]} files formatted"
