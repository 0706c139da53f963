#!/usr/bin/env bash
# Renders six seconds of the saver over the built-in desktop picture, with the
# slideshow on (a new silhouette every 2 s, flowers at the normal speed), into
# out/: every frame as a PNG and an animated GIF. make run falls back to this
# when no display can be used.
#
#   tools/render-demo.sh [OUTPUT_DIR]      (default: out/ at the top of the tree)
#
# VYLA_RENDER names another vyla-render binary (default build/native/vyla-render).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
renderer="${VYLA_RENDER:-$root/build/native/vyla-render}"
out="${1:-$root/out}"

if [ ! -x "$renderer" ]; then
  echo "render-demo: $renderer is missing; build it with: make native" >&2
  exit 1
fi

settings="$(mktemp)"
trap 'rm -f "$settings"' EXIT
printf '[options]\ngirls=1\ninterval=2\nspeed=1\n' >"$settings"

mkdir -p "$out"
rm -rf "$out/frames"
# The clock starts at 100 s, so the first slide is due at the first step.
"$renderer" --size 1024x768 --settings "$settings" \
  --start 100000 --ticks 100000:106000:10 \
  --out "$out/frames" --gif "$out/vyla.gif" --gif-scale 2 >/dev/null

count=$(find "$out/frames" -name '*.png' | wc -l)
echo "Rendered 6 s of the saver at 1024x768:"
echo "  $count frames: $out/frames/TICK.png"
echo "  animation:  $out/vyla.gif"
