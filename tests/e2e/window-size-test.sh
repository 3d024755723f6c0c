#!/usr/bin/env bash
# The game's window on large screens under Xvfb: its first size is the largest whole multiple of the
# picture that fits (2x on 2560x1440, 3x on 3840x2160) and shows crisp blocks; after a resize to a size
# that is no whole multiple the pointer still lands on the buttons; the size is stored at exit and comes
# back at the next start, and a stored size that makes no sense is replaced by the first size.
# Usage: window-size-test.sh BIN_DIR
set -euo pipefail

name=window-size-test
bin=$(cd "$1" && pwd)
# shellcheck source=xtest.sh
source "$(cd "$(dirname "$0")" && pwd)/xtest.sh"

# A picture point (x, y) at scale s in the window, printed as "X Y".
at() { python3 -c "import sys; s=float(sys.argv[3]); print(int(int(sys.argv[1])*s+s/2), int(int(sys.argv[2])*s+s/2))" "$@"; }
expect_size() {
  read -r width height < <(geometry)
  [ "$width" = "$1" ] && [ "$height" = "$2" ] || fail "$3: the window is ${width}x${height}, not $1x$2"
}
wait_scene() {
  wait_pixel_not 5 5 $loading 000000 $frame_back >/dev/null || fail "the scene never replaced the loading screen"
}
close_game() {
  python3 "$xw" close "$window"
  wait_exit || fail "exit status $? after the close request: $(cat "$work/game.log")"
}

echo "$name: 2560x1440"
start_xvfb 2560x1440
start_game
wait_scene
expect_size 1600 1200 "first start on 2560x1440"
# Every picture pixel is a 2x2 block.
for spot in "400 60" "690 340" "408 342" "123 457"; do
  read -r px py <<<"$spot"
  a=$(pixel $((2 * px)) $((2 * py)))
  b=$(pixel $((2 * px + 1)) $((2 * py + 1)))
  [ "$a" = "$b" ] || fail "the picture pixel ($px, $py) is not one block: $a and $b"
done

# A size that is no whole multiple: 1.25x. The Play button ("bstart1", centred at (408, 342) in the
# picture) still shows its hover where the pointer is and starts the game when clicked.
xdotool windowsize "$window" 1000 750
for _ in $(seq 50); do read -r width _ < <(geometry); [ "$width" = 1000 ] && break; sleep 0.1; done
expect_size 1000 750 "after the resize"
read -r bx by < <(at 380 350 1.25)
read -r cx cy < <(at 408 342 1.25)
read -r sx sy < <(at 250 300 1.25)
sleep 0.3
button_before=$(pixel "$bx" "$by")
xdotool mousemove --window "$window" "$((cx - 10))" "$cy"
sleep 0.1
xdotool mousemove --window "$window" "$cx" "$cy"
wait_pixel_not "$bx" "$by" "$button_before" >/dev/null || fail "the Play button shows no hover at 1.25x"
screen_before=$(pixel "$sx" "$sy")
xdotool click 1
wait_pixel_not "$sx" "$sy" "$screen_before" >/dev/null || fail "a click on Play at 1.25x did not start the game"
close_game
[ "$(setting WINDOWWIDTH)" = 1000 ] && [ "$(setting WINDOWHEIGHT)" = 750 ] ||
  fail "stored size $(setting WINDOWWIDTH)x$(setting WINDOWHEIGHT)"
[ "$(setting WINDOWMAXIMIZED)" = 0 ] || fail "stored as maximised"

echo "$name: the stored size comes back"
start_game
wait_scene
expect_size 1000 750 "the second start"
close_game

echo "$name: a stored size that makes no sense"
"$bin/morphella-tool" settings set --dword WINDOWWIDTH 99999 --store "$store"
start_game
wait_scene
expect_size 1600 1200 "a start with a stored width of 99999"
close_game

echo "$name: 3840x2160"
rm -rf "$XDG_DATA_HOME"
start_xvfb 3840x2160
start_game
wait_scene
expect_size 2400 1800 "first start on 3840x2160"
close_game
echo "$name: passed"
