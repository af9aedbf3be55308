#!/usr/bin/env bash
# The committed icons (used where house-snapshot is not built) against the
# ones this build drew: each must have its nominal size and differ from the
# drawn one in at most a few pixels, or the committed copy has drifted from
# the scene or the view and wants `cmake --build BUILD --target update-icons`.
#   icons_test.sh DRAWN_DIR COMMITTED_DIR SIZE...
set -euo pipefail
. "$(dirname "$0")/common.sh"
drawn="$1"
committed="$2"
shift 2
require_tools identify compare

for size in "$@"; do
  name="house-$size.png"
  dimensions="$(identify -format '%wx%h' "$committed/$name")"
  [ "$dimensions" = "${size}x$size" ] || fail "$name is $dimensions"
  # A renderer from another Mesa may round an edge differently; a changed
  # scene or view moves whole areas. One pixel in a hundred tells them apart.
  pictures_within "$drawn/$name" "$committed/$name" $((size * size / 100)) ||
    fail "data/icons/$name has drifted from the drawn icon: cmake --build BUILD --target update-icons"
done
finish
