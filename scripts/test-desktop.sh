#!/usr/bin/env bash
# CI stage for the parts of a Linux desktop the programs meet outside the test suite:
#   - printing: the report test that prints through a CUPS "PDF" queue (cups-pdf) runs
#     with its skip turned into a failure, and the PDF it made must be on disk;
#   - Wayland: the calculator runs natively under weston (headless), shows the saved
#     values, closes through its Exit button and saves; the schedule program opens its
#     preview there;
#   - a screen reader's view: what AT-SPI shows of the calculator under X11 (Xvfb): the
#     names of every field, toolbar button and the link, and the fields' texts after
#     inputs were typed and recomputed.
# Everything it starts is private to the run (its own XDG_RUNTIME_DIR, D-Bus session,
# cupsd with its own ServerRoot and socket, weston socket, X display) and is stopped on
# every way out. A system cupsd that already offers a PDF queue is used instead of a
# private one.
# Needs a build tree (BUILD_DIR, default build/) with tallowmere, tallowmere-schedule and
# test_report; installs the packages of scripts/desktop-packages.txt first unless
# INSTALL_PACKAGES=0. Screenshots and logs go to DESKTOP_ARTIFACTS (default
# $BUILD_DIR/desktop-check/), whose path is printed when the stage fails.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
ARTIFACTS=${DESKTOP_ARTIFACTS:-$BUILD_DIR/desktop-check}
PYTHON=/usr/bin/python3 # where python3-pyatspi installs pyatspi
CHECK=$PWD/tests/desktop/atspi_check.py
export LC_ALL=C.UTF-8
export DEBIAN_FRONTEND=noninteractive

say() {
  echo "test-desktop: $*"
}
fail() {
  echo "test-desktop: FAILED: $*" >&2
  exit 1
}

