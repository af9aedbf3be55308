#!/usr/bin/env bash
# Builds the page into OUT (default build-web/): index.html with its key
# table from docs/usage.md, the page's style and modules, house.js and
# house.wasm from the program's own sources and the GL layer here, and the
# icon. Compiles nothing when house.wasm is newer than every input.
#
#   web/build.sh [OUT]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build-web}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
# However the build ends well, the compressed copies then match the files.
trap '[ $? -ne 0 ] || node "$root/web/precompress.mjs" "$out"' EXIT

# Every library source and main, as the native build compiles them, and the
# page's own: its GL layer and what it reads of the scene.
sources=("$root"/src/*/*.cpp "$root/web/gl_batch.cpp" "$root/web/scene_view.cpp")
inputs=("${sources[@]}" "$root"/src/*/*.h "$root/web/glut_fixes.js" "$0")
static_files=(page.css page.js program.js keys.js sizing.js gestures.js buttons.js
              view_name.js view_link.js help.js key_language.mjs)

up_to_date() {
  [ -f "$out/house.wasm" ] && [ -f "$out/house.js" ] || return 1
  local input
  for input in "${inputs[@]}"; do
    [ "$input" -ot "$out/house.wasm" ] || return 1
  done
}

for file in "${static_files[@]}"; do
  cp "$root/web/$file" "$out/$file"
done
node "$root/web/key_help.mjs" "$root/web/index.html" "$root/docs/usage.md" >"$out/index.html.tmp"
mv "$out/index.html.tmp" "$out/index.html"
# The desktop icon serves as the favicon too: one picture of the house everywhere.
cp "$root/data/icons/house-64.png" "$out/icon.png"

if up_to_date; then
  echo "build-web: house.wasm is up to date"
  exit 0
fi

# Debian's emscripten runs its JavaScript optimiser with Debian's acorn,
# which node finds only here. Its system libraries come prebuilt with the
# package (the cache is frozen), so a first build compiles only our files.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

echo "build-web: compiling ${#sources[@]} files to WebAssembly"
if ! emcc -O2 -std=c++17 -Wall -Wextra -Werror -I"$root/src" "${sources[@]}" \
  -lglut -lGL -sENVIRONMENT=web --post-js "$root/web/glut_fixes.js" -o "$out/house.js"; then
  rm -f "$out/house.js" "$out/house.wasm"
  exit 1
fi
