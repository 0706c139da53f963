#!/usr/bin/env bash
# The running saver's cost on X11: CPU time over 20 seconds on a 1920x1080
# Xvfb screen, fast flowers (speed=2), the slideshow on every 5 seconds, as
# a share of one core (goal: at most 3 %), and its peak memory (VmHWM).
#
#   bench/x11_cpu.sh [build-dir]      (default build/native)
#
# Needs Xvfb and xdotool (tools/deps/x11.list). Exits 1 above the goal.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
vyla=$build/vyla
setroot=$build/tests/x11/vyla_x11_setroot
seconds=${VYLA_BENCH_SECONDS:-20}
goal=3
[ -x "$vyla" ] || { echo "x11_cpu.sh: $vyla is not built" >&2; exit 2; }

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

# Xvfb picks a free display and writes its number when it is ready.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$tmp/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do grep -q . "$tmp/display" 2>/dev/null && break; sleep 0.1; done
grep -q . "$tmp/display" || { echo "x11_cpu.sh: Xvfb did not start" >&2; exit 2; }
export DISPLAY=:$(head -1 "$tmp/display")
[ -x "$setroot" ] && "$setroot"

mkdir -p "$tmp/config"
printf '[options]\ncolor=0\nspeed=2\ngirls=1\ninterval=5\n' >"$tmp/config/vyla.ini"
XDG_CONFIG_HOME=$tmp/config "$vyla" &
vyla_pid=$!
for _ in $(seq 100); do xdotool search --name '^Vyla Screen Saver$' >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1  # past start-up: the steady state is what counts

ticks() { sed 's/^.*) //' "/proc/$vyla_pid/stat" | awk '{ print $12 + $13 }'; }
hz=$(getconf CLK_TCK)
t0=$(date +%s.%N); c0=$(ticks)
sleep "$seconds"
t1=$(date +%s.%N); c1=$(ticks)
hwm=$(awk '/^VmHWM/ { print $2, $3 }' "/proc/$vyla_pid/status")

xdotool mousemove_relative -- 1 0
for _ in $(seq 50); do kill -0 "$vyla_pid" 2>/dev/null || break; sleep 0.1; done
wait "$vyla_pid" && status=0 || status=$?
vyla_pid=

percent=$(awk -v c0="$c0" -v c1="$c1" -v hz="$hz" -v t0="$t0" -v t1="$t1" \
  'BEGIN { printf "%.2f", (c1 - c0) / hz / (t1 - t0) * 100 }')
echo "vyla on X11, 1920x1080, speed=2, slideshow every 5 s, ${seconds} s:"
echo "  CPU: ${percent} % of one core (goal: at most ${goal} %)"
echo "  peak memory (VmHWM): ${hwm}"
echo "  exit status after a one-pixel move: ${status}"
awk -v p="$percent" -v g="$goal" 'BEGIN { exit !(p <= g) }'
