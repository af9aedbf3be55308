#!/usr/bin/env bash
# Runs the program on a private virtual X server, saves its first frame as a
# PNG and ends it: a look at the program on a machine with no screen.
#   tools/first-frame.sh [BINARY] [OUT.png]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
binary="${1:-$root/build/house}"
out="${2:-$PWD/house-first-frame.png}"
# The title the program gives its window, as window.h writes it.
title="$(sed -n 's/^const char kWindowTitle\[\] = "\(.*\)";$/\1/p' "$root/src/viewer/window.h")"
[ -n "$title" ] || { echo "first-frame: no window title in src/viewer/window.h" >&2; exit 1; }

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "first-frame: $tool is missing (tools/install-deps.sh installs it)" >&2; exit 1; }
done
[ -x "$binary" ] || { echo "first-frame: no program at $binary (build it first)" >&2; exit 1; }

# The server writes the number of the display it took to descriptor 3.
displayfile="$(mktemp)"
"$root/tools/xvfb.sh" 3 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
house=""
cleanup() {
  [ -n "$house" ] && kill "$house" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -f "$displayfile"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.05; done
[ -s "$displayfile" ] || { echo "first-frame: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$displayfile")"

"$binary" &
house=$!
window="$(timeout 20 xdotool search --sync --name "^${title}\$" | head -n 1)" || true
[ -n "$window" ] || { echo "first-frame: the program's window did not appear" >&2; exit 1; }
# The first frame is drawn right after the window is mapped; give it a moment.
sleep 1
import -window "$window" "$out"
echo "No display here, so the program ran on a virtual X server."
echo "Its first frame is saved in $out"
