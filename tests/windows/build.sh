#!/usr/bin/env bash
# The Windows tests' fixture: cross-builds house.exe, the zip, the unit
# tests and the float trace with tools/windows.sh, from freeglut's release
# archive, and makes the Wine prefix the other tests run in (once; Wine's
# first start takes a while), both at the same time.
#   build.sh WINDOWS_BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/common.sh"

prefix_log="$windows_build/wine-prefix.log"
mkdir -p "$windows_build"
prefix=""
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init >"$prefix_log" 2>&1 &
  prefix=$!
fi
"$windows_root/tools/windows.sh" --build-dir "$windows_build" --freeglut "$freeglut_archive" --tests
if [ -n "$prefix" ]; then
  wait "$prefix" || { cat "$prefix_log" >&2; echo "wineboot could not make $WINEPREFIX" >&2; exit 1; }
  # wineboot returns before its server has written the prefix out.
  wineserver --wait
fi
[ -f "$WINEPREFIX/system.reg" ] || { echo "no Wine prefix at $WINEPREFIX" >&2; exit 1; }
