#!/usr/bin/env bash
# Renews the pictures of the user guide (docs/images/*.png) from the programs as they
# are now: run it after any change of the look, look at the pictures, commit them.
#
# Everything runs under Xvfb on a 1024x768 screen, in a scratch program folder with
# example values in its tlm.ini, United States number formats, and an information
# page served on 127.0.0.1 so that the Update Center has something to show:
#   main-window.png    the real calculator, after Tab has computed the results
#   preview.png        the print preview        } opened in-process by
#   update-center.png  the Update Center        } tools/screenshots (not installed)
#   schedule.png       the real tallowmere-schedule's preview, when it is built
#
# Needs (Debian): xvfb xauth xdotool x11-utils imagemagick python3.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_DIR=${BUILD_DIR:-build}
OUT=$ROOT/docs/images

if [ "${1:-}" != --inside ]; then
  [ -f "$BUILD_DIR/build.ninja" ] || cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  targets=(tallowmere tallowmere-screenshots)
  known=$(cmake --build "$BUILD_DIR" --target help)
  if grep -q '^tallowmere-schedule:' <<< "$known"; then
    targets+=(tallowmere-schedule)
  fi
  cmake --build "$BUILD_DIR" -j "$(nproc)" --target "${targets[@]}"
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside
fi

export LC_ALL=C.UTF-8
prog=$(mktemp -d)
web=$(mktemp -d)
server=""
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  rm -rf "$prog" "$web"
}
trap cleanup EXIT

# The information page announces a newer version, so the Update Center has news.
cat > "$web/tallowmere.htm" <<'EOF'
<HTML><HEAD>
<TITLE>Tallowmere</TITLE>
<META HTTP-EQUIV="name" CONTENT="Corvane Software">
<META HTTP-EQUIV="version" CONTENT="1.1.01">
<META HTTP-EQUIV="date" CONTENT="May 2, 1999">
<META HTTP-EQUIV="url" CONTENT="http://www.corvane.example/files/tlm11.exe">
<META HTTP-EQUIV="readme" CONTENT="http://www.corvane.example/tlm11.txt">
</HEAD><BODY>Tallowmere 1.1.01</BODY></HTML>
EOF
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$web" > "$web/server.log" 2>&1 &
server=$!
port=""
for _ in $(seq 1 50); do
  port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$web/server.log" | head -1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "screenshots: the web server did not start" >&2; exit 1; }

# A flat bought for renting out: the rent of ten years, the sale at the end of the
# tenth.
{
  echo "[LastValues]"
  for year in 1 2 3 4 5 6 7 8 9; do echo "Year$year=1200"; done
  echo "Year10=16200"
  rate=1
  for percent in 4 5 6 7 8; do echo "Rate$rate=$percent"; rate=$((rate + 1)); done
  echo
  echo "[Update]"
  echo "HomeURL=http://127.0.0.1:$port/tallowmere.htm"
} > "$prog/tlm.ini"
cp "$BUILD_DIR/bin/tallowmere" help/tlm*.hlp "$prog/"
if [ -x "$BUILD_DIR/bin/tallowmere-schedule" ]; then cp "$BUILD_DIR/bin/tallowmere-schedule" "$prog/"; fi
mkdir -p "$OUT"
xdotool mousemove 1023 767 # no hover effects or hints in the pictures

# The visible window whose title matches, once no splash window of that title covers
# it any more (the splash shares the calculator's title until it hides).
wait_window() {
  local pattern=$1 pid=$2 id found splash
  for _ in $(seq 1 120); do
    found=""
    splash=""
    for id in $(xdotool search --onlyvisible --name "$pattern" 2>/dev/null || true); do
      if xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_SPLASH; then
        splash=$id
      else
        found=$id
      fi
    done
    if [ -n "$found" ] && [ -z "$splash" ]; then
      echo "$found"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
  done
  echo "screenshots: no window '$pattern'" >&2
  return 1
}

picture() {
  import -window "$1" -define png:exclude-chunks=date,time "png:$OUT/$2"
  echo "screenshots: wrote docs/images/$2"
}

stop() {
  local pid=$1
  for _ in $(seq 1 40); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid" || true; return 0; }
    sleep 0.25
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" || true
  echo "screenshots: pid $pid had to be stopped" >&2
}

(cd "$prog" && exec ./tallowmere) &
pid=$!
main=$(wait_window '^Tallowmere, 1.1$' "$pid")
xdotool windowfocus --sync "$main"
xdotool key Tab # leaving the first field computes the five results
sleep 1
picture "$main" main-window.png
xdotool windowfocus --sync "$main"
xdotool key --delay 300 alt+f x
stop "$pid"

"$ROOT/$BUILD_DIR/bin/tallowmere-screenshots" "$prog" "$OUT"
echo "screenshots: wrote docs/images/preview.png and docs/images/update-center.png"

if [ -x "$prog/tallowmere-schedule" ]; then
  (cd "$prog" && exec ./tallowmere-schedule) &
  pid=$!
  window=$(wait_window '^Discounting Schedule' "$pid")
  sleep 1.5
  picture "$window" schedule.png
  xdotool windowfocus --sync "$window"
  xdotool key Escape
  stop "$pid"
else
  echo "screenshots: tallowmere-schedule is not built; docs/images/schedule.png left as it was" >&2
fi
