#!/usr/bin/env bash
# How fast the program ends as a hack: `vyla --root` on a 1920x1080 Xvfb
# screen gets SIGTERM after a second of running; the time from the signal
# to its exit, over several runs (goal: under 0.5 s each), beside the same
# measure for a plain `sleep` process as the reference for this machine.
#
#   bench/hack_end.sh [build-dir] [runs]      (defaults build/native, 10)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
runs=${2:-10}
vyla=$build/vyla
[ -x "$vyla" ] || { echo "hack_end.sh: $vyla is not built" >&2; exit 2; }

tmp=$(mktemp -d)
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$tmp/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$tmp/display")

# Milliseconds from SIGTERM to the exit of a process started by "$@".
end_ms() {
  "$@" &
  local pid=$!
  sleep 1
  local t0 t1
  t0=$(date +%s%N)
  kill -TERM "$pid"
  wait "$pid" || true
  t1=$(date +%s%N)
  echo $(((t1 - t0) / 1000000))
}

worst=0; total=0; ref_total=0
for _ in $(seq "$runs"); do
  ms=$(end_ms "$vyla" --root)
  ref=$(end_ms sleep 30)
  total=$((total + ms)); ref_total=$((ref_total + ref))
  [ "$ms" -gt "$worst" ] && worst=$ms
done
echo "vyla --root, 1920x1080, SIGTERM to exit over $runs runs:"
echo "  mean $((total / runs)) ms, worst $worst ms (goal: under 500 ms)"
echo "  reference, sleep: mean $((ref_total / runs)) ms"
[ "$worst" -lt 500 ]
