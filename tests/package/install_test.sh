#!/usr/bin/env bash
# Installs the package as a person would (apt-get install ./house_*.deb),
# runs the program from the PATH on a private X server and checks its first
# frame against the installed snapshot tool's picture of the same view, then
# purges the package and checks that none of its files remain.
#   install_test.sh PACKAGE_DIR
# It changes what the machine has installed, so it runs only as root, leaves
# a machine that already has house installed alone, and removes what it
# installed even when a step fails. Exit status 77 means skipped.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/common.sh"
root="$(cd "$here/../.." && pwd)"

skip() {
  echo "SKIPPED: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "installing the package needs root; run the tests as root to include it"
command -v apt-get >/dev/null || skip "no apt-get on this machine"
house_installed() {
  dpkg-query -W -f='${Status}' house 2>/dev/null | grep -q "ok installed"
}
if house_installed; then
  skip "a house package is installed already, and this test leaves it alone"
fi
require_tools compare
deb="$(the_package "$1")"

# Where apt's unprivileged user can read the package.
scratch="$(mktemp -d)"
chmod 755 "$scratch"
cp "$deb" "$scratch/"
# apt-get, its chatter shown only when it fails. Others may hold dpkg's
# lock for a while.
apt() {
  if ! DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=300 "$@" \
      >"$scratch/apt.log" 2>&1; then
    cat "$scratch/apt.log" >&2
    echo "apt-get $* failed" >&2
    return 1
  fi
}
installed=0
cleanup() {
  if [ "$installed" -eq 1 ]; then
    apt purge house || echo "could not remove the house package: apt-get purge house" >&2
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

echo "== install"
installed=1
apt install "$scratch/${deb##*/}"
mapfile -t package_files < <(dpkg -L house)
[ "$(command -v house)" = /usr/bin/house ] || fail "house is not /usr/bin/house on the PATH"
[ "$(command -v house-snapshot)" = /usr/bin/house-snapshot ] || fail "house-snapshot is not on the PATH"
if command -v man >/dev/null; then
  [ "$(man -w house)" = /usr/share/man/man1/house.1.gz ] || fail "man does not find house(1)"
fi

echo "== first frame of the installed program"
"$root/tools/first-frame.sh" "$(command -v house)" "$scratch/window.png"
env -u DISPLAY house-snapshot --size 500x500 "$scratch/snapshot.png"
# Both draw with the same software rasteriser, so beyond a colour's
# rounding at most a few edges differ: under 1 pixel in 1,000.
most_differing_pixels=249
pictures_within "$scratch/window.png" "$scratch/snapshot.png" "$most_differing_pixels" ||
  fail "the installed program's first frame is not the snapshot's picture"

echo "== remove"
apt purge house
installed=0
if house_installed; then fail "house is still installed after apt-get purge"; fi
for path in "${package_files[@]}"; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then fail "left behind: $path"; fi
done
[ ! -e /usr/share/doc/house ] || fail "left behind: /usr/share/doc/house"
finish
