#!/usr/bin/env bash
# Plays every shipped day twice with a seed of its own, spread over 1-1000
# (fixed, so a failure can be replayed): a careful player (the script's
# `serve`) must reach the day's money target with every order settled, a
# careless one (serves a little, then stands idle) must miss it.
# Screenshots of each day at its start and in play go to SHOTDIR; the frames
# between them are updated but not drawn (the same update, much faster).
#   play_days.sh GAME DATA LEVELSRC SHOTDIR [FIRST LAST]
set -u
game=$1 data=$2 src=$3 shots=$4 first=${5:-1} last=${6:-14}
mkdir -p "$shots" && shots=$(realpath "$shots")
fail=0
value() { sed -n "s/^$2: *//p" "$src/level$1.txt" | head -1; }
# The target the compiler wrote (a day in town may take the rule's).
datatool=${BRIMVALE_DATA_TOOL:-$(dirname "$(realpath "$game")")/../bin/brimvale-data}
target_of() { "$datatool" unscramble "$data/level$1.lvl" | sed -n 's/.*"LSC" \([0-9.]*\).*/\1/p' | head -1; }
seeds=(7 113 229 347 461 577 691 809 923 31 149 263 379 997)
preamble() {
    printf 'wait 600\nclick 400 300\nwait 1000\nclick 400 300\nwait 1500\n'
    for _ in 1 2 3 4 5 6; do echo "key backspace"; done
    printf 'type Mia\nclick 503 333\nwait 600\nclick-widget 2\nwait 1500\nclick-button story\nwait 3500\n'
    if [ "$1" != 1 ]; then
        printf 'type jump%02d\nwait 7500\nclick-button continue\nwait 1500\n' "$1"
        grep -q '^story:' "$src/level$1.txt" && printf 'click-button story\nwait 1500\n'
    fi
    [ "${2:-}" = course ] && return
    printf 'expect level == %s\n' "$1"
    # The bonus hint holds the day until its bonus is used.
    if grep -q '^tutorial: 4' "$src/level$1.txt"; then
        local names=(SpeedUp TimeDelay AddTime TimeReset SupplyAll ShowOrders WhoIsNext Capacity) first k
        first=$(sed -n 's/^bonus: *\([A-Za-z]*\).*/\1/p' "$src/level$1.txt" | head -1)
        for k in "${!names[@]}"; do [ "${names[$k]}" = "$first" ] && printf 'wait 3000\nclick-bonus %s\n' "$k"; done
    fi
}
run() {  # run NAME SCRIPTTEXT
    local work
    work=$(mktemp -d /tmp/brimvale-days-XXXXXX)
    cp -rs "$(realpath "$data")" "$work/data"
    printf '%s\n' "$2" > "$work/day.script"
    (cd "$work" && "$game" --headless --no-draw --script "$work/day.script" --shots "$shots" --seed "$seed" > "$work/out.txt" 2>&1)
    local status=$?
    if [ $status != 0 ]; then
        echo "$1 (seed $seed): $(tail -1 "$work/out.txt")"
        fail=1
    else
        echo "$1 (seed $seed): ok"
    fi
    rm -rf "$work"
}
for n in $(seq "$first" "$last"); do
    kind=$(value "$n" kind)
    orders=$(value "$n" orders)
    target=$(target_of "$n")
    seed=${seeds[$(((n - 1) % ${#seeds[@]}))]}
    if [ -z "$target" ]; then
        echo "level$n: no target in $data/level$n.lvl"
        fail=1
        continue
    fi
    if [ "${kind:-0}" = 1 ]; then
        # A course: the careful driver steers round the traffic to the finish;
        # the careless one takes the hinted lane, then holds the wheel still.
        course=$(value "$n" course)
        drive=$((course * 1000 / 180 + 12000))
        good="$(preamble "$n" course)
expect level == $n
wait 4000
shot level$n-start
serve $((drive / 3))
shot level$n-play
serve $((drive - drive / 3))
expect mg-crashed == 0
expect orders-left == 0
quit"
        careless="$(preamble "$n" course)
expect level == $n
wait 4000
serve 2000
wait $drive
expect mg-crashed == 1
quit"
        run "level$n careful" "$good"
        run "level$n careless" "$careless"
        continue
    fi
    day=$((orders * 5000 + 30000))
    good="$(preamble "$n")
wait 3000
shot level$n-start
serve $((day / 3))
shot level$n-play
serve $((day - day / 3))
expect orders-left == 0
expect cash >= $target
expect rating > 0
quit"
    careless="$(preamble "$n")
wait 3000
serve 5000
wait $day
expect cash < $target
quit"
    run "level$n careful" "$good"
    run "level$n careless" "$careless"
done
exit $fail
