#!/usr/bin/env bash
# The game in a real X11 window under Xvfb at --scale 2: the script clicks at
# window pixels and must reach the screens it expects; the window's pictures
# are 1600 x 1200 (full screen: the 1920 x 1440 screen).
#   scale_xvfb.sh GAME DATA SCRIPT [FILTER]
set -u
game=$(realpath "$1") data=$(realpath "$2") script=$(realpath "$3") filter=${4:-sharp}
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (make deps)"; exit 1; }
work=$(mktemp -d /tmp/brimvale-scale-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -rs "$data" "$work/data"
cd "$work"
command -v xdotool >/dev/null || { echo "xdotool is missing (make deps)"; exit 1; }
# While the game runs, xdotool notes where its window first shows (no window
# manager: the game alone places it).
cat >"$work/inner.sh" <<'EOS'
( for i in $(seq 1 400); do
      id=$(xdotool search --onlyvisible --name '^Brimvale$' 2>/dev/null | head -1)
      [ -n "$id" ] && xdotool getwindowgeometry --shell "$id" >geometry.txt 2>/dev/null && break
      sleep 0.02
  done ) &
poller=$!
"$@"
status=$?
wait $poller
exit $status
EOS
xvfb-run -a -s "-screen 0 1920x1440x24" env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy BRIMVALE_MESSAGE_BOX=stderr \
    ${BRIMVALE_E2E_RENDERER:+SDL_RENDER_DRIVER=$BRIMVALE_E2E_RENDERER} bash "$work/inner.sh" "$game" --windowed --scale 2 --filter "$filter" --script "$script" --shots "$work/shots" \
    >"$work/out.txt" 2>&1
status=$?
fail=0
[ $status = 0 ] || { echo "exit status $status"; fail=1; }
# The whole 1600 x 1200 window on the 1920 x 1440 screen.
X= Y= WIDTH= HEIGHT=
[ -s geometry.txt ] && . ./geometry.txt
if [ -z "$X" ] || [ "$WIDTH" != 1600 ] || [ "$HEIGHT" != 1200 ] || [ "$X" -lt 0 ] || [ "$Y" -lt 0 ] ||
   [ $((X + WIDTH)) -gt 1920 ] || [ $((Y + HEIGHT)) -gt 1440 ]; then
    echo "the window is not wholly on the 1920 x 1440 screen: ${WIDTH:-?} x ${HEIGHT:-?} at ${X:-?},${Y:-?}"
    fail=1
fi
# A sanitizer build names the software renderer (BRIMVALE_E2E_RENDERER): Mesa,
# probed and unloaded, leaves leaks that LeakSanitizer cannot name to suppress.
if [ -n "${BRIMVALE_E2E_RENDERER:-}" ]; then
    grep -q "^Renderer =${BRIMVALE_E2E_RENDERER} (named)" device_caps.log
else
    grep -q '^Renderer =software (opengl is ".*", a software rasteriser)$' device_caps.log ||
        grep -q '^Renderer =opengl' device_caps.log
fi ||
    { echo "device_caps.log does not name the renderer: $(grep '^Renderer' device_caps.log)"; fail=1; }
size() { od -An -tu1 -j16 -N8 "$1" 2>/dev/null | awk '{print $2*65536+$3*256+$4 "x" $6*65536+$7*256+$8}'; }
for shot in new-profile main-menu options alt-enter-windowed; do
    s=$(size "shots/scale2-$shot.png")
    [ "$s" = 1600x1200 ] || { echo "scale2-$shot.png is ${s:-missing}, expected 1600x1200"; fail=1; }
done
s=$(size shots/scale2-alt-enter-fullscreen.png)
[ "$s" = 1920x1440 ] || { echo "scale2-alt-enter-fullscreen.png is ${s:-missing}, expected 1920x1440"; fail=1; }
grep -q '^1$' data/option.cfg || { echo "option.cfg should end windowed after two Alt+Enter"; fail=1; }
# With the audio driver SDL picks: no sound card prints no ALSA lines, and the
# log says once that the game runs without sound.
rm -f Error.log
xvfb-run -a -s "-screen 0 1920x1440x24" env -u SDL_AUDIODRIVER SDL_VIDEODRIVER=x11 BRIMVALE_MESSAGE_BOX=stderr \
    ${BRIMVALE_E2E_RENDERER:+SDL_RENDER_DRIVER=$BRIMVALE_E2E_RENDERER} "$game" --windowed --script "$(dirname "$script")/quit.script" >sound.txt 2>&1 ||
    { echo "the run with SDL's own audio driver failed"; cat sound.txt; fail=1; }
if grep -q '^ALSA lib' sound.txt; then echo "ALSA's lines were printed:"; cat sound.txt; fail=1; fi
n=$(grep -c 'No sound device' Error.log 2>/dev/null)
[ "${n:-0}" -le 1 ] || { echo "\"No sound device\" logged $n times"; fail=1; }
if [ -n "${BRIMVALE_SHOTS_KEEP:-}" ]; then mkdir -p "$BRIMVALE_SHOTS_KEEP"; cp shots/*.png "$BRIMVALE_SHOTS_KEEP/"; fi
[ $fail = 0 ] || { echo "---- game output"; cat out.txt; }
exit $fail
