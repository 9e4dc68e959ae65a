#!/usr/bin/env bash
# Every text of the sources has a finished German and French translation: lupdate reads the
# sources into copies of the translation files, and any text it had to add, or any left
# unfinished, empty or no longer used, fails the check with its source text.
# Usage: translations_check.sh LUPDATE SOURCE_DIR
set -uo pipefail
LUPDATE=${1:?usage: $0 LUPDATE SOURCE_DIR}
SOURCE=${2:?usage: $0 LUPDATE SOURCE_DIR}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

status=0
for ts in "$SOURCE"/res/translations/qornc_*.ts; do
  copy=$WORK/$(basename "$ts")
  cp "$ts" "$copy"
  (cd "$SOURCE" && "$LUPDATE" -silent -locations none app ui net presence res -ts "$copy") ||
    { echo "FAIL: lupdate could not read the sources"; exit 1; }
  # One message per record: the source text and how its translation stands.
  bad=$(awk -v RS='</message>' '
    /<source>/ && (/type="(unfinished|vanished|obsolete)"/ || /<translation><\/translation>/ || /<translation\/>/) {
      match($0, /<source>[^<]*<\/source>/); print substr($0, RSTART + 8, RLENGTH - 17) }' "$copy")
  if [ -n "$bad" ]; then
    echo "FAIL: $(basename "$ts") has no finished translation of:"
    printf '  %s\n' "$bad"
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "translations: every text is translated"
exit "$status"
