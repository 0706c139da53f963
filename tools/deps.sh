#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, as listed in
# tools/deps/*.list. As root it runs apt-get itself; otherwise it prints the
# one command to run.
#
#   tools/deps.sh             every list but bench.list (build and tests)
#   tools/deps.sh bench ...   the named lists only
#
# A list may name a package of another architecture as NAME:ARCH (wine32:i386);
# that architecture is added to dpkg before the package lists are fetched.
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

# The architectures the missing packages name that dpkg does not know yet.
known=" $(dpkg --print-architecture) all any $(dpkg --print-foreign-architectures | tr '\n' ' ') "
architectures=()
for p in "${missing[@]}"; do
  case "$p" in
    *:*) arch="${p##*:}" ;;
    *) continue ;;
  esac
  case "$known" in *" $arch "*) continue ;; esac
  architectures+=("$arch")
  known+="$arch "
done

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run:" >&2
  for arch in "${architectures[@]}"; do echo "  sudo dpkg --add-architecture $arch" >&2; done
  echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
for arch in "${architectures[@]}"; do
  echo "Adding the package architecture $arch"
  dpkg --add-architecture "$arch"
done
# Several builds may install at once: wait for the package database rather than fail.
# A mirror in the middle of a sync serves indexes of the wrong size for a few
# minutes: try the update again, and in the end install from what was fetched.
for attempt in 1 2 3 4 5; do
  apt-get -o DPkg::Lock::Timeout=1800 update -qq && break
  if [ "$attempt" -eq 5 ]; then
    echo "deps.sh: apt-get update failed five times; installing from the indexes there are" >&2
    break
  fi
  echo "deps.sh: apt-get update failed; trying again in $((attempt * 30)) s" >&2
  sleep $((attempt * 30))
done
apt-get -o DPkg::Lock::Timeout=1800 install -y -qq --no-install-recommends "${missing[@]}"
