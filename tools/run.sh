#!/usr/bin/env bash
# make run: the saver on this display. With no display to show it on, the
# saver runs for a few seconds on a private Xvfb screen over a sample
# desktop, with the slideshow on, and screenshots of it land in out/.
#
#   tools/run.sh [build-dir]      (default build/native)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
vyla=$build/vyla
setroot=$build/tests/x11/vyla_x11_setroot
[ -x "$vyla" ] || { echo "run.sh: $vyla is not built (make native)" >&2; exit 1; }

if [ -n "${DISPLAY:-}" ] && xset q >/dev/null 2>&1; then
  exec "$vyla"
fi

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is missing (tools/deps.sh installs it)" >&2; exit 1; }
done

tmp=$(mktemp -d)
xvfb_pid=
vyla_pid=
cleanup() {
  [ -n "$vyla_pid" ] && kill "$vyla_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it accepts clients;
# -noreset keeps the desktop picture after the tool that set it has gone.
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do grep -q . "$tmp/display" 2>/dev/null && break; sleep 0.1; done
grep -q . "$tmp/display" || { echo "run.sh: Xvfb did not start:" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -1 "$tmp/display")
echo "No display here: running on Xvfb $DISPLAY (1280x720) for about 8 seconds."

if [ -x "$setroot" ]; then
  "$setroot"
else
  xsetroot -solid '#3a5f8a'
fi

# The slideshow on, a new picture every 5 seconds.
mkdir -p "$tmp/config"
printf '[options]\ncolor=0\nspeed=1\ngirls=1\ninterval=5\n' >"$tmp/config/vyla.ini"
XDG_CONFIG_HOME=$tmp/config "$vyla" &
vyla_pid=$!
for _ in $(seq 100); do xdotool search --name '^Vyla Screen Saver$' >/dev/null 2>&1 && break; sleep 0.1; done

mkdir -p out
shots=()
for at in 1 4 7; do
  sleep $((at - ${last:-0}))
  last=$at
  shot=out/vyla-linux-${at}s.png
  import -window root "$shot"
  shots+=("$shot")
done
sleep 1

# A one-pixel move ends it, as it would a real saver.
xdotool mousemove_relative -- 1 0
for _ in $(seq 50); do kill -0 "$vyla_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$vyla_pid" 2>/dev/null; then
  echo "run.sh: the saver did not end on a mouse move" >&2
  exit 1
fi
wait "$vyla_pid" && status=0 || status=$?
vyla_pid=
echo "The saver ended with status $status. Screenshots:"
printf '  %s\n' "${shots[@]}"
