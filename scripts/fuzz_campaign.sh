#!/usr/bin/env bash
# The long fuzz campaign: one libFuzzer target at a time, at the lowest CPU priority, in slices,
# each slice resuming from the target's working corpus. Every slice appends a line to
# fuzz/campaign.tsv (UTC time, target, seconds, executions, result), the ledger that
# docs/fuzzing.md and `scripts/dev.sh fuzz` sum up. Targets that reached their goal (10^7
# executions for the binary readers, 10^6 for the text readers) are passed over.
#
#   scripts/fuzz_campaign.sh [slice-seconds] [target...]   run until every target reached its goal
#   scripts/fuzz_campaign.sh --totals                       print the executions per target to date
#   scripts/fuzz_campaign.sh --merge [target...]            minimise each working corpus into
#                                                          fuzz/corpus/<target> (-merge=1)
#
# Needs the fuzz build (`scripts/dev.sh fuzz 0` builds it) in $OSTRELIN_BUILD_DIR-fuzz. Working
# corpora and crash artifacts live in <fuzz build>/campaign/. OSTRELIN_FUZZ_SKIP lists targets to
# leave out (blank-separated). Stop it with SIGTERM or SIGINT: the running slice ends cleanly and
# is still counted. Touching <fuzz build>/campaign/STOP ends it after the current slice.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fuzzdir=${OSTRELIN_BUILD_DIR:-$here/build}-fuzz
ledger=$here/fuzz/campaign.tsv
work=$fuzzdir/campaign
binary_readers=" outline bmp jpeg nifti wave "

goal() {
  case "$binary_readers" in *" $1 "*) echo 10000000 ;; *) echo 1000000 ;; esac
}

executed() {  # executions of one target to date
  [ -f "$ledger" ] || { echo 0; return; }
  awk -F'\t' -v t="$1" '$2 == t { n += $4 } END { printf "%d\n", n }' "$ledger"
}

all_targets() {
  for f in "$fuzzdir"/fuzz/fuzz_*; do [ -x "$f" ] && echo "${f##*/fuzz_}"; done
}

totals() {
  printf '%-18s %14s %10s %8s\n' target executions goal corpus
  for t in $(ls "$here/fuzz/corpus"); do
    printf '%-18s %14d %10d %8d\n' "$t" "$(executed "$t")" "$(goal "$t")" \
      "$(find "$here/fuzz/corpus/$t" -type f | wc -l)"
  done
}

merge() {
  for t in "$@"; do
    [ -d "$work/$t" ] || continue
    local fresh=$work/merged-$t
    rm -rf "$fresh" && mkdir -p "$fresh"
    # The committed seeds stay; only inputs that add coverage join them.
    cp "$here/fuzz/corpus/$t/." "$fresh/" -r
    nice -n 19 "$fuzzdir/fuzz/fuzz_$t" -merge=1 "$fresh" "$work/$t" >"$work/merge-$t.log" 2>&1
    rm -rf "$here/fuzz/corpus/$t" && mv "$fresh" "$here/fuzz/corpus/$t"
    echo "$t: $(ls "$here/fuzz/corpus/$t" | wc -l) files"
  done
}

child=0
stopping=0
on_signal() {
  stopping=1
  [ "$child" -ne 0 ] && kill -INT "$child" 2>/dev/null || true
}

run_slice() {  # target seconds
  local t=$1 secs=$2 log=$work/last-$1.log
  local runs=$(( $(goal "$t") - $(executed "$t") ))
  mkdir -p "$work/$t" "$work/artifacts"
  [ -n "$(ls -A "$work/$t")" ] || cp -r "$here/fuzz/corpus/$t/." "$work/$t/"
  local start=$SECONDS
  nice -n 19 "$fuzzdir/fuzz/fuzz_$t" -max_total_time="$secs" -runs="$runs" -timeout=30 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/$t-" "$work/$t" >"$log" 2>&1 &
  child=$!
  wait "$child" || true
  wait "$child" 2>/dev/null || true  # a signal ends the first wait early
  child=0
  local n result=ok
  n=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -n 1 | awk '{print $2}')
  [ -n "$n" ] || n=$(grep -oE '^#[0-9]+' "$log" | tail -n 1 | tr -d '#')
  if grep -q '^==[0-9]*== *ERROR\|runtime error:\|^SUMMARY: ' "$log"; then
    result=finding
    # At the lowest priority on a busy machine a run can starve past the time limit: a timeout
    # counts only when its input is slow again on its own.
    local slow
    slow=$(ls -t "$work/artifacts/$t-timeout-"* 2>/dev/null | head -n 1 || true)
    if grep -q 'libFuzzer: timeout' "$log" && [ -n "$slow" ] &&
       "$fuzzdir/fuzz/fuzz_$t" -timeout=10 "$slow" >/dev/null 2>&1; then
      result=starved
      rm -f "$slow"
    fi
    cp "$log" "$work/artifacts/$t-$(date -u +%H%M%S)-$result.log"
  fi
  printf '%s\t%s\t%s\t%s\t%s\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$t" "$((SECONDS - start))" \
    "${n:-0}" "$result" >>"$ledger"
  echo "$t: ${n:-0} executions in $((SECONDS - start)) s ($result)"
}

case "${1:-}" in
  --totals) totals; exit 0 ;;
  --merge) shift; [ $# -gt 0 ] || set -- $(all_targets); merge "$@"; exit 0 ;;
esac

slice=${1:-300}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || mapfile -t targets < <(all_targets)
[ -f "$ledger" ] || printf 'utc\ttarget\tseconds\texecutions\tresult\n' >"$ledger"
trap on_signal TERM INT
rm -f "$work/STOP"
while [ "$stopping" -eq 0 ] && [ ! -f "$work/STOP" ]; do
  ran=0
  for t in "${targets[@]}"; do
    case " ${OSTRELIN_FUZZ_SKIP:-} " in *" $t "*) continue ;; esac
    [ "$(executed "$t")" -lt "$(goal "$t")" ] || continue
    [ "$stopping" -eq 0 ] && [ ! -f "$work/STOP" ] || break
    run_slice "$t" "$slice"
    ran=1
  done
  [ "$ran" -eq 1 ] || break
done
