#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh), signs it with minisign and prints the
# entries to publish on the information page. The secret key is read from the path you
# give, never from this repository; minisign asks for its password when it has one.
#
#   scripts/release.sh -s SECRET_KEY -u BASE_URL [-e YYYY-MM-DD] [-p PACKAGE]
#
#   -s  the maker's minisign secret key (docs/RELEASING.md says how it is kept)
#   -u  the address the package and its signature will be published under, e.g.
#       https://www.corvane.example/files
#   -e  optional last day (UTC) the signature may be used
#   -p  sign this package instead of building one
#
# The trusted comment names the product, the version (as the program writes it: the
# project version with a two-digit patch number) and the file name; the program refuses
# an update whose trusted comment does not match the page.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  sed -n '5,12p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

key=""
base=""
expires=""
package=""
while getopts "s:u:e:p:h" option; do
  case $option in
    s) key=$OPTARG ;;
    u) base=${OPTARG%/} ;;
    e) expires=$OPTARG ;;
    p) package=$OPTARG ;;
    *) usage ;;
  esac
done
if [ -z "$key" ] || [ -z "$base" ]; then
  usage
fi

if [ ! -f "$key" ]; then
  echo "release.sh: no secret key at $key" >&2
  exit 1
fi
root=$(pwd -P)
case "$(realpath "$key")" in
  "$root"/*)
    echo "release.sh: the secret key must not live inside the repository" >&2
    exit 1 ;;
esac
if [ -n "$expires" ] && ! date -u -d "$expires" +%F > /dev/null 2>&1; then
  echo "release.sh: -e wants a date as YYYY-MM-DD" >&2
  exit 1
fi
if [ -n "$expires" ] && [ "$(date -u -d "$expires" +%F)" != "$expires" ]; then
  echo "release.sh: -e wants a date as YYYY-MM-DD" >&2
  exit 1
fi
command -v minisign > /dev/null || { echo "release.sh: minisign is not installed" >&2; exit 1; }

# The version as the program writes it: 1.1.0 is 1.1.00.
project=$(sed -n 's/^project(Tallowmere VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
IFS=. read -r major minor patch <<< "$project"
version=$(printf '%s.%s.%02d' "$major" "$minor" "${patch:-0}")

if [ -z "$package" ]; then
  package=$(./scripts/package.sh)
fi
[ -f "$package" ] || { echo "release.sh: no package at $package" >&2; exit 1; }
file=$(basename "$package")
case "$file" in
  *[[:space:]]*) echo "release.sh: the package name must not contain blanks" >&2; exit 1 ;;
esac

comment="product=Tallowmere version=$version file=$file"
[ -n "$expires" ] && comment="$comment expires=$expires"
signature="$package.minisig"
minisign -S -s "$key" -m "$package" -x "$signature" -t "$comment" -c "Tallowmere $version" >&2
sha256=$(sha256sum "$package" | cut -d' ' -f1)

echo "Publish $file and $(basename "$signature") under $base/, then put these entries on the page:" >&2
cat <<PAGE
<META HTTP-EQUIV="version" CONTENT="$version">
<META HTTP-EQUIV="url" CONTENT="$base/$file">
<META HTTP-EQUIV="sha256" CONTENT="$sha256">
<META HTTP-EQUIV="signature" CONTENT="$base/$file.minisig">
PAGE
