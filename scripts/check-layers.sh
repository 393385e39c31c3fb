#!/usr/bin/env bash
# The include graph of the source folders has no circle: every part ("shell/core",
# "structures/ui", "app", ...) includes only parts below it, and only app/ (the composition at the
# top) and the tests include from app/. Two more walls: the logic in any */core includes no Qt
# header, and structures/ (the plain image window) never names the quiz, which plugs into it as a
# mode from app/. Prints the offending includes and exits 1 otherwise.
set -euo pipefail
cd "${1:-$(dirname "${BASH_SOURCE[0]}")/..}"

# Every top folder with a CMakeLists.txt is a subsystem, except the tests, benchmarks, fuzz targets
# and the packaging around them (they may include anything).
folders=()
for dir in */; do
  dir=${dir%/}
  case "$dir" in tests|bench|fuzz|packaging|build*|docs|scripts|cmake) continue ;; esac
  [ -f "$dir/CMakeLists.txt" ] && folders+=("$dir")
done
headers=$(find "${folders[@]}" -name node_modules -prune -o -name '*.h' -print)
# "file included" for every include outside the tests.
includes=$(grep -rHoE --include='*.cpp' --include='*.h' --exclude-dir=node_modules \
             '^#include [<"][^">]+[">]' "${folders[@]}" |
           sed -E 's/:#include [<"]/ /; s/[">]$//')
# A part is a path's folder up to its core/, ui/, sound/ or art/ level, or else its top folder.
edges=$(awk '
  function part(path) {
    if (match(path, /^([^\/]+\/)*(core|ui|sound|art)\//)) return substr(path, 1, RLENGTH - 1)
    sub(/\/.*/, "", path)
    return path
  }
  NR == FNR { header[$1] = 1; next }
  {
    from = part($1)
    if ($2 ~ /^Q[A-Za-z]*(\/|$)/ && from ~ /(^|\/)core$/) {
      print "! " $1 " includes <" $2 ">: the logic in core/ is Qt-free"
      next
    }
    if (!($2 in header)) next   # Qt and system headers
    to = part($2)
    if (from == to) next
    if (to ~ /^app/ && from !~ /^app/) print "! " $1 " includes " $2 ": only app/ builds on app/"
    if (to ~ /^quiz/ && from ~ /^structures/)
      print "! " $1 " includes " $2 ": the image window knows modes, not the quiz"
    print from, to
  }' <(echo "$headers") <(echo "$includes") | sort -u)

status=0
if grep '^! ' <<<"$edges" >&2; then status=1; fi
if ! loop=$(grep -v '^! ' <<<"$edges" | tsort 2>&1 >/dev/null) || [ -n "$loop" ]; then
  echo "the folders include each other in a circle:" >&2
  echo "$loop" >&2
  status=1
fi
[ "$status" -eq 0 ] && echo "$(grep -vc '^! ' <<<"$edges") include edges between parts, no circle"
exit "$status"
