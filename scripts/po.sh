#!/usr/bin/env bash
# The gettext translations of what is installed around the programs: the manual pages
# (packaging/man/po, kept through po4a) and the desktop entry with the AppStream
# metainfo (packaging/po). Each folder holds a template (.pot) made from the English
# files and one <language>.po per language; the build merges them.
#
#   scripts/po.sh check          fails when a template or a PO file is out of date with
#                                the English files, or a PO file has an untranslated,
#                                fuzzy or malformed entry (run by ctest)
#   scripts/po.sh update [LANG]  remakes the templates and merges them into every PO
#                                file after the English files changed (changed texts
#                                come in fuzzy, new ones untranslated); with LANG, first
#                                starts packaging/.../LANG.po for a new language
# Needs gettext and po4a.
set -euo pipefail
cd "$(dirname "$0")/.."
man_dir=packaging/man
man_pot=$man_dir/po/tallowmere-man.pot
desktop_dir=packaging/po
desktop_pot=$desktop_dir/tallowmere-desktop.pot
# The desktop entry's Name is the program's name, not translated (the metainfo marks its
# own with translate="no"), so it is not extracted.
desktop_keywords=(-k -kGenericName -kComment -kKeywords)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The template of the desktop entry and the metainfo, from the English files, into $1.
make_desktop_pot() {
  xgettext --from-code=UTF-8 --package-name=tallowmere --add-location=file \
    -L Desktop "${desktop_keywords[@]}" -o "$tmp/desktop.pot" packaging/tallowmere.desktop
  xgettext --from-code=UTF-8 --package-name=tallowmere --add-location=file \
    -o "$tmp/metainfo.pot" packaging/example.corvane.tallowmere.metainfo.xml
  msgcat --add-location=file -o "$1" "$tmp/desktop.pot" "$tmp/metainfo.pot"
}

# The template of the manual pages, from the English pages, into $1 (po4a's own run in
# a copy, so the committed files stay as they are).
make_man_pot() {
  mkdir -p "$tmp/man/po"
  cp "$man_dir"/po4a.cfg "$man_dir"/*.1 "$tmp/man/"
  cp "$man_pot" "$tmp/man/po/"
  (cd "$tmp/man" && po4a --no-translations --force po4a.cfg > po4a.log 2>&1) \
    || { cat "$tmp/man/po4a.log" >&2; return 1; }
  cp "$tmp/man/po/$(basename "$man_pot")" "$1"
}

status=0
problem() {
  echo "po.sh: $*" >&2
  status=1
}

# Same texts in the template as the English files give; every text translated, none
# left over, in every PO file beside it.
check_folder() {
  local fresh=$1 committed=$2 po
  if ! msgcmp --use-untranslated "$committed" "$fresh" 2>"$tmp/err" \
     || ! msgcmp --use-untranslated "$fresh" "$committed" 2>>"$tmp/err"; then
    cat "$tmp/err" >&2
    problem "$committed is out of date with the English files: scripts/po.sh update"
  fi
  for po in "$(dirname "$committed")"/*.po; do
    [ -e "$po" ] || continue
    msgfmt --check -o /dev/null "$po" || problem "$po does not compile"
    if ! msgcmp "$po" "$fresh" 2>"$tmp/err" || ! msgcmp --use-untranslated "$fresh" "$po" 2>>"$tmp/err"; then
      cat "$tmp/err" >&2
      problem "$po is out of date with the English files or not fully translated"
    fi
  done
}

case "${1:-}" in
  check)
    make_desktop_pot "$tmp/fresh-desktop.pot"
    check_folder "$tmp/fresh-desktop.pot" "$desktop_pot"
    make_man_pot "$tmp/fresh-man.pot"
    check_folder "$tmp/fresh-man.pot" "$man_pot"
    [ "$status" -eq 0 ] && echo "po.sh: every template and PO file is up to date"
    exit "$status"
    ;;
  update)
    language=${2:-}
    make_desktop_pot "$desktop_pot"
    (cd "$man_dir" && po4a --no-translations po4a.cfg)
    if [ -n "$language" ]; then
      for pot in "$desktop_pot" "$man_pot"; do
        po=$(dirname "$pot")/$language.po
        [ -e "$po" ] || msginit --no-translator --locale="$language" -i "$pot" -o "$po"
      done
    fi
    for po in "$desktop_dir"/*.po; do
      [ -e "$po" ] || continue
      msgmerge --quiet --update --backup=none --previous "$po" "$desktop_pot"
    done
    (cd "$man_dir" && po4a --no-translations po4a.cfg)
    ;;
  *)
    echo "usage: scripts/po.sh check | update [LANGUAGE]" >&2
    exit 2
    ;;
esac
