#!/usr/bin/env bash
# Runs per CPU second of a libFuzzer target in a steady run: SECONDS (default
# 60) of fuzzing with a fixed seed, from copies of the given corpus folders
# (default: the target's seeds), under the sanitizer options `make fuzz` uses.
#   bench/fuzz_speed.sh BUILD-FUZZ/fuzz/fuzz_level [SECONDS] [CORPUS_DIR ...]
# The level and cars targets read the data set of BRIMVALE_FUZZ_DATA (default
# build/game/data).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "${1:?fuzz target}")
seconds=${2:-60}
shift $(($# < 2 ? $# : 2))
name=${bin##*/fuzz_}
dirs=("$@")
[ ${#dirs[@]} -gt 0 ] || dirs=("$root/tests/fuzz/seeds/$name")
work=$(mktemp -d /tmp/brimvale-fuzz-speed-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
for d in "${dirs[@]}"; do cp "$d"/* "$work/corpus/"; done
export BRIMVALE_FUZZ_DATA=${BRIMVALE_FUZZ_DATA:-$root/build/game/data}
(cd "$work" && ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    LSAN_OPTIONS=suppressions="$root/tests/fuzz/lsan.supp" \
    /usr/bin/time -f "cpu %U %S" "$bin" -seed=7 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -malloc_limit_mb=1024 -print_final_stats=1 "$work/corpus" >"$work/log" 2>&1) || true
runs=$(grep -o 'number_of_executed_units: *[0-9]*' "$work/log" | grep -o '[0-9]*$' || echo 0)
cpu=$(awk '/^cpu /{print $2 + $3}' "$work/log")
cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$work/log" | tail -1)
awk -v n="$name" -v r="${runs:-0}" -v c="${cpu:-0}" -v cov="$cov" -v s="$seconds" 'BEGIN {
    printf "fuzz_%s: %d runs in %s s, %.1f CPU s: %.0f runs per CPU second (%s)\n", n, r, s, c, (c > 0 ? r / c : 0), cov }'
grep -E 'ERROR: |runtime error' "$work/log" | head -3 || true
