#!/usr/bin/env bash
# Brings every translation file in i18n/ up to date with the texts in the code, the way
# the files are kept: no source locations and no texts the code no longer has, so that
# editing code does not move them. tallowmere_en.ts, the source language, keeps only the
# plural forms.
#   scripts/translations.sh          update the files
#   scripts/translations.sh --check  fail when updating would change a file, or when a
#                                    text is left untranslated
set -euo pipefail
cd "$(dirname "$0")/.."
LUPDATE=${LUPDATE:-$(command -v lupdate6 || echo /usr/lib/qt6/bin/lupdate)}
# Everything a person may read is in the programs' own folders.
sources=(app controls i18n net platform report tools update)

update() { # folder holding the .ts files to update
  local ts options
  for ts in "$1"/tallowmere_*.ts; do
    options=(-silent -locations none -no-obsolete -source-language en -I .)
    case "$(basename "$ts")" in
      tallowmere_en.ts) options+=(-pluralonly) ;;
    esac
    "$LUPDATE" "${options[@]}" "${sources[@]}" -ts "$ts" >/dev/null
  done
}

if [ "${1:-}" != --check ]; then
  update i18n
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp i18n/tallowmere_*.ts "$work"/
update "$work"
status=0
for ts in i18n/tallowmere_*.ts; do
  if ! diff -u "$ts" "$work/$(basename "$ts")"; then
    echo "translations: $ts is not up to date with the code; run scripts/translations.sh" >&2
    status=1
  fi
  if grep -q 'type="unfinished"' "$ts"; then
    echo "translations: $ts has untranslated texts:" >&2
    grep -B2 'type="unfinished"' "$ts" | grep '<source>' >&2 || true
    status=1
  fi
done
exit $status
