#!/usr/bin/env bash
# Builds the Debian package house_VERSION_ARCH.deb: a build of its own with
# Debian's compiler flags and full hardening (dpkg-buildflags), the program
# and the snapshot tool, then CPack.
#   tools/package.sh [BUILD_DIR]     (default: build-package)
# The package is left in BUILD_DIR; its path is the last line printed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-package}"

"$root/tools/install-deps.sh"

# A stale package is removed first, so that a failed run cannot leave an
# old one looking new.
rm -f "$build"/house_*.deb
mapfile -t debian_flags < <("$root/tools/debian-flags.sh")
cmake -S "$root" -B "$build" "${debian_flags[@]}" -DHOUSE_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)

packages=("$build"/house_*.deb)
[ -f "${packages[0]}" ] || { echo "package.sh: CPack made no package in $build" >&2; exit 1; }
echo "Built the package; install it with: sudo apt install ${packages[0]}"
echo "${packages[0]}"
