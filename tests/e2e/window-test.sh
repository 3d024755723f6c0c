#!/usr/bin/env bash
# Runs the game in a real X window under Xvfb: loading screen, scene, pointer and clicks, a window
# manager's close request, a stored full screen on this server without a window manager (played by keys,
# left and taken again with F11), and the crash marker after a normal exit and after a killed run.
# Usage: window-test.sh BIN_DIR [SHOT_DIR]   (SHOT_DIR keeps the screenshots; default: a temporary folder)
set -euo pipefail

name=window-test
bin=$(cd "$1" && pwd)
# shellcheck source=xtest.sh
source "$(cd "$(dirname "$0")" && pwd)/xtest.sh"
shots=${2:-$work}
mkdir -p "$shots"
start_xvfb 1024x768

echo "window-test: first run"
start_game
# The loading screen shows for 2.5 seconds: dark red around the logo.
first=$(wait_pixel_not 5 5 000000) || fail "nothing drawn"
[ "$first" = "$loading" ] || fail "expected the loading screen, corner is $first"
read -r width height < <(geometry)
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

echo "window-test: stored full screen without a window manager"
# Nobody carries out the full screen request on this bare server: the game covers the screen itself, and
# the picture, the keys and the pointer agree.
"$bin/morphella-tool" settings set --dword FULLSCREEN 1 --store "$store"
start_game
wait_pixel_not 5 5 $loading 000000 $frame_back >/dev/null || fail "the full screen scene never showed"
read -r width height < <(geometry)
[ "$width" = 1024 ] && [ "$height" = 768 ] || fail "full screen without a window manager is ${width}x${height}"
python3 "$xw" shot "$window" "$shots/fullscreen.png"
# The keys alone start a game: Tab shows the ring on the chooser, Tab moves it to Play, Enter presses it.
# (250, 300) of the picture is at (320, 384) on this screen.
xdotool mousemove 1000 10
screen_before=$(pixel 320 384)
xdotool windowfocus --sync "$window" key Tab Tab Return
wait_pixel_not 320 384 "$screen_before" >/dev/null || fail "Tab, Tab and Enter did not start a game"
# F11 leaves full screen for the window at its own size.
xdotool key F11
for _ in $(seq 50); do read -r width height < <(geometry); [ "$width" = 800 ] && break; sleep 0.1; done
[ "$width" = 800 ] && [ "$height" = 600 ] || fail "F11 left full screen for ${width}x${height}"
xdotool key F11
for _ in $(seq 50); do read -r width height < <(geometry); [ "$width" = 1024 ] && break; sleep 0.1; done
[ "$width" = 1024 ] && [ "$height" = 768 ] || fail "F11 in the window gave ${width}x${height}"
python3 "$xw" close "$window"
wait_exit || fail "exit status $? after the close request in full screen: $(cat "$work/game.log")"

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
read -r width height < <(geometry)
[ "$width" = 800 ] && [ "$height" = 600 ] || fail "not windowed after a killed run (${width}x${height})"
[ "$(setting FULLSCREEN)" = 0 ] || fail "FULLSCREEN is $(setting FULLSCREEN) after a killed run"
python3 "$xw" close "$window"
wait_exit || fail "exit status $? after the second close request"
[ "$(setting NORMALEXIT)" = 1 ] || fail "NORMALEXIT is not 1 after the second run"
echo "window-test: passed"
