#!/usr/bin/env bash
# Makes docs/preview.gif, the animated preview in the README: 1024x768 shown
# at half size, crimson flowers at the normal speed, a silhouette every 2 s,
# over the built-in desktop picture. The calendar time is fixed, so the slide
# order and the file are the same on every run.
#
#   tools/make_preview.sh            (needs build/native/vyla-render: make native)
#
# VYLA_RENDER names another vyla-render binary.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
renderer="${VYLA_RENDER:-$root/build/native/vyla-render}"
target="$root/docs/preview.gif"

if [ ! -x "$renderer" ]; then
  echo "make_preview: $renderer is missing; build it with: make native" >&2
  exit 1
fi

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
printf '[options]\ncolor=0\nspeed=1\ngirls=1\ninterval=2\n' >"$scratch/vyla.ini"

"$renderer" --size 1024x768 --settings "$scratch/vyla.ini" --clock-seconds 1700000000 \
  --start 100000 --ticks 100000:106500:10 \
  --out "$scratch/frames" --gif "$scratch/preview.gif" --gif-scale 2 >/dev/null
mkdir -p "$(dirname "$target")"
mv "$scratch/preview.gif" "$target"
echo "wrote $target ($(wc -c <"$target") bytes)"
