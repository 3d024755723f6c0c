#!/usr/bin/env bash
# The translations are complete and in step with the texts: the template holds exactly the texts the data
# generator marks, every catalog passes msgfmt's checks, and every text of the template has a translation
# in every catalog (a missing or fuzzy one would show in English).
# Usage: translations-test.sh SOURCE_DIR
set -euo pipefail

root=$1
fail=0
"$root/scripts/update-po" --check || fail=1
for po in "$root"/data/po/*.po; do
  name=$(basename "$po")
  msgfmt --check --output-file=/dev/null "$po" || { echo "translations-test: $name fails msgfmt --check"; fail=1; }
  if ! out=$(msgcmp "$po" "$root/data/po/morphella.pot" 2>&1); then
    echo "translations-test: $name lacks translations:"
    echo "$out"
    fail=1
  fi
  # Texts in the game are 8-bit: every translation is written with Latin-1's characters alone.
  translations=$(awk '/^msgstr/ { on = 1 } /^(msgid|msgctxt|#)/ || NF == 0 { on = 0 } on' "$po")
  if ! iconv -f UTF-8 -t ISO-8859-1 <<<"$translations" >/dev/null 2>&1; then
    echo "translations-test: $name has characters beyond Latin-1"
    fail=1
  fi
done
[ "$fail" -eq 0 ] && echo "translations-test: ok"
exit "$fail"
