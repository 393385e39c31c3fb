#!/usr/bin/env bash
# The include graph of the source folders has no circle: every part ("shell/core",
# "structures/ui", "app", ...) includes only parts below it, and only app/ (the composition at the
# top) and the tests include from app/. Prints the offending includes and exits 1 otherwise.
set -euo pipefail
cd "${1:-$(dirname "${BASH_SOURCE[0]}")/..}"

folders=(app platform resources catalogue image structures hypertext navigation shell tools web)
headers=$(find "${folders[@]}" -name '*.h')
# "file included" for every include outside the tests.
includes=$(grep -rHoE --include='*.cpp' --include='*.h' '^#include "[^"]+"' "${folders[@]}" |
           sed -E 's/:#include "/ /; s/"$//')
# A part is a path's folder up to its core/, ui/, sound/ or art/ level, or else its top folder.
edges=$(awk '
  function part(path) {
    if (match(path, /^([^\/]+\/)*(core|ui|sound|art)\//)) return substr(path, 1, RLENGTH - 1)
    sub(/\/.*/, "", path)
    return path
  }
  NR == FNR { header[$1] = 1; next }
  {
    if (!($2 in header)) next   # Qt and system headers
    from = part($1); to = part($2)
    if (from == to) next
    if (to ~ /^app/ && from !~ /^app/) print "! " $1 " includes " $2 ": only app/ builds on app/"
    print from, to
  }' <(echo "$headers") <(echo "$includes") | sort -u)

status=0
if grep '^! ' <<<"$edges" >&2; then status=1; fi
if ! loop=$(grep -v '^! ' <<<"$edges" | tsort 2>&1 >/dev/null) || [ -n "$loop" ]; then
  echo "the folders include each other in a circle:" >&2
  echo "$loop" >&2
  status=1
fi
[ "$status" -eq 0 ] && echo "$(wc -l <<<"$edges") include edges between parts, no circle"
exit "$status"
