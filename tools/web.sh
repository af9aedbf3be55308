#!/usr/bin/env bash
# The program as a web page: installs what is missing, builds the page into
# build-web/ (index.html, the page's style and modules, house.js, house.wasm,
# the manifest, the service worker and the icons) and serves it at
# http://127.0.0.1:8080/.
#
#   tools/web.sh [--port N] [--no-serve]
#   tools/web.sh --bench [--frames N]   the web frame beside the native one
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
site="$root/build-web"
build="${HOUSE_BUILD_DIR:-$root/build}"

usage() {
  echo "usage: tools/web.sh [--port N] [--no-serve] | --bench [--frames N]" >&2
  exit 2
}

port=8080
serve=1
bench=0
frames=200
while [ $# -gt 0 ]; do
  case "$1" in
    --port) [ $# -ge 2 ] || usage; port="$2"; shift 2 ;;
    --no-serve) serve=0; shift ;;
    --bench) bench=1; shift ;;
    --frames) [ $# -ge 2 ] || usage; frames="$2"; shift 2 ;;
    -h|--help) usage ;;
    *) echo "web.sh: unknown option '$1'" >&2; usage ;;
  esac
done
if ! [[ "$port" =~ ^[0-9]{1,5}$ ]] || [ "$port" -lt 1 ] || [ "$port" -gt 65535 ]; then
  echo "web.sh: --port needs a number from 1 to 65535, not '$port'" >&2
  exit 2
fi
if ! [[ "$frames" =~ ^[0-9]{1,6}$ ]] || [ "$frames" -lt 1 ]; then
  echo "web.sh: --frames needs a whole number above 0, not '$frames'" >&2
  exit 2
fi

"$root/tools/install-deps.sh" --web
# The native house-snapshot draws the page's posters.
mapfile -t debian_flags < <("$root/tools/debian-flags.sh")
cmake -S "$root" -B "$build" "${debian_flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target house-snapshot >/dev/null
HOUSE_SNAPSHOT="$build/tools/house-snapshot" "$root/web/site/build.sh" "$site" "$build/wasm"

if [ "$bench" -eq 1 ]; then
  cmake --build "$build" -j"$(nproc)" --target house-bench
  "$root/tests/web/install.sh"
  exec node "$root/tests/bench/web_bench.mjs" --site "$site" --native "$build/tests/bench/house-bench" \
    --frames "$frames"
fi

bytes=$(find "$site" -maxdepth 1 -type f ! -name '*.br' ! -name '*.gz' -printf '%s\n' | awk '{sum += $1} END {print sum}')
echo "Built $site ($((bytes / 1024)) KiB)"
[ "$serve" -eq 1 ] || exit 0
"$root/tools/npm-ci.sh" "$root/web/server"
exec node "$root/web/server/serve.mjs" "$site" "$port"
