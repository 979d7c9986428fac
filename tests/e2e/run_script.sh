#!/usr/bin/env bash
# Runs one end-to-end script against the real game in a fresh directory.
#   run_script.sh GAME DATA SCRIPT EXPECTED_STATUS [CHECK...]
# The directory gets its own "data" (links into the generated set), so
# settings, profiles, logs and screenshots stay there. Each CHECK is
#   file:PATH            PATH (relative to the directory) exists
#   nofile:PATH          PATH does not exist
#   grep:PATH:TEXT       PATH contains TEXT
#   png:NAME             the screenshot NAME.png exists
#   golden:NAME          the screenshot NAME.png equals tests/golden/NAME.png
#                        ($BRIMVALE_E2E_GOLDEN; BRIMVALE_GOLDEN_UPDATE=1 rewrites it)
#   count:PATH:N:TEXT    PATH has exactly N lines containing TEXT
#   line:PATH:N:TEXT     line N of PATH is exactly TEXT
#   without:PATH         (done before the run) PATH is taken out of the data copy
#   write:PATH:TEXT      (done before the run) PATH is written with TEXT (\n: line feed)
#   copy:NAME[:AS]       (done before the run) NAME beside the script is copied into the directory (as AS)
#   readonly             (done before the run) the directory and its data cannot
#                        be written; as root the game runs as "nobody" for that
#   args:ARGS            (done before the run) more options for the game
#   kit:VARIANT          (done before the run) our own test town and levels are
#                        written into the data copy ($BRIMVALE_E2E_KIT)
#   seed:S               the game runs with --seed S
#   profile:NAME:TEXT    "brimvale-data profile data/NAME" prints TEXT
#                        ($BRIMVALE_DATA_TOOL)
#   highscores:TEXT      "brimvale-data highscores data/highscores.dat" prints TEXT
set -u
game=$1 data=$2 script=$3 expected=$4
shift 4
work=$(mktemp -d /tmp/brimvale-e2e-XXXXXX)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
cp -rs "$(realpath "$data")" "$work/data"
mkdir -p "$work/shots"
cd "$work"
run=()
extra=()
for check in "$@"; do
    case $check in
    seed:*) extra+=(--seed "${check#seed:}") ;;
    without:*) rm -f "data/${check#without:}" ;;
    kit:*) "$BRIMVALE_E2E_KIT" data "${check#kit:}" || { echo "the level kit failed"; exit 1; } ;;
    write:*) rest=${check#write:}; path=${rest%%:*}; printf '%b\n' "${rest#*:}" >"$path" ;;
    copy:*) rest=${check#copy:}; cp "$(dirname "$script")/${rest%%:*}" "./${rest#*:}" ;;
    args:*) read -r -a more <<<"${check#args:}"; extra+=("${more[@]}") ;;
    readonly)
        chmod 755 "$work"; chmod 777 "$work/shots"
        # Another user must read every file: copy those the generator left private.
        find -L "$work/data" -type f ! -perm -o=r | while read -r f; do
            cp --remove-destination "$(realpath "$f")" "$f"; chmod 644 "$f"; done
        find "$work/data" -type d -exec chmod a-w {} +
        chmod a-w "$work"
        if [ "$(id -u)" = 0 ]; then run=(setpriv --reuid=65534 --regid=65534 --clear-groups); fi ;;
    esac
done
"${run[@]}" "$game" --headless "${extra[@]}" --script "$script" --shots "$work/shots" >"$work/out.txt" 2>&1
status=$?
fail=0
if [ "$status" != "$expected" ]; then
    echo "exit status $status, expected $expected"
    fail=1
fi
for check in "$@"; do
    kind=${check%%:*} rest=${check#*:}
    case $kind in
    file) [ -e "$rest" ] || { echo "missing file $rest"; fail=1; } ;;
    nofile) [ ! -e "$rest" ] || { echo "unexpected file $rest"; fail=1; } ;;
    grep) path=${rest%%:*} text=${rest#*:}
          grep -qF -- "$text" "$path" 2>/dev/null || { echo "$path does not contain \"$text\""; fail=1; } ;;
    png)  f="shots/$rest.png"
          if [ ! -s "$f" ]; then echo "missing screenshot $f"; fail=1;
          elif [ -n "${BRIMVALE_SHOTS_KEEP:-}" ]; then mkdir -p "$BRIMVALE_SHOTS_KEEP"; cp "$f" "$BRIMVALE_SHOTS_KEEP/"; fi ;;
    golden) "$BRIMVALE_E2E_GOLDEN" "shots/$rest.png" "$BRIMVALE_GOLDEN_DIR/$rest.png" "$BRIMVALE_GOLDEN_OUT_DIR" || fail=1 ;;
    count) path=${rest%%:*} rest=${rest#*:} n=${rest%%:*} text=${rest#*:}
           got=$(grep -cF -- "$text" "$path" 2>/dev/null)
           [ "$got" = "$n" ] || { echo "$path has $got lines with \"$text\", expected $n"; fail=1; } ;;
    line) path=${rest%%:*} rest=${rest#*:} n=${rest%%:*} text=${rest#*:}
          got=$(sed -n "${n}p" "$path" 2>/dev/null)
          [ "$got" = "$text" ] || { echo "line $n of $path is \"$got\", expected \"$text\""; fail=1; } ;;
    profile) name=${rest%%:*} text=${rest#*:}
          "$BRIMVALE_DATA_TOOL" profile "data/$name" >profile.txt 2>&1
          grep -qF -- "$text" profile.txt || { echo "profile $name does not show \"$text\":"; cat profile.txt; fail=1; } ;;
    highscores)
          "$BRIMVALE_DATA_TOOL" highscores data/highscores.dat >highscores.txt 2>&1
          grep -qF -- "$rest" highscores.txt || { echo "the highscores do not show \"$rest\":"; cat highscores.txt; fail=1; } ;;
    without|write|copy|readonly|args|kit|seed) ;;
    *)    echo "unknown check $check"; fail=1 ;;
    esac
done
if [ $fail != 0 ]; then
    echo "---- game output"; cat "$work/out.txt"
    [ -f Error.log ] && { echo "---- Error.log"; cat Error.log; }
fi
exit $fail
