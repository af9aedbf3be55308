#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. With no usable
# display it shows the first frame as a PNG instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${HOUSE_BUILD_DIR:-$root/build}"

"$root/tools/install-deps.sh"
mapfile -t debian_flags < <("$root/tools/debian-flags.sh")
cmake -S "$root" -B "$build" "${debian_flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target house

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$build/house" "$@"
fi
echo "No usable display (DISPLAY is '${DISPLAY:-}')."
exec "$root/tools/first-frame.sh" "$build/house" "$PWD/house-first-frame.png"
