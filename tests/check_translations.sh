#!/bin/sh
# Every text in src/ marked for translation has its English translation in i18n/spliceon_en.ts,
# none of them still in Chinese, and that file holds no text the sources no longer use: the
# update target leaves it unchanged.
# usage: check_translations.sh LUPDATE SOURCE_DIR
set -eu
lupdate=$1
ts=$2/i18n/spliceon_en.ts
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$ts" "$scratch/"
"$lupdate" -silent -no-obsolete -locations none "$2/src" -ts "$scratch/spliceon_en.ts"
if grep -q 'type="unfinished"' "$scratch/spliceon_en.ts"; then
  echo "FAIL: texts without an English translation (build the update_translations target," >&2
  echo "then translate them in $ts):" >&2
  grep -B2 'type="unfinished"' "$scratch/spliceon_en.ts" | grep '<source>' >&2
  exit 1
fi
# A translation still in Chinese (pasted from its source, or half done) is no English either.
chinese=$(perl -CSD -0777 -ne 'while (m{<translation>(.*?)</translation>}sg) {
  my $t = $1; print "$t\n" if $t =~ /[\x{3000}-\x{303f}\x{4e00}-\x{9fff}\x{ff00}-\x{ffef}]/ }' "$ts")
if [ -n "$chinese" ]; then
  echo "FAIL: English translations with Chinese text in $ts:" >&2
  echo "$chinese" >&2
  exit 1
fi
diff -u "$ts" "$scratch/spliceon_en.ts" >&2 ||
  { echo "FAIL: $ts is out of date: build the update_translations target" >&2; exit 1; }