if [ "${INSTALL_PACKAGES:-1}" != 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update > /dev/null
  # shellcheck disable=SC2046 # one package name a line
  $SUDO apt-get install -y --no-install-recommends $(grep -v '^#' scripts/desktop-packages.txt) > /dev/null
fi

for program in tallowmere tallowmere-schedule test_report; do
  [ -x "$BUILD_DIR/bin/$program" ] || fail "no $BUILD_DIR/bin/$program: build the tree first (./scripts/test.sh)"
done
rm -rf "$ARTIFACTS"
mkdir -p "$ARTIFACTS"
ARTIFACTS=$(cd "$ARTIFACTS" && pwd)

run=$(mktemp -d /tmp/tallowmere-desktop.XXXXXX)
# Every process this stage starts, and whatever those start in turn (the AT-SPI bus
# launcher and registry, weston's shell), carries this mark in its environment; the
# clean-up ends exactly those.
export TALLOWMERE_DESKTOP_RUN=$run
started=()

marked_processes() {
  local dir
  for dir in /proc/[0-9]*; do
    if { tr '\0' '\n' < "$dir/environ"; } 2>/dev/null | grep -qxF "TALLOWMERE_DESKTOP_RUN=$run"; then
      [ "${dir#/proc/}" != "$$" ] && [ "${dir#/proc/}" != "$BASHPID" ] && echo "${dir#/proc/}"
    fi
  done
  return 0
}

cleanup() {
  local status=$? pid left
  # A second interruption must not cut the clean-up short.
  trap '' INT TERM
  trap - EXIT
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do
    kill "${started[i]}" 2>/dev/null || true
  done
  for _ in $(seq 1 50); do
    left=$(marked_processes)
    [ -z "$left" ] && break
    sleep 0.1
  done
  for pid in $(marked_processes); do
    kill -KILL "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  rm -rf "$run"
  if [ "$status" -ne 0 ]; then
    echo "test-desktop: logs and screenshots of this run are in $ARTIFACTS:" >&2
    ls -l "$ARTIFACTS" >&2 || true
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Waits up to $1 seconds for the command after it to succeed; fails otherwise.
wait_until() {
  local seconds=$1
  shift
  for _ in $(seq 1 $((seconds * 10))); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Starts a program in the background with its output in the artifacts folder and
# records it for the clean-up; the process id is in $last_pid.
start() {
  local log=$1
  shift
  "$@" > "$ARTIFACTS/$log" 2>&1 &
  last_pid=$!
  started+=("$last_pid")
}

# Whether a started program still runs (an ended one stays a zombie until waited for).
alive() {
  [ -e "/proc/$1" ] && ! grep -q '^State:.*Z' "/proc/$1/status" 2>/dev/null
}
ended() {
  ! alive "$1"
}

# Whether the file $1 is a socket or the program $2 has ended.
socket_or_ended() {
  [ -S "$1" ] || ! alive "$2"
}

# Waits up to $2 seconds for the file $3 to be a socket, or for the program $1 to end.
wait_socket() {
  wait_until "$2" socket_or_ended "$3" "$1"
  [ -S "$3" ]
}

# Waits for a started program to end by itself, up to $2 seconds; its status is in
# $exit_status. Fails when it does not end.
wait_exit() {
  local pid=$1 seconds=$2 what=$3
  if ! wait_until "$seconds" ended "$pid"; then
    fail "$what did not end within $seconds s"
  fi
  exit_status=0
  wait "$pid" || exit_status=$?
}

# --- The private session: runtime folder, D-Bus and the AT-SPI bus --------------------

# The user's own home only receives the printed PDF (see below); the programs, the
# compositor and the buses get a home of their own, so that no setting of the user's
# (a weston.ini, say) changes what is checked.
user=$(id -un)
user_home=$(getent passwd "$user" | cut -d: -f6)
export HOME=$run/home
export XDG_RUNTIME_DIR=$run/runtime
mkdir -m 700 "$HOME" "$XDG_RUNTIME_DIR"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
command -v dbus-daemon > /dev/null || fail "no D-Bus: dbus-daemon is not installed (package dbus-daemon)"
start dbus.log dbus-daemon --session --nofork --address="unix:path=$XDG_RUNTIME_DIR/bus"
wait_socket "$last_pid" 20 "$XDG_RUNTIME_DIR/bus" \
  || fail "no D-Bus: the private session bus did not start: $(tail -3 "$ARTIFACTS/dbus.log")"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
# The accessibility bus is started on demand by the session bus; asking for its address
# starts it now, so that a missing at-spi2-core shows here and not as an empty tree.
if ! a11y=$(timeout 30 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
                org.a11y.Bus.GetAddress 2>&1); then
  fail "no AT-SPI bus on the private D-Bus session (is at-spi2-core installed?): $a11y"
fi
"$PYTHON" -c 'import pyatspi' 2> "$ARTIFACTS/pyatspi.log" \
  || fail "$PYTHON cannot import pyatspi (package python3-pyatspi): $(tail -1 "$ARTIFACTS/pyatspi.log")"
say "private D-Bus session and AT-SPI bus up ($(sed -n 's/^ *string "\(unix:path=[^,]*\).*/\1/p' <<< "$a11y"))"

# --- Printing through CUPS --------------------------------------------------------------

pdf_queue() {
  { timeout 10 lpstat -v 2>/dev/null || true; } | sed -n 's/^device for \([^:]*PDF[^:]*\): cups-pdf:.*/\1/Ip' | head -1
}
queue_listed() {
  [ "$(pdf_queue)" = "$1" ]
}
command -v lpstat > /dev/null || fail "no print queue: the CUPS clients are not installed (package cups-client)"
queue=""
if [ -z "${CUPS_SERVER:-}" ]; then
  queue=$(pdf_queue)
fi
if [ -n "$queue" ]; then
  say "using the system's CUPS queue $queue"
else
  command -v cupsd > /dev/null || fail "no print queue: cupsd is not installed (package cups)"
  # cups-pdf refuses to run under a spooler that is not root's.
  [ "$(id -u)" -eq 0 ] || fail "no print queue: no system cupsd offers a cups-pdf queue, and a private one needs root"
  cups=$run/cups
  mkdir -p "$cups/etc/ppd" "$cups/spool/tmp" "$cups/cache" "$cups/state" "$cups/log"
  # The filters run as the spooler's unprivileged user and read the spool from here.
  chmod 755 "$run" "$cups" "$cups/spool"
  cat > "$cups/etc/cups-files.conf" <<EOF
ServerRoot $cups/etc
RequestRoot $cups/spool
TempDir $cups/spool/tmp
CacheDir $cups/cache
StateDir $cups/state
ErrorLog $ARTIFACTS/cups-error_log
AccessLog $ARTIFACTS/cups-access_log
PageLog $cups/log/page_log
SystemGroup root
EOF
  cat > "$cups/etc/cupsd.conf" <<EOF
Listen $cups/cups.sock
LogLevel info
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
  start cupsd.log cupsd -f -c "$cups/etc/cupsd.conf" -s "$cups/etc/cups-files.conf"
  export CUPS_SERVER=$cups/cups.sock
  if ! wait_socket "$last_pid" 20 "$CUPS_SERVER" || ! lpstat -r > /dev/null 2>&1; then
    fail "no print queue: the private cupsd did not start: $(tail -3 "$ARTIFACTS/cupsd.log" "$ARTIFACTS/cups-error_log" 2>/dev/null)"
  fi
  ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
  if [ ! -e "$ppd" ] || [ ! -e /usr/lib/cups/backend/cups-pdf ]; then
    fail "no print queue: cups-pdf is not installed (package printer-driver-cups-pdf)"
  fi
  lpadmin -p PDF -E -v cups-pdf:/ -P "$ppd" 2> "$ARTIFACTS/lpadmin.log" \
    || fail "no print queue: lpadmin could not add the PDF queue: $(cat "$ARTIFACTS/lpadmin.log")"
  wait_until 10 queue_listed PDF \
    || fail "no print queue: the private cupsd lists no PDF queue after lpadmin: $(lpstat -v 2>&1)"
  queue=PDF
  say "private cupsd on $CUPS_SERVER with the queue PDF"
fi

# cups-pdf writes into the PDF folder of the job's owner, found in the password file,
# and the test looks in the PDF folder of $HOME: both must be the same folder.
pdf_dir=$user_home/PDF
touch "$run/print-start"
status=0
HOME=$user_home USER=$user QT_QPA_PLATFORM=offscreen TALLOWMERE_REQUIRE_CUPS_PDF=1 \
  "$BUILD_DIR/bin/test_report" --gtest_filter=ReportPdf.PrintsThroughACupsPdfQueue \
  > "$ARTIFACTS/print-test.log" 2>&1 || status=$?
cat "$ARTIFACTS/print-test.log"
[ "$status" -eq 0 ] || fail "printing through the CUPS queue $queue failed (test_report status $status)"
grep -q '^\[  PASSED  \] 1 test' "$ARTIFACTS/print-test.log" || fail "the CUPS print test did not run"
landed=$(find "$pdf_dir" -maxdepth 1 -name '*CupsJob*.pdf' -newer "$run/print-start" 2>/dev/null | head -1)
[ -n "$landed" ] || fail "the print test passed but no new PDF landed in $pdf_dir"
pages=$(pdfinfo "$landed" | sed -n 's/^Pages: *//p')
[ "$pages" = 1 ] || fail "$landed has ${pages:-no} pages, expected one"
# The job's output is kept with this run's artifacts, not left in the user's folder.
mv "$landed" "$ARTIFACTS/"
say "the job went through $queue and landed as $landed (one page)"

# --- Wayland --------------------------------------------------------------------------

command -v weston > /dev/null || fail "no compositor: weston is not installed (package weston)"
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so > /dev/null 2>&1 \
  || fail "no Wayland support in Qt: the platform plugin is missing (package qt6-wayland)"
start weston.log weston --backend=headless-backend.so --use-pixman --debug --socket=wayland-tallowmere \
  --width=1024 --height=768 --idle-time=0
weston_pid=$last_pid
wait_socket "$weston_pid" 20 "$XDG_RUNTIME_DIR/wayland-tallowmere" \
  || fail "no compositor: weston did not start: $(tail -5 "$ARTIFACTS/weston.log")"
say "weston (headless) on $XDG_RUNTIME_DIR/wayland-tallowmere"

# The programs run from a folder of their own, so that the settings file they share
# lies beside them there and not in the build tree.
prog=$run/programs
mkdir -p "$prog"
cp "$BUILD_DIR/bin/tallowmere" "$BUILD_DIR/bin/tallowmere-schedule" "$prog/"
settings=$prog/tlm.ini
# Year 10 and rate 5 are left out: the window shows the layout's values for them, and
# the file holds all fifteen only once the program has saved.
printf '%s\n' '[Window]' 'Left=5' '[LastValues]' Year1=-12000 Year2=1500 Year3=1750 Year4=2000 \
  Year5=2250 Year6=2500 Year7=2750 Year8=3000 Year9=3250 Rate1=3.5 Rate2=4.25 Rate3=9 Rate4=11 > "$settings"
cp "$settings" "$ARTIFACTS/tlm-before.ini"
inode=$(stat -c %i "$settings")

on_wayland=(env QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-tallowmere QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)
start wayland-calculator.log "${on_wayland[@]}" "$prog/tallowmere"
app=$last_pid
WAYLAND_DISPLAY=wayland-tallowmere "$PYTHON" "$CHECK" calculator --pid "$app" --saved "$settings" \
  --shots "$ARTIFACTS" || fail "the calculator under Wayland: see $ARTIFACTS/wayland-calculator.log"
wait_exit "$app" 20 "the calculator under Wayland (after its Exit button)"
[ "$exit_status" -eq 0 ] || fail "the calculator under Wayland ended with status $exit_status"
cp "$settings" "$ARTIFACTS/tlm-after-wayland.ini"
[ "$(stat -c %i "$settings")" != "$inode" ] || fail "the calculator under Wayland did not save $settings"
for pair in Year1=-12000 Year9=3250 Year10=0 Rate1=3.5 Rate4=11 Rate5=8; do
  grep -qixF "$pair" "$settings" || fail "the saved settings lack $pair: $(tr '\n' ' ' < "$settings")"
done
grep -qxF 'Left=5' "$settings" || fail "saving lost the settings file's other lines"
say "the calculator ran under Wayland, showed the saved values, closed through Exit and saved"

start wayland-schedule.log "${on_wayland[@]}" "$prog/tallowmere-schedule"
schedule=$last_pid
WAYLAND_DISPLAY=wayland-tallowmere "$PYTHON" "$CHECK" schedule --pid "$schedule" --shots "$ARTIFACTS" \
  || fail "the schedule program under Wayland: see $ARTIFACTS/wayland-schedule.log"
wait_exit "$schedule" 20 "the schedule program under Wayland (after its Exit button)"
[ "$exit_status" -eq 0 ] || fail "the schedule program under Wayland ended with status $exit_status"
say "the schedule program opened its preview under Wayland"
kill "$weston_pid"

# --- A screen reader's view under X11 -----------------------------------------------------

command -v Xvfb > /dev/null || fail "no X server: Xvfb is not installed (package xvfb)"
exec {display_fd}> "$run/display"
start xvfb.log Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp
exec {display_fd}>&-
wait_until 20 grep -q '[0-9]' "$run/display" || fail "Xvfb did not start: $(tail -3 "$ARTIFACTS/xvfb.log")"
DISPLAY=":$(head -1 "$run/display")"
export DISPLAY
say "Xvfb on $DISPLAY"
start x11-calculator.log env QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$prog/tallowmere"
app=$last_pid
"$PYTHON" "$CHECK" calculator --pid "$app" --type --x11 \
  || fail "the calculator's accessible tree under X11: see $ARTIFACTS/x11-calculator.log"
wait_exit "$app" 20 "the calculator under X11 (after its Exit button)"
[ "$exit_status" -eq 0 ] || fail "the calculator under X11 ended with status $exit_status"
cp "$settings" "$ARTIFACTS/tlm-after-x11.ini"
# -25000 is the first cash flow atspi_check.py types.
grep -qixF 'Year1=-25000' "$settings" || fail "the typed inputs were not saved: $(tr '\n' ' ' < "$settings")"
say "the calculator's accessible tree under X11 names every field, button and the link, and reads the recomputed results"
say "passed"
