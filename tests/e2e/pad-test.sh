#!/usr/bin/env bash
# Virtual game controllers plugged into a real X window under Xvfb: their buttons and stick go the whole
# way through SDL's controller events to the window's component, a second one beside the first, and the
# one in use pulled out (the platform tests' controller case, run against a real display).
# Usage: pad-test.sh BIN_DIR
set -euo pipefail

name=pad-test
bin=$(cd "$1" && pwd)
# shellcheck source=xtest.sh
source "$(cd "$(dirname "$0")" && pwd)/xtest.sh"
[ -x "$bin/test_platform" ] || fail "build test_platform first"
start_xvfb 1024x768
SDL_VIDEODRIVER=x11 "$bin/test_platform" --gtest_filter='GamepadInput.*' >"$work/pad.log" 2>&1 ||
  fail "the controller test failed on the X display: $(tail -30 "$work/pad.log")"
grep -q '\[  PASSED  \] 1 test' "$work/pad.log" || fail "the controller test did not run: $(cat "$work/pad.log")"
echo "pad-test: passed"
