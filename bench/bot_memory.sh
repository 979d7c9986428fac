#!/usr/bin/env bash
# Resident memory of the game played whole by the bot, headless.
#   bench/bot_memory.sh [BUILD_DIR] [GAMES] [SEED]
# First one game: its peak resident memory (VmHWM). Then GAMES whole games
# (default 5) in one process, a soak: the resident memory (VmRSS) at the start
# of each day, by day and game, and the growth from one game to the next.
set -eu
build=${1:-build}
games=${2:-5}
seed=${3:-7}
game=$(realpath "$build/game/brimvale")
data=$(realpath "$build/game/data")
work=$(mktemp -d /tmp/brimvale-botmem-XXXXXX)
trap 'rm -rf "$work"' EXIT
run() {  # run NAME ARGS...: the bot in a fresh directory, its lines on stdout
    local dir="$work/$1"
    shift
    mkdir -p "$dir" && cp -rs "$data" "$dir/data"
    (cd "$dir" && "$game" --headless --bot --seed "$seed" "$@" 2>/dev/null) || true
}
echo "== one game (seed $seed)"
run one | grep -E '^bot: [0-9]+ days'
echo "== $games games in one process: resident MB at the start of each day"
run soak --repeat "$games" | awk -v games="$games" '
    /^game [0-9]+ level/ {
        g = $2; lvl = $4 + 0
        for (i = 1; i <= NF; ++i) if ($i == "resident") rss = $(i + 1)
        r[g, lvl] = rss; if (lvl > maxl) maxl = lvl
    }
    /^bot: [0-9]+ days/ { summary = $0 }
    END {
        printf "day  "; for (g = 1; g <= games; ++g) printf "  game %d", g; printf "\n"
        for (l = 1; l <= maxl; ++l) {
            printf "%3d  ", l; for (g = 1; g <= games; ++g) printf " %7s", r[g, l]; printf "\n"
        }
        if (games > 1) printf "growth per game at day 1: %.1f MB\n", (r[games, 1] - r[2, 1]) / (games > 2 ? games - 2 : 1)
        print summary
    }'
