# Shared by the real-window tests (sourced): an Xvfb display, the game started in it and found by its
# title, pixels of its window, and its exit. The sourcing script sets "name" and "bin" first.
xw="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/xwindow.py"
for tool in Xvfb xdotool python3; do
  command -v "$tool" >/dev/null || { echo "$name: $tool is missing (scripts/install-deps)"; exit 1; }
done
[ -x "$bin/morphella" ] && [ -f "$bin/morphella.bin" ] && [ -x "$bin/morphella-tool" ] ||
  { echo "$name: build the program, its container and the tool first"; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "$name: FAIL: $*"; exit 1; }

# Starts Xvfb with one screen of the given size (WIDTHxHEIGHT), ending the one started before. Xvfb picks
# a display number nobody uses and writes it once it accepts connections (a socket file may exist before
# that, or belong to another test's server that is going away).
start_xvfb() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 600); do [ -s "$work/display" ] && break; sleep 0.05; done
  [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -1 "$work/display")"
}

export SDL_VIDEO_X11_XRANDR=0 SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$work/data"
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
geometry() { python3 "$xw" geometry "$window"; }
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
