#!/usr/bin/env bash
# Whether the days are fair, over many seeds: the bot plays the whole game
# once carefully and once carelessly per seed, and the figures say per day how
# often the careful player won, lost with every order delivered, or lost with
# orders missed, and how often the careless player lost.
#   bench/fair_days.sh [BUILD_DIR] [FIRST] [LAST] [JOBS] [OUT_DIR] [STEP]
#   bench/fair_days.sh --summary OUT_DIR     the figures of runs already made
# A game stops at its first lost day (as for a player), so later days of that
# seed are not played. One game costs about 3 s of CPU; run it niced.
# Exit status 1 when a careful game lost a day with every order delivered at
# a rating above 0.5, or a course; the figures are printed either way.
set -u
summary() {  # summary DIR: the seeds whose two games have both ended
    local dir=$1 files=() f c n=0
    for f in "$dir"/careful-*.txt; do
        c=${f/careful-/careless-}
        if grep -qE '^bot: ([0-9]+ days played|stuck)' "$f" 2>/dev/null &&
            grep -qE '^bot: ([0-9]+ days played|stuck)' "$c" 2>/dev/null; then
            files+=("$f" "$c")
            n=$((n + 1))
        fi
    done
    echo "$n seeds played to the end"
    [ "$n" -gt 0 ] || return 1
    awk '
    FNR == 1 {
        n = split(FILENAME, p, "/"); f = p[n]
        careless = (f ~ /^careless-/)
        if (careless) { cgames++; closs[f] = 0 } else { games++; lost[f] = 0 }
    }
    /^level +[0-9]+ (day|course)/ {
        lvl = $2 + 0; kind[lvl] = $3; res = $4
        split($0, a, "receipts [$]"); money = a[2] + 0
        split($0, b, "rating "); rating = b[2] + 0
        split($0, c, "orders "); split(c[2], o, "[/,]"); all = (o[1] + 0 == o[2] + 0)
        if (lvl > maxl) maxl = lvl
        if (careless) {
            cplayed[lvl]++
            if (res == "LOST") { clost[lvl]++; closs[f] = 1 }
            next
        }
        played[lvl]++
        if (res == "won") won[lvl]++
        else {
            lost[f] = 1
            if ($3 == "course") { crash[lvl]++; crashed = crashed " " f ":" lvl }
            else if (all) {
                full[lvl]++
                if (rating > 0.5) { fullgood[lvl]++; bad = bad " " f ":" lvl ":$" money }
            }
            else missed[lvl]++
        }
    }
    /stuck/ { if (careless) cstuck++; else stuck++ }
    END {
        print "careful player: days played, won, lost with every order delivered (of them at a rating above 0.5),"
        print "lost with orders missed (a course: crashed); careless player: days played, lost"
        printf "%-6s %-6s %6s %6s %12s %6s %6s | %8s %6s\n", "level", "kind", "played", "won", "lost all in",
               "(>0.5)", "missed", "careless", "lost"
        for (l = 1; l <= maxl; ++l)
            printf "%-6d %-6s %6d %6d %12d %6d %6d | %8d %6d\n", l, kind[l], played[l], won[l], full[l],
                   fullgood[l], missed[l] + crash[l], cplayed[l], clost[l]
        w = 0; for (f in lost) if (!lost[f]) w++
        cl = 0; for (f in closs) if (closs[f]) cl++
        cr = 0; for (l in crash) cr += crash[l]
        fg = 0; for (l in fullgood) fg += fullgood[l]
        printf "careful: %d of %d whole games won (%.1f %%); days lost with every order delivered at a rating above 0.5: %d; courses lost: %d; stuck: %d\n",
               w, games, games ? 100 * w / games : 0, fg, cr, stuck + 0
        printf "careless: %d of %d games lost a day (%.1f %%); stuck: %d\n", cl, cgames,
               cgames ? 100 * cl / cgames : 0, cstuck + 0
        if (bad != "") print "lost with every order delivered (seed:level):" bad
        if (crashed != "") print "courses lost (seed:level):" crashed
        exit (fg > 0 || cr > 0) ? 1 : 0
    }' "${files[@]}"
}
if [ "${1:-}" = --summary ]; then
    summary "$2"
    exit $?
fi
build=${1:-build}
first=${2:-1}
last=${3:-200}
jobs=${4:-2}
out=${5:-$(mktemp -d /tmp/brimvale-fair-XXXXXX)}
step=${6:-1}
game=$(realpath "$build/game/brimvale")
data=$(realpath "$build/game/data")
mkdir -p "$out"
export game data out
play() {  # play careful|careless SEED
    local work
    work=$(mktemp -d /tmp/brimvale-fair-run-XXXXXX)
    cp -rs "$data" "$work/data"
    local flag=""
    [ "$1" = careless ] && flag=--careless
    (cd "$work" && "$game" --headless --bot $flag --seed "$2" >"$out/$1-$2.txt" 2>/dev/null)
    rm -rf "$work"
}
export -f play
echo "seeds $first-$last (every ${step}th), results in $out"
for s in $(seq "$first" "$step" "$last"); do echo "careful $s"; echo "careless $s"; done |
    xargs -P "$jobs" -n 2 bash -c 'play "$0" "$1"'
summary "$out"
