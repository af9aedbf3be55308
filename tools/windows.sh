#!/usr/bin/env bash
# Cross-builds the program for 64-bit Windows with Debian's mingw-w64 and
# packs house-VERSION-windows-x64.zip: one house.exe with freeglut and the
# C++ runtime linked in, the README and the licences.
#
#   tools/windows.sh [--freeglut SOURCE] [--build-dir DIR] [--tests]
#
# freeglut is built from its release source in the same run: fetched from
# its public repository, or, with no network, taken from SOURCE, its release
# archive (.tar.gz, checked against its SHA-256) or an unpacked copy of it.
# Without --freeglut, a copy of the archive at ../shared/deps/ beside the
# repository is used when there is one. --tests also builds the unit tests
# for Windows, against GoogleTest built from Debian's source of it, to be
# run under Wine (the Windows tests do).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-windows"
freeglut=""
tests=0
default_archive="$root/../shared/deps/freeglut-3.8.0.tar.gz"

usage() {
  echo "usage: tools/windows.sh [--freeglut ARCHIVE.tar.gz|DIR] [--build-dir DIR] [--tests]" >&2
  exit 2
}
while [ $# -gt 0 ]; do
  case "$1" in
    --freeglut) [ $# -ge 2 ] || usage; freeglut="$2"; shift 2 ;;
    --build-dir) [ $# -ge 2 ] || usage; build="$2"; shift 2 ;;
    --tests) tests=1; shift ;;
    *) usage ;;
  esac
done
if [ -z "$freeglut" ] && [ -f "$default_archive" ]; then
  freeglut="$default_archive"
fi

# Each run says where freeglut comes from, whatever an earlier run said.
source_option=(-UFETCHCONTENT_SOURCE_DIR_FREEGLUT -DHOUSE_FREEGLUT_ARCHIVE=)
if [ -d "$freeglut" ]; then
  source_option=(-DFETCHCONTENT_SOURCE_DIR_FREEGLUT="$(cd "$freeglut" && pwd)")
elif [ -f "$freeglut" ]; then
  source_option=(-UFETCHCONTENT_SOURCE_DIR_FREEGLUT
    -DHOUSE_FREEGLUT_ARCHIVE="$(cd "$(dirname "$freeglut")" && pwd)/$(basename "$freeglut")")
elif [ -n "$freeglut" ]; then
  echo "windows: no freeglut source at $freeglut" >&2
  exit 1
fi

"$root/tools/install-deps.sh" --windows

targets=(house windows-zip)
test_options=(-DHOUSE_TESTS=OFF)
if [ "$tests" -eq 1 ]; then
  targets+=(unit_tests float_trace)
  test_options=(-DHOUSE_TESTS=ON -DHOUSE_GTEST_SOURCE=/usr/src/googletest)
fi
# A release: optimised, and with no debugging information to build, link
# and strip again.
cmake -S "$root" -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  "${test_options[@]}" "${source_option[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

zip="$(ls -t "$build"/house-*-windows-x64.zip | head -n 1)"
echo "Built $zip ($(stat -c %s "$zip") bytes): house.exe ($(stat -c %s "$build/windows-zip/house.exe") bytes), README.md, LICENSE.txt, freeglut-COPYING.txt"
