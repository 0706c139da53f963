#!/usr/bin/env bash
# What the idle watcher costs between events: `vyla --watch-idle 10m` on an
# Xvfb display with no input for some seconds, its CPU time and wake-ups
# (context switches) from /proc, beside a reference in the same run: a
# polling watcher that asks the server for the idle time ten times a
# second (xprintidle's way, here a shell loop around `xset q`, which costs a
# round trip as XScreenSaverQueryInfo does).
#
#   bench/idle_watch.sh [build-dir] [seconds]      (defaults build/native, 10)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
seconds=${2:-10}
vyla=$build/vyla
[ -x "$vyla" ] || { echo "idle_watch.sh: $vyla is not built" >&2; exit 2; }

tmp=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset 3>"$tmp/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$tmp/display")
# No session bus: the watcher takes the X server's idle count.
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
export XDG_RUNTIME_DIR=$tmp

# CPU ticks (user+system, with reaped children) and context switches of a process.
ticks() { awk '{print $14 + $15 + $16 + $17}' "/proc/$1/stat"; }
switches() {
  awk '/^voluntary_ctxt_switches|^nonvoluntary_ctxt_switches/ {n += $2} END {print n}' "/proc/$1/status"
}

"$vyla" --watch-idle 10m &
watcher=$!
pids+=($watcher)
sh -c 'while :; do xset q >/dev/null 2>&1; sleep 0.1; done' 2>/dev/null &
poller=$!
pids+=($poller)
sleep 1  # both started and settled

w0=$(ticks $watcher); ws0=$(switches $watcher)
p0=$(ticks $poller); ps0=$(switches $poller)
sleep "$seconds"
w1=$(ticks $watcher); ws1=$(switches $watcher)
p1=$(ticks $poller); ps1=$(switches $poller)

hz=$(getconf CLK_TCK)
printf 'over %s s without input (CPU in ms, clock ticks of %s ms):\n' "$seconds" $((1000 / hz))
printf '  vyla --watch-idle 10m   CPU %5d ms   wake-ups %5d\n' $(((w1 - w0) * 1000 / hz)) $((ws1 - ws0))
printf '  polling 10/s (xset q)   CPU %5d ms   wake-ups %5d\n' $(((p1 - p0) * 1000 / hz)) $((ps1 - ps0))
