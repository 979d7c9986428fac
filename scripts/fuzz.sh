#!/usr/bin/env bash
# Runs the fuzz targets of BUILD/fuzz for SECONDS each, JOBS at a time, under
# nice (FUZZ_NICE, default 5). Usage: fuzz.sh BUILD SECONDS JOBS [target ...]
# (default: every target).
# Each target starts from its seeds (tests/fuzz/seeds/<target>); the growing corpus stays in BUILD/fuzz-corpus/<target>,
# crashing inputs land in BUILD/fuzz-found/, the log in BUILD/fuzz-logs/.
set -uo pipefail
build=${1:?build directory}
seconds=${2:-600}
jobs=${3:-2}
shift 3 || true
root=$(cd "$(dirname "$0")/.." && pwd)
# Absolute: the targets work in a directory of their own.
build=$(cd "$build" && pwd)
targets=("$@")
nice=${FUZZ_NICE:-5}
if [ ${#targets[@]} -eq 0 ]; then
  for t in "$build"/fuzz/fuzz_*; do targets+=("${t##*/fuzz_}"); done
fi
mkdir -p "$build/fuzz-corpus" "$build/fuzz-found" "$build/fuzz-logs"

run_one() {
  local t=$1 bin="$build/fuzz/fuzz_$1"
  local corpus="$build/fuzz-corpus/$t" log="$build/fuzz-logs/$t.log"
  mkdir -p "$corpus"
  : >"$log"
  local dirs=("$corpus")
  [ -d "$root/tests/fuzz/seeds/$t" ] && dirs+=("$root/tests/fuzz/seeds/$t")
  # A finding ends libFuzzer's run; start again from the grown corpus until
  # the target has had its whole time, so one early crash hides nothing else.
  local start=$SECONDS left=$seconds rc=0 round_rc findings=0 runs=0 r
  while [ "$left" -gt 0 ]; do
    local round_start=$SECONDS
    ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 LSAN_OPTIONS=suppressions="$root/tests/fuzz/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      nice -n "$nice" "$bin" -max_total_time="$left" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
      -print_final_stats=1 -artifact_prefix="$build/fuzz-found/$t-" "${dirs[@]}" >"$log.round" 2>&1
    round_rc=$?
    cat "$log.round" >>"$log"
    r=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log.round" | grep -o '[0-9]*$')
    runs=$((runs + ${r:-0}))
    if [ $round_rc -ne 0 ]; then
      rc=$round_rc
      findings=$((findings + 1))
      # A seed that fails straight away would only fail again.
      [ $((SECONDS - round_start)) -lt 5 ] && break
    fi
    left=$((seconds - (SECONDS - start)))
    [ $round_rc -eq 0 ] && break
  done
  rm -f "$log.round"
  local cov size
  cov=$(grep -E '^#[0-9]+' "$log" | grep -oE 'cov: [0-9]+ ft: [0-9]+' | tail -1)
  size=$(find "$corpus" -type f | wc -l)
  if [ $rc -eq 0 ]; then
    echo "fuzz_$t: $runs runs in ${seconds}s, ${cov:-no coverage line}, corpus $size"
  else
    echo "fuzz_$t: FAILED $findings time(s), $runs runs in $((SECONDS - start))s, ${cov:-no coverage line}, corpus $size; see $log"
    grep -E 'ERROR: |runtime error|SUMMARY|Test unit written' "$log" | head -8
  fi
  return $rc
}

failed=0
pids=()
for t in "${targets[@]}"; do
  if [ ! -x "$build/fuzz/fuzz_$t" ]; then
    echo "fuzz_$t: no such target"; failed=1; continue
  fi
  run_one "$t" & pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || failed=1; done
exit $failed
