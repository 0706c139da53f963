#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, as listed in
# tools/deps/*.list. As root it runs apt-get itself; otherwise it prints the
# one command to run.
#
#   tools/deps.sh             every list but bench.list (build and tests)
#   tools/deps.sh bench ...   the named lists only
set -euo pipefail
cd "$(dirname "$0")/deps"

if [ $# -gt 0 ]; then
  lists=()
  for name in "$@"; do
    [ -f "$name.list" ] || { echo "deps.sh: no list tools/deps/$name.list" >&2; exit 2; }
    lists+=("$name.list")
  done
else
  lists=()
  for f in ./*.list; do [ "$f" = ./bench.list ] || lists+=("$f"); done
fi

mapfile -t packages < <(cat "${lists[@]}" | sed -e 's/#.*//' -e 's/[[:space:]]//g' | grep -v '^$' | sort -u)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Several builds may install at once: wait for the package database rather than fail.
apt-get -o DPkg::Lock::Timeout=1800 update -qq
apt-get -o DPkg::Lock::Timeout=1800 install -y -qq --no-install-recommends "${missing[@]}"
