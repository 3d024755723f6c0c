#!/usr/bin/env bash
# Runs the game in a real X window under Xvfb: loading screen, scene, pointer and clicks, a window
# manager's close request, and the crash marker after a normal exit and after a killed run.
# Usage: window-test.sh BIN_DIR [SHOT_DIR]   (SHOT_DIR keeps the screenshots; default: a temporary folder)
set -euo pipefail

bin=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
xw="$here/xwindow.py"
for tool in Xvfb xdotool python3; do
  command -v "$tool" >/dev/null || { echo "window-test: $tool is missing (scripts/install-deps)"; exit 1; }
done
[ -x "$bin/morphella" ] && [ -f "$bin/morphella.bin" ] && [ -x "$bin/morphella-tool" ] ||
  { echo "window-test: build the program, its container and the tool first"; exit 1; }

work=$(mktemp -d)
shots=${2:-$work}
mkdir -p "$shots"
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "window-test: FAIL: $*"; exit 1; }

# Xvfb picks a display number nobody uses and writes it once it accepts connections (a socket file may
# exist before that, or belong to another test's server that is going away).
: >"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 600); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
display=":$(head -1 "$work/display")"

export DISPLAY=$display SDL_VIDEO_X11_XRANDR=0 SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$work/data"
# Under the address sanitizer the whole program's exit is checked here, not its leaks: the X and desktop
# bus libraries keep allocations until the process ends, and the unit tests check our own code for leaks.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
unset SDL_VIDEODRIVER MORPHELLA_SNAPSHOT MORPHELLA_EXIT_AFTER_TICKS MORPHELLA_NO_LOADING_DELAY
store="$XDG_DATA_HOME/quillory/morphella/settings.db"
setting() { "$bin/morphella-tool" settings get "$1" --store "$store"; }

# The game runs from a folder of its own that holds a copy of the container.
mkdir -p "$work/game"
cp "$bin/morphella.bin" "$work/game/"

start_game() {
  (cd "$work/game" && exec "$bin/morphella" >"$work/game.log" 2>&1) &
  game_pid=$!
  window=""
  for _ in $(seq 300); do
    window=$(xdotool search --name '^Morphella$' 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window appeared: $(cat "$work/game.log")"
    sleep 0.1
  done
  [ -n "$window" ] || fail "no window titled Morphella: $(xwininfo -root -tree 2>&1 | grep -c Morphella) named windows; log: $(cat "$work/game.log")"
}
pixel() { python3 "$xw" pixel "$window" "$1" "$2"; }
# Waits until the pixel at (x, y) differs from the colours given.
wait_pixel_not() {
  local x=$1 y=$2; shift 2
  for _ in $(seq 100); do
    local p; p=$(pixel "$x" "$y" 2>/dev/null || echo none)
    local hit=1
    for c in "$@" none; do [ "$p" = "$c" ] && hit=0; done
    [ $hit -eq 1 ] && { echo "$p"; return 0; }
    sleep 0.1
  done
  return 1
}
wait_exit() {
  local status=0
  for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$game_pid" 2>/dev/null && fail "the game did not end"
  wait "$game_pid" || status=$?
  game_pid=""
  return $status
}

loading=781A1E
frame_back=643C3F

echo "window-test: first run"
start_game
# The loading screen shows for 2.5 seconds: dark red around the logo.
first=$(wait_pixel_not 5 5 000000) || fail "nothing drawn"
[ "$first" = "$loading" ] || fail "expected the loading screen, corner is $first"
read -r width height < <(python3 "$xw" geometry "$window")
[ "$width" = 800 ] && [ "$height" = 600 ] || fail "window is ${width}x${height}"
# Then the scene.
wait_pixel_not 5 5 $loading 000000 $frame_back >/dev/null || fail "the scene never replaced the loading screen"
python3 "$xw" shot "$window" "$shots/scene.png"
for spot in "400 60" "690 340" "400 300" "400 580"; do
  p=$(pixel $spot)
  case $p in $loading | 000000 | $frame_back) fail "pixel at $spot is $p" ;; esac
done

# On the start screen, hovering the timed game's Play button ("bstart1" of the start dialog, centred at
# (408, 342)) changes its look; pressing it starts a game, and the curtains come down over the screen.
button_before=$(pixel 380 350)
xdotool mousemove --window "$window" 400 340
sleep 0.1
xdotool mousemove --window "$window" 408 342
wait_pixel_not 380 350 "$button_before" >/dev/null || fail "the Play button shows no hover"
python3 "$xw" shot "$window" "$shots/hover.png"
screen_before=$(pixel 250 300)
xdotool click 1
wait_pixel_not 250 300 "$screen_before" >/dev/null || fail "pressing Play did not bring the curtains down"
sleep 0.5
python3 "$xw" shot "$window" "$shots/started.png"

python3 "$xw" close "$window"
wait_exit || fail "exit status $? after the close request: $(cat "$work/game.log")"
[ "$(setting NORMALEXIT)" = 1 ] || fail "NORMALEXIT is $(setting NORMALEXIT) after a normal exit"

echo "window-test: killed run"
"$bin/morphella-tool" settings set --dword FULLSCREEN 1 --store "$store"
start_game
sleep 0.5
[ "$(setting NORMALEXIT)" = 0 ] || fail "NORMALEXIT is not 0 while the game runs"
kill -9 "$game_pid"
wait "$game_pid" 2>/dev/null || true
game_pid=""
[ "$(setting NORMALEXIT)" = 0 ] || fail "NORMALEXIT changed by a killed run"

echo "window-test: start after the killed run"
start_game
sleep 0.5
read -r width height < <(python3 "$xw" geometry "$window")
[ "$width" = 800 ] && [ "$height" = 600 ] || fail "not windowed after a killed run (${width}x${height})"
[ "$(setting FULLSCREEN)" = 0 ] || fail "FULLSCREEN is $(setting FULLSCREEN) after a killed run"
python3 "$xw" close "$window"
wait_exit || fail "exit status $? after the second close request"
[ "$(setting NORMALEXIT)" = 1 ] || fail "NORMALEXIT is not 1 after the second run"
echo "window-test: passed"
