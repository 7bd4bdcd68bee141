# Sourced by the scripts that build what goes into the package: the settings under
# which one commit builds to the same bytes wherever and whenever it is built.
#
# Dates written into the build (resources, the package's files and archive) are the
# time of the last commit, or of CMakeLists.txt in a tree without git history; a
# SOURCE_DATE_EPOCH already set is kept, as reproducible-builds.org asks.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$(dirname "${BASH_SOURCE[0]}")/.." log -1 --format=%ct 2>/dev/null ||
                      stat -c %Y "$(dirname "${BASH_SOURCE[0]}")/../CMakeLists.txt")
fi
export SOURCE_DATE_EPOCH
# Files and folders made by the build and by CPack get the same modes for everyone.
umask 022
# A compiler cache with a base folder (ccache's base_dir) hands the compiler relative
# source names, which the prefix maps of CMakeLists.txt cannot reach, so they would end
# up in the debug information and the build ID as they are: the cache is used with
# whole names here.
unset CCACHE_BASEDIR

# Qt's resource compiler writes SOURCE_DATE_EPOCH into the resources it makes, and a
# tree built before under another date would otherwise keep them: when the date a tree
# was built for is not this one, its made resources are removed so that the build
# makes them again. Call before building the tree given.
date_build_tree() {
  local tree=$1
  local stamp=$tree/source-date-epoch
  if [ -d "$tree" ] && [ "$(cat "$stamp" 2>/dev/null)" != "$SOURCE_DATE_EPOCH" ]; then
    find "$tree" -path '*_autogen/*' -name 'qrc_*.cpp' -delete
  fi
  mkdir -p "$tree"
  echo "$SOURCE_DATE_EPOCH" > "$stamp"
}
