#!/usr/bin/env bash
# Installs the game into a temporary prefix, makes the installed data
# read-only and runs the installed game headless, started from an empty
# directory:
#   1. with XDG_DATA_HOME set, a script creates the profile "Mia";
#   2. a second run finds that profile again (read from the player's directory);
#   3. without XDG_DATA_HOME the files go to $HOME/.local/share/brimvale.
# Nothing may be written into the installation or the starting directory.
#   installed_run.sh BUILD_DIR SCRIPT_DIR
set -u
build=$(realpath "$1") scripts=$(realpath "$2")
work=$(mktemp -d /tmp/brimvale-install-XXXXXX)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
fail=0
check() { if ! eval "$1"; then echo "FAILED: $2"; fail=1; fi; }

cmake --install "$build" --prefix "$work/usr" >"$work/install.txt" 2>&1 || { cat "$work/install.txt"; exit 1; }
game=$work/usr/games/brimvale
data=$work/usr/share/games/brimvale/data
check '[ -x "$game" ] && [ -f "$data/preload.cfg" ]' "the executable and the data set are installed"
check '[ -f "$work/usr/share/applications/org.brimvale.Brimvale.desktop" ]' "desktop entry installed"
check '[ -f "$work/usr/share/metainfo/org.brimvale.Brimvale.metainfo.xml" ]' "AppStream metadata installed"
check '[ -f "$work/usr/share/icons/hicolor/256x256/apps/brimvale.png" ]' "icons installed"
chmod -R a-w "$work/usr"
(cd "$work/usr" && find . | sort) >"$work/before.txt"
mkdir -p "$work/start" "$work/home"

run() {  # run NAME SCRIPT [env...]
    local name=$1 script=$2
    shift 2
    (cd "$work/start" && env -u XDG_DATA_HOME HOME="$work/home" "$@" "$game" --headless \
        --script "$scripts/$script" --shots "$work/shots-$name" >"$work/$name.txt" 2>&1)
    local status=$?
    if [ $status != 0 ]; then echo "FAILED: run $name ended with $status"; cat "$work/$name.txt"; fail=1; fi
}

run first first-start.script XDG_DATA_HOME="$work/xdg"
mine=$work/xdg/brimvale
check '[ -f "$mine/Mia.prf" ]' "the profile is in \$XDG_DATA_HOME/brimvale"
check 'grep -qF "\"Mia.prf\"" "$mine/option.cfg"' "option.cfg in the player's directory names the profile"
check '[ -f "$mine/direct.log" ]' "the logs go to the player's directory"
check '[ ! -e "$data/Mia.prf" ] && [ ! -e "$data/option.cfg" ]' "nothing written into the data directory"
check '[ -z "$(ls -A "$work/start")" ]' "nothing written into the starting directory"
check '[ ! -e "$work/home/.local" ]' "XDG_DATA_HOME wins over HOME"

run second installed-second-run.script XDG_DATA_HOME="$work/xdg"
check '[ -s "$work/shots-second/installed-main-menu.png" ]' "second run reached the main menu"

run third quit.script
check '[ -f "$work/home/.local/share/brimvale/option.cfg" ]' "without XDG_DATA_HOME: \$HOME/.local/share/brimvale"
check '[ ! -e "$work/home/.local/share/brimvale/Mia.prf" ]' "a fresh player directory has no profile"

# No usable player's directory: the game plays without saving, never into its
# data (as root it could).
where=$(cd "$work/start" && env -u XDG_DATA_HOME HOME=/proc/no-such-home "$game" --headless --where 2>&1)
check 'echo "$where" | grep -q "^writes: nothing, the game runs without saving"' "--where without a home: $where"
printf 'wait 100\nexpect-notice Progress cannot be saved\nquit\n' >"$work/homeless.script"
(cd "$work/start" && env -u XDG_DATA_HOME HOME=/proc/no-such-home "$game" --headless \
    --script "$work/homeless.script" >"$work/homeless.txt" 2>&1)
st=$?
check '[ $st = 0 ]' "without a home the game plays and says progress is not saved: $(cat "$work/homeless.txt")"

# One version everywhere, and metadata the validators accept.
version=$("$game" --version | sed -n 's/^Brimvale //p')
meta=$work/usr/share/metainfo/org.brimvale.Brimvale.metainfo.xml
check '[ -n "$version" ] && grep -q "release version=\"$version\"" "$meta"' "AppStream names version $version"
check 'zcat -f "$work/usr/share/man/man6/brimvale.6"* | grep -q "\"Brimvale $version\""' "the manual page names version $version"
check 'zcat -f "$work/usr/share/doc/brimvale/changelog"* | head -1 | grep -q "($version)"' "the changelog names version $version"
if command -v appstream-util >/dev/null; then
    check 'appstream-util validate-relax --nonet "$meta" >"$work/asu.txt" 2>&1' "appstream-util validate-relax: $(cat "$work/asu.txt" 2>/dev/null)"
fi
if command -v appstreamcli >/dev/null; then
    check 'appstreamcli validate --no-net "$meta" >"$work/asc.txt" 2>&1' "appstreamcli validate: $(cat "$work/asc.txt" 2>/dev/null)"
fi

(cd "$work/usr" && find . | sort) >"$work/after.txt"
check 'diff "$work/before.txt" "$work/after.txt"' "the installation is unchanged"
[ $fail = 0 ] && echo "installed game: every check held"
exit $fail
