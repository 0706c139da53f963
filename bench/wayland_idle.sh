#!/usr/bin/env bash
# The running saver's cost on Wayland beside its cost on X11, measured the
# same way in the same run, at the same size:
#
#   wayland   vyla (its first process and the output's) on headless sway,
#             plus sway: the compositor composes what the saver sends
#   x11       vyla on Xvfb, plus Xvfb
#
# and the ratio of the two totals (CPU time as a share of one core).
#
#   bench/wayland_idle.sh [build-dir]            (default build/native)
#   VYLA_BENCH_SECONDS=15 VYLA_BENCH_SIZE=1920x1080 VYLA_BENCH_SETTINGS=zero|fast bench/wayland_idle.sh
#
# Runs sway and the Wayland saver as "nobody" when started as root (sway
# refuses root). Needs sway, Xvfb (tools/deps/wayland.list, x11.list). CPU
# figures are only as quiet as the machine: compare the ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
vyla=$build/vyla
seconds=${VYLA_BENCH_SECONDS:-15}
size=${VYLA_BENCH_SIZE:-1920x1080}
which_settings=${VYLA_BENCH_SETTINGS:-zero}
[ -x "$vyla" ] || { echo "wayland_idle.sh: $vyla is not built (make native)" >&2; exit 2; }

tmp=$(mktemp -d)
chmod 700 "$tmp"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT

as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

mkdir -p "$tmp/config"
case $which_settings in
  zero) printf '[options]\ncolor=0\nspeed=0\ngirls=0\ninterval=0\n' ;;
  fast) printf '[options]\ncolor=0\nspeed=2\ngirls=1\ninterval=5\n' ;;
esac >"$tmp/config/vyla.ini"
cp "$vyla" "$tmp/vyla"
printf 'default_border none\noutput HEADLESS-1 mode %s bg #336699 solid_color\n' "$size" >"$tmp/sway.conf"
[ "$(id -u)" -eq 0 ] && chown -R nobody:nogroup "$tmp"

# shellcheck source=bench/cpu_time.sh
. bench/cpu_time.sh

# sample "CLIENT PIDS" "SERVER PIDS": both CPU % of one core over the same $seconds
sample() {
  local t0 t1 c0 c1 s0 s1
  # shellcheck disable=SC2086
  { t0=$(date +%s.%N); c0=$(cpu_ns $1); s0=$(cpu_ns $2); }
  sleep "$seconds"
  # shellcheck disable=SC2086
  { t1=$(date +%s.%N); c1=$(cpu_ns $1); s1=$(cpu_ns $2); }
  awk -v c0="$c0" -v c1="$c1" -v s0="$s0" -v s1="$s1" -v t0="$t0" -v t1="$t1" \
    'BEGIN { d = (t1 - t0) * 1e7; printf "%.2f %.2f\n", (c1 - c0) / d, (s1 - s0) / d }'
}

echo "measuring at $size, settings $which_settings, ${seconds} s each ..." >&2

# ---- Wayland: headless sway, the saver as its client
env -i HOME="$tmp" XDG_RUNTIME_DIR="$tmp" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  PATH=/usr/bin:/bin "${as_user[@]}" sway -c "$tmp/sway.conf" >"$tmp/sway.log" 2>&1 &
sway_pid=$!
pids+=("$sway_pid")
for _ in $(seq 100); do ls "$tmp"/wayland-? >/dev/null 2>&1 && break; sleep 0.1; done
socket=$(basename "$(ls "$tmp"/wayland-? 2>/dev/null | head -1)")
[ -n "$socket" ] || { echo "wayland_idle.sh: sway did not start" >&2; exit 2; }
sleep 1
env -i HOME="$tmp" XDG_RUNTIME_DIR="$tmp" XDG_CONFIG_HOME="$tmp/config" WAYLAND_DISPLAY="$socket" \
  PATH=/usr/bin:/bin "${as_user[@]}" "$tmp/vyla" --backend wayland >"$tmp/vyla.log" 2>&1 &
vyla_pid=$!
pids+=("$vyla_pid")
sleep 2  # past start-up: the steady state is what counts
children=$(pgrep -P "$vyla_pid" | tr '\n' ' ')
[ -n "$children" ] || { echo "wayland_idle.sh: the saver did not start on sway: $(cat "$tmp/vyla.log")" >&2; exit 2; }
read -r w_client w_server < <(sample "$vyla_pid $children" "$sway_pid")
kill "$vyla_pid" 2>/dev/null; wait "$vyla_pid" 2>/dev/null || true
kill "$sway_pid" 2>/dev/null; wait "$sway_pid" 2>/dev/null || true
pids=()

# ---- X11: Xvfb of the same size
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$tmp/display" 2>/dev/null &
xvfb_pid=$!
pids+=("$xvfb_pid")
for _ in $(seq 100); do grep -q . "$tmp/display" 2>/dev/null && break; sleep 0.1; done
display=:$(head -1 "$tmp/display")
[ -x "$build/tests/x11/vyla_x11_setroot" ] && DISPLAY=$display "$build/tests/x11/vyla_x11_setroot"
DISPLAY=$display WAYLAND_DISPLAY= XDG_CONFIG_HOME="$tmp/config" "$vyla" --backend x11 >/dev/null 2>&1 &
x_pid=$!
pids+=("$x_pid")
sleep 2
read -r x_client x_server < <(sample "$x_pid" "$xvfb_pid")

echo
printf '%-10s %-10s %9s %9s %8s\n' backend size client% server% total%
awk -v s="$size" -v wc="$w_client" -v ws="$w_server" -v xc="$x_client" -v xs="$x_server" 'BEGIN {
  printf "%-10s %-10s %9.2f %9.2f %8.2f\n", "wayland", s, wc, ws, wc + ws
  printf "%-10s %-10s %9.2f %9.2f %8.2f\n", "x11", s, xc, xs, xc + xs
  ratio = (xc + xs > 0) ? sprintf("%.2f", (wc + ws) / (xc + xs)) : "inf"
  printf "\nWayland/X11 cost ratio (totals): %s\n", ratio }'
