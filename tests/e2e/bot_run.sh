#!/usr/bin/env bash
# The bot playing the real game headless, in a fresh directory with its own
# "data" (links into the generated set).
#   bot_run.sh game GAME DATA SEED       every day of the game won, the highscores reached
#   bot_run.sh careless GAME DATA SEED   a careless player loses a day (status 1)
#   bot_run.sh replay GAME DATA SEED     two recorded bot days replay to the same state,
#                                        profile bytes and last frame; not against other data
#   bot_run.sh fair GAME DATA STEP       careful and careless bots over seeds 1-1000, every
#                                        STEP-th (bench/fair_days.sh): no day lost with every
#                                        order delivered, no course lost, every whole game won
#                                        but one in a hundred, the careless bot losing in nine of ten
set -u
mode=$1 game=$2 data=$3 seed=$4
work=$(mktemp -d /tmp/brimvale-bot-XXXXXX)
trap 'rm -rf "$work"' EXIT
fresh() { mkdir -p "$work/$1" && cp -rs "$(realpath "$data")" "$work/$1/data"; }
fail=0
check() { if ! eval "$1"; then echo "FAILED: $2"; fail=1; fi; }
show() { echo "---- $1"; cat "$1"; }

case $mode in
fair)
    bench=$(dirname "$(realpath "$0")")/../../bench/fair_days.sh
    build=$(dirname "$(dirname "$(realpath "$game")")")
    bash "$bench" "$build" 1 1000 2 "$work/fair" "$seed" >"$work/fair.txt" 2>&1
    status=$?
    show "$work/fair.txt"
    check '[ "$status" = 0 ]' "a day lost with every order delivered, or a course lost"
    won=$(sed -n 's/^careful: \([0-9]*\) of \([0-9]*\) whole.*/\1 \2/p' "$work/fair.txt")
    lost=$(sed -n 's/^careless: \([0-9]*\) of \([0-9]*\) games.*/\1 \2/p' "$work/fair.txt")
    check '[ -n "$won" ] && [ $((100 * ${won% *})) -ge $((99 * ${won#* })) ]' "careful games won: $won"
    check '[ -n "$lost" ] && [ $((10 * ${lost% *})) -ge $((9 * ${lost#* })) ]' "careless games lost: $lost"
    ;;
game)
    fresh run
    (cd "$work/run" && "$game" --headless --bot --seed "$seed" >out.txt 2>err.txt)
    status=$?
    show "$work/run/out.txt"
    days=$(grep -c '^level .* won ' "$work/run/out.txt")
    check '[ "$status" = 0 ]' "exit status $status, expected 0"
    check '[ "$days" = 14 ]' "$days days won, expected 14"
    check 'grep -q "^bot: highscores reached: Bot at row" "$work/run/out.txt"' "the highscores were not reached"
    check '! grep -q LOST "$work/run/out.txt"' "a day was lost"
    ;;
careless)
    fresh run
    (cd "$work/run" && "$game" --headless --bot --careless --seed "$seed" >out.txt 2>err.txt)
    status=$?
    show "$work/run/out.txt"
    check '[ "$status" = 1 ]' "exit status $status, expected 1 (a day lost)"
    check 'grep -q "^level .* LOST " "$work/run/out.txt"' "no day was lost"
    check '! grep -q "stuck" "$work/run/out.txt"' "the bot got stuck"
    ;;
replay)
    fresh rec
    fresh play
    (cd "$work/rec" && "$game" --headless --bot --levels 2 --seed "$seed" --record ../day.rec --state state.txt \
        --shots shots >out.txt 2>err.txt)
    status=$?
    show "$work/rec/out.txt"
    check '[ "$status" = 0 ]' "the recorded run ended with status $status"
    check 'grep -q "^seed $seed$" "$work/day.rec" && grep -q "^at [0-9]* down " "$work/day.rec"' \
        "the recording holds no seed or no clicks"
    # The replay draws every frame, the recorded run none: drawing changes nothing.
    (cd "$work/play" && "$game" --headless --script ../day.rec --state state.txt --shots shots >out.txt 2>err.txt)
    status=$?
    check '[ "$status" = 0 ]' "the replay ended with status $status"
    check 'diff "$work/rec/state.txt" "$work/play/state.txt"' "the replay ended in another state"
    check 'cmp "$work/rec/data/Bot.prf" "$work/play/data/Bot.prf"' "the profiles differ"
    check 'cmp "$work/rec/shots/last-frame.png" "$work/play/shots/last-frame.png"' "the last frames differ"
    check 'grep -q "^level 2$" "$work/rec/state.txt" && grep -q "^cash [1-9]" "$work/rec/state.txt"' \
        "the recording did not end on the second day's report"
    show "$work/play/state.txt"
    [ $fail = 0 ] || show "$work/play/err.txt"
    # Against a changed day the replay would go its own way: refused, saying why.
    fresh other
    cp --remove-destination "$(realpath "$work/other/data/level2.lvl")" "$work/other/data/level2.lvl"
    printf ' ' >>"$work/other/data/level2.lvl"
    (cd "$work/other" && "$game" --headless --script ../day.rec --state state.txt >out.txt 2>err.txt)
    status=$?
    check '[ "$status" = 1 ]' "the replay against other data ended with status $status"
    check 'grep -q "the recording was made with other data, profiles or settings" "$work/other/err.txt"' \
        "the refusal does not say why"
    check '[ ! -e "$work/other/state.txt" ]' "the refused replay ran"
    ;;
*)
    echo "unknown mode $mode"
    exit 2
    ;;
esac
[ $fail = 0 ] || { [ -f "$work/run/err.txt" ] && show "$work/run/err.txt"; }
exit $fail
