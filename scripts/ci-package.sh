#!/usr/bin/env bash
# CI stage for the package: builds the .deb (scripts/package.sh), installs it with apt
# as a user would, checks what it put on the machine (programs, help file, desktop
# entry, metainfo, icons, manual pages), then starts the installed calculator under
# Xvfb as an unprivileged user with a fresh home folder, opens its help with F1,
# closes it through File > Exit and checks that the settings file landed in that
# user's configuration folder and nowhere beside the program.
# Removes the package again at the end unless KEEP_PACKAGE=1.
# Needs: xvfb xauth xdotool x11-utils desktop-file-utils appstream man-db.
set -euo pipefail
cd "$(dirname "$0")/.."
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

fail() {
  echo "ci-package: $*" >&2
  exit 1
}

deb=$(./scripts/package.sh)
echo "ci-package: built $deb"
dpkg-deb --field "$deb" Package Version Depends Recommends
# The library dependencies come from dpkg-shlibdeps, not from a hand-written list.
depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
  grep -q "$library (>= " <<< "$depends" || fail "Depends does not name $library: $depends"
done
# Recommends (xdg-utils for the web links) would only slow CI down; the check is that
# the Depends found by dpkg-shlibdeps are enough to run.
$SUDO apt-get install -y --reinstall --no-install-recommends "$deb"

for file in /usr/bin/tallowmere /usr/bin/tallowmere-fetch \
            /usr/share/tallowmere/help/tlm.hlp \
            /usr/share/applications/tallowmere.desktop \
            /usr/share/metainfo/example.corvane.tallowmere.metainfo.xml \
            /usr/share/icons/hicolor/scalable/apps/tallowmere.svg \
            /usr/share/man/man1/tallowmere.1.gz /usr/share/man/man1/tallowmere-fetch.1.gz; do
  [ -e "$file" ] || fail "the package did not install $file"
done
for size in 16 32 48 64 128 256; do
  [ -e "/usr/share/icons/hicolor/${size}x${size}/apps/tallowmere.png" ] || fail "no ${size}px icon"
done
if dpkg -L tallowmere | grep -q '^/usr/bin/tallowmere-schedule$'; then
  [ -e /usr/share/man/man1/tallowmere-schedule.1.gz ] || fail "tallowmere-schedule has no manual page"
  tallowmere-schedule --version
fi
if dpkg -L tallowmere | grep -q 'screenshots'; then
  fail "the screenshot helper must not be installed"
fi

# Every language with translations (its PO files and help file in the tree) is installed.
for po in packaging/po/*.po; do
  lang=$(basename "$po" .po)
  grep -q "^Comment\[$lang\]=" /usr/share/applications/tallowmere.desktop || fail "the desktop entry has no $lang comment"
  grep -q "<summary xml:lang=\"$lang\">" /usr/share/metainfo/example.corvane.tallowmere.metainfo.xml \
    || fail "the metainfo has no $lang summary"
done
for po in packaging/man/po/*.po; do
  lang=$(basename "$po" .po)
  [ "$(man -L "$lang" -w tallowmere)" = "/usr/share/man/$lang/man1/tallowmere.1.gz" ] || fail "no $lang manual page"
done
for help in help/tlm.*.hlp; do
  [ -e "/usr/share/tallowmere/help/$(basename "$help")" ] || fail "the package did not install $help"
done
desktop-file-validate /usr/share/applications/tallowmere.desktop
appstreamcli validate --no-net /usr/share/metainfo/example.corvane.tallowmere.metainfo.xml
man -w tallowmere-fetch
MANWIDTH=80 man -P cat tallowmere-fetch | grep -q 'tallowmere-fetch' || fail "man tallowmere-fetch shows nothing"
MANWIDTH=80 man -P cat tallowmere | grep -q 'net present value' || fail "man tallowmere shows nothing"

tallowmere --version
tallowmere --help
tallowmere-fetch --version

# The run as a person would start it from the application menu: the desktop entry's
# command, an unprivileged user, an empty home.
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/tallowmere.desktop)
[ "$(command -v "${exec_line%% *}")" = /usr/bin/tallowmere ] || fail "Exec=$exec_line is not the installed program"
home=$(mktemp -d)
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$home"
  as_user=(runuser -u nobody --)
fi
cat > "$home/drive.sh" <<'EOF'
set -euo pipefail
cd "$HOME"
$EXEC_LINE > "$HOME/tallowmere.log" 2>&1 &
pid=$!
# The splash shares the main window's title: the main window is the visible one of
# that title that is not a splash window.
main=""
for _ in $(seq 1 120); do
  for id in $(xdotool search --onlyvisible --name '^Tallowmere, 1.1$' 2>/dev/null || true); do
    if ! xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_SPLASH; then
      main=$id
      break 2
    fi
  done
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.5
done
[ -n "$main" ] || { echo "no main window" >&2; kill "$pid" 2>/dev/null; exit 1; }
# Without a window manager the keyboard goes where the focus is put.
xdotool windowfocus --sync "$main"
xdotool key F1
timeout 20 xdotool search --sync --onlyvisible --name '^Tallowmere Help$' >/dev/null \
  || { echo "F1 showed no help window" >&2; kill "$pid"; exit 1; }
xdotool windowfocus --sync "$main"
xdotool key --delay 300 alt+f x
for _ in $(seq 1 80); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.25
done
if kill -0 "$pid" 2>/dev/null; then
  echo "File > Exit did not end the program" >&2
  kill "$pid"
  exit 1
fi
wait "$pid"
EOF
chmod 755 "$home/drive.sh"
status=0
(cd "$home" && "${as_user[@]}" env -u XDG_CONFIG_HOME HOME="$home" EXEC_LINE="$exec_line" \
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$home/drive.sh") || status=$?
cat "$home/tallowmere.log" || true
[ "$status" -eq 0 ] || fail "the installed calculator did not start and close cleanly (status $status)"

settings="$home/.config/Corvane/Tallowmere/tlm.ini"
[ -f "$settings" ] || fail "no settings file at $settings"
grep -q '^\[LastValues\]' "$settings" || fail "$settings holds no [LastValues]"
[ ! -e /usr/bin/tlm.ini ] || fail "the settings file was written beside the installed program"
echo "ci-package: the installed calculator ran and saved $settings:"
cat "$settings"
rm -rf "$home"
# The machine is left as it was, unless asked to keep the program installed.
if [ "${KEEP_PACKAGE:-0}" != 1 ]; then
  $SUDO apt-get purge -y tallowmere > /dev/null
fi
echo "ci-package: passed"
