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

# Another architecture's packages that this mirror refused within the last hour
# are not tried again by every build step.
refused=/var/tmp/vyla-deps-refused
only_foreign=yes
for p in "${missing[@]}"; do case "$p" in *:*) ;; *) only_foreign=no ;; esac; done
if [ "$only_foreign" = yes ] && [ -n "$(find "$refused" -mmin -60 2>/dev/null)" ] &&
   [ "$(cat "$refused")" = "${missing[*]}" ]; then
  exit 0
fi

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
for attempt in 1 2 3; do
  apt-get -o DPkg::Lock::Timeout=1800 update -qq && break
  if [ "$attempt" -eq 3 ]; then
    echo "deps.sh: apt-get update failed three times; installing from the indexes there are" >&2
    break
  fi
  echo "deps.sh: apt-get update failed; trying again in $((attempt * 20)) s" >&2
  sleep $((attempt * 20))
done
# Packages of another architecture (the 32-bit Wine) need that architecture's
# security index to match the installed libraries. When the mirror cannot give
# it, the rest is still installed, and the tests that need them say so and skip.
native=() foreign=()
for p in "${missing[@]}"; do
  case "$p" in
    *:*) foreign+=("$p") ;;
    *) native+=("$p") ;;
  esac
done
[ ${#native[@]} -eq 0 ] || apt-get -o DPkg::Lock::Timeout=1800 install -y -qq --no-install-recommends "${native[@]}"
if [ ${#foreign[@]} -gt 0 ] &&
   ! apt-get -o DPkg::Lock::Timeout=1800 install -y -qq --no-install-recommends "${foreign[@]}"; then
  echo "deps.sh: ${foreign[*]} could not be installed from this mirror; the tests that need them are skipped" >&2
  echo "${foreign[*]}" > "$refused"
fi
