#!/usr/bin/env bash
# Prints, one a line, the CMake settings of a build with Debian's compiler
# flags and full hardening (dpkg-buildflags), as the package is built. The
# scripts build the program with them everywhere, so that the package's
# compiles are the test build's, out of the compiler cache.
#   mapfile -t settings < <(tools/debian-flags.sh)
set -euo pipefail
# dpkg-buildflags maps the current folder out of the debugging information:
# the repository's root, whichever script asks.
cd "$(dirname "$0")/.."
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
# Build type None: these flags and nothing else. CMake has no setting for
# CPPFLAGS (where the fortify flag is), so they go with the compiler's.
echo "-DCMAKE_BUILD_TYPE=None"
echo "-DCMAKE_C_FLAGS=$CFLAGS $CPPFLAGS"
echo "-DCMAKE_CXX_FLAGS=$CXXFLAGS $CPPFLAGS"
for kind in EXE SHARED MODULE; do echo "-DCMAKE_${kind}_LINKER_FLAGS=$LDFLAGS"; done
