#!/usr/bin/env bash
# Runs the fuzz targets of BUILD/fuzz for SECONDS each, JOBS at a time, under
# nice. Usage: fuzz.sh BUILD SECONDS JOBS [target ...] (default: every target).
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
if [ ${#targets[@]} -eq 0 ]; then
  for t in "$build"/fuzz/fuzz_*; do targets+=("${t##*/fuzz_}"); done
fi
mkdir -p "$build/fuzz-corpus" "$build/fuzz-found" "$build/fuzz-logs"

run_one() {
  local t=$1 bin="$build/fuzz/fuzz_$1"
  local corpus="$build/fuzz-corpus/$t" log="$build/fuzz-logs/$t.log"
  mkdir -p "$corpus"
  local dirs=("$corpus")
  [ -d "$root/tests/fuzz/seeds/$t" ] && dirs+=("$root/tests/fuzz/seeds/$t")
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 LSAN_OPTIONS=suppressions="$root/tests/fuzz/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    nice -n 19 "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz-found/$t-" "${dirs[@]}" >"$log" 2>&1
  local rc=$?
  local runs cov
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  cov=$(grep -E '^#[0-9]+' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+')
  if [ $rc -eq 0 ]; then
    echo "fuzz_$t: ${runs:-?} runs in ${seconds}s, ${cov:-no coverage line}"
  else
    echo "fuzz_$t: FAILED (exit $rc) after ${runs:-?} runs, see $log"
    grep -E 'ERROR: |runtime error|SUMMARY|Test unit written' "$log" | head -5
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
