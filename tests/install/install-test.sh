#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a packager and a player get: the file list,
# the programs' versions, the icon sizes, the desktop entry and software-centre file (with their
# translations) through their validators, the manual pages through groff, and the installed game started
# from an unrelated folder under the dummy video driver, which must reach its start screen and exit cleanly,
# in English and, under a German locale, in German from its overlay; then the Debian package's files and
# dependencies.
# Usage: install-test.sh BUILD_DIR PREFIX VERSION
set -euo pipefail

build=$1 prefix=$2 version=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "install-test: FAIL: $*"; exit 1; }
app=net.quillory.Morphella

DESTDIR="$work/dest" cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install: $(cat "$work/install.log")"
root="$work/dest$prefix"

# Exactly the expected files, all under the prefix.
(cd "$work/dest" && find . -type f -o -type l) | wc -l >"$work/count"
(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) >"$work/files"
diff -u "$here/files.txt" "$work/files" || fail "the installed files differ from files.txt"
[ "$(cat "$work/count")" -eq "$(wc -l <"$work/files")" ] || fail "files installed outside $prefix"

for program in morphella morphella-tool morphella-scored; do
  [ -x "$root/bin/$program" ] || fail "bin/$program is not executable"
  got=$("$root/bin/$program" --version) || fail "$program --version failed"
  [ "$got" = "$program $version" ] || fail "$program --version printed \"$got\""
  "$root/bin/$program" --help >/dev/null || fail "$program --help failed"
done

# Each icon is as big as the folder it is in says (a PNG's width and height are bytes 16 to 23).
for dir in "$root"/share/icons/hicolor/*x*/; do
  size=$(basename "$dir")
  read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$dir/apps/$app.png")
  got="$(((w0 << 24) | (w1 << 16) | (w2 << 8) | w3))x$(((h0 << 24) | (h1 << 16) | (h2 << 8) | h3))"
  [ "$got" = "$size" ] || fail "the $size icon is $got"
done

out=$(desktop-file-validate "$root/share/applications/$app.desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
metainfo="$root/share/metainfo/$app.metainfo.xml"
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli: $out"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"
for control in pointing keyboard gamepad touch; do
  sed -n '/<recommends>/,/<\/recommends>/p' "$metainfo" | grep -q "<control>$control</control>" ||
    fail "the metainfo does not recommend $control controls"
done
# Both carry the translations of every language installed.
for code in de es fr it nl pt_BR; do
  grep -q "^Comment\[$code\]=" "$root/share/applications/$app.desktop" || fail "the desktop entry lacks $code"
  grep -q "<summary xml:lang=\"$code\">" "$metainfo" || fail "the metainfo lacks $code"
done
# Every screenshot the metainfo names is one the install carries.
for url in $(grep -o 'https://[^<]*/screenshots/[^<]*\.png' "$metainfo"); do
  [ -f "$root/share/morphella/screenshots/$(basename "$url")" ] || fail "no installed picture for $url"
done
for page in "$root"/share/man/man*/*; do
  out=$(groff -man -ww -z "$page" 2>&1)
  [ -z "$out" ] || fail "groff on $(basename "$page"): $out"
  grep -q "^\.TH .*$version" "$page" || fail "$(basename "$page") does not carry version $version"
done

# The installed game, started from a folder that holds nothing of it, finds its container and reaches the
# start screen: the middle of its first card matches the driver's picture of that screen.
mkdir -p "$work/elsewhere" "$work/home"
status=0
(cd "$work/elsewhere" &&
  env -u MPH_BIN -u MPH_TEST_CONTAINER -u LANGUAGE LC_ALL=C HOME="$work/home" XDG_DATA_HOME="$work/home/data" \
    SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy MORPHELLA_NO_LOADING_DELAY=1 MORPHELLA_EXIT_AFTER_TICKS=40 \
    MORPHELLA_SNAPSHOT="$work/start.png" ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    timeout 60 "$root/bin/morphella") >"$work/game.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the installed game exited with $status: $(cat "$work/game.log")"
[ -f "$work/start.png" ] || fail "the installed game left no picture: $(cat "$work/game.log")"
differing=$(python3 "$here/pngregion.py" "$work/start.png" "$root/share/morphella/screenshots/start.png" \
  40 220 440 150) || fail "pngregion: $differing"
[ "$differing" -eq 0 ] || fail "the installed game's first screen is not the start screen ($differing pixels differ)"
# Under a German locale the installed game finds its German overlay: the same card carries other words.
(cd "$work/elsewhere" &&
  env -u MPH_BIN -u MPH_TEST_CONTAINER -u LANGUAGE -u LC_MESSAGES LC_ALL=de_AT.UTF-8 HOME="$work/home" \
    XDG_DATA_HOME="$work/home/data" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy MORPHELLA_NO_LOADING_DELAY=1 \
    MORPHELLA_EXIT_AFTER_TICKS=40 MORPHELLA_SNAPSHOT="$work/start-de.png" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" timeout 60 "$root/bin/morphella") \
  >"$work/game-de.log" 2>&1 || fail "the installed game in German failed: $(cat "$work/game-de.log")"
differing=$(python3 "$here/pngregion.py" "$work/start-de.png" "$root/share/morphella/screenshots/start.png" \
  40 220 440 150) || fail "pngregion: $differing"
[ "$differing" -gt 1000 ] || fail "the installed game under a German locale shows the English start screen"
# The Debian package carries the same files under /usr and declares what the programs link against.
cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 || fail "cpack: $(cat "$work/cpack.log")"
deb="$work/package/morphella_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no package $(basename "$deb"): $(ls "$work/package")"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\/usr\//, "", $6); print $6 }' | LC_ALL=C sort >"$work/packaged"
diff -u "$here/files.txt" "$work/packaged" || fail "the package's files differ from files.txt"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libcairo2 libmicrohttpd12 fonts-liberation2; do
  [[ "$depends" == *"$needed"* ]] || fail "the package does not depend on $needed: $depends"
done
echo "install-test: ok"
