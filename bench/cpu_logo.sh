#!/usr/bin/env bash
# CPU use of the game in its logo/menu loop, in a real window under Xvfb.
#   bench/cpu_logo.sh [BUILD_DIR] [SECONDS]
# Starts the game in a scratch directory (links into the generated data), lets
# the splash and loading pages pass (about 9 s), then samples the process's CPU
# time over SECONDS (default 10) of wall time and prints the share of one core.
# Ten seconds cover the logo pages (8 s) and go on into the main menu, which a
# fresh data directory shows with the new-profile dialog over it.
# BENCH_ENV passes variables to the game, e.g. BENCH_ENV="SDL_RENDER_DRIVER=software".
set -eu
build=${1:-build}
seconds=${2:-10}
game=$(realpath "$build/game/brimvale")
data=$(realpath "$build/game/data")
work=$(mktemp -d /tmp/brimvale-cpu-XXXXXX)
# Ending the game lets xvfb-run take its X server down with it.
trap 'kill "${gamepid:-}" 2>/dev/null || true; sleep 1; kill "${pid:-}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
cp -rs "$data" "$work/data"
cd "$work"
# The pages fade in and out on the wall clock: splash 2 x 4 s, then loading.
xvfb-run -a -s "-screen 0 1024x768x24" env SDL_AUDIODRIVER=dummy ${BENCH_ENV:-} "$game" --windowed >"$work/out.txt" 2>&1 &
pid=$!
sleep 1
gamepid=$(pgrep -n -f "$game" || true)
[ -n "$gamepid" ] || { echo "the game did not start"; cat "$work/out.txt"; exit 1; }
sleep 9
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$gamepid/stat"; }
before=$(cpu)
sleep "$seconds"
if [ ! -e "/proc/$gamepid/stat" ]; then echo "the game ended before the measurement did"; cat "$work/out.txt"; exit 1; fi
after=$(cpu)
awk -v b="$before" -v a="$after" -v t="$ticks" -v s="$seconds" -v e="${BENCH_ENV:-default renderer}" \
    'BEGIN { printf "logo/menu loop: %.1f%% of one core over %d s (%.2f s of CPU) [%s]\n", 100 * (a - b) / t / s, s, (a - b) / t, e }'
