#!/usr/bin/env bash
# Builds the page into SITE (default build-web/): house.js and house.wasm,
# compiled by CMake with emscripten (emcmake) in BUILD (default build/wasm/,
# where the tests' build of the page compiles too)
# from the sources CMakeLists.txt lists, the posters drawn by the native
# house-snapshot (web/site/poster.mjs) and the frame's steps it records
# (web/site/frame_steps.mjs), then the site assembled from them
# and the page's files (web/site/assemble.mjs: the files named after their
# content, index.html with its key table and policy, the manifest, the
# service worker, the icons), and last the compressed copies. The compile
# does nothing when nothing has changed, nor the posters when house-snapshot
# has not.
#
#   [HOUSE_SNAPSHOT=PATH] web/site/build.sh [SITE] [BUILD]
#
# Needs emscripten, node and a built house-snapshot: HOUSE_SNAPSHOT, by
# default build/tools/house-snapshot (cmake --build build --target
# house-snapshot).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
site="${1:-$root/build-web}"
build="${2:-$root/build/wasm}"
snapshot="${HOUSE_SNAPSHOT:-$root/build/tools/house-snapshot}"
if [ ! -x "$snapshot" ]; then
  echo "build.sh: no house-snapshot at $snapshot to draw the posters: build it" \
    "(cmake --build build --target house-snapshot) or name it in HOUSE_SNAPSHOT" >&2
  exit 1
fi

# Debian's emscripten runs its JavaScript optimiser with Debian's acorn,
# which node finds only here. Its system libraries come prebuilt with the
# package (the cache is frozen), so a first build compiles only our files.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

# -O2 and no warnings, as the page is shipped.
if [ ! -f "$build/CMakeCache.txt" ]; then
  emcmake cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2 \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DHOUSE_TESTS=OFF >/dev/null
fi
# A build of its own, also when a make runs this script: not one of its jobs.
env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL cmake --build "$build" -j"$(nproc)" >/dev/null

program="$build/web/wasm"
node "$root/web/site/poster.mjs" "$snapshot" "$program" >/dev/null
node "$root/web/site/frame_steps.mjs" "$snapshot" "$program" >/dev/null
node "$root/web/site/assemble.mjs" "$site" "$program"
# Last, so that the compressed copies match the files.
node "$root/web/site/precompress.mjs" "$site"
