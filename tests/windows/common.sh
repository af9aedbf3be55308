# Shared by the Windows tests: where the cross-build and its Wine prefix
# live, freeglut's release archive, running a program under Wine, and the
# skip when the archive is not there. Sourced, not run, with the folder of
# the cross-build as the script's first argument.
windows_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
. "$windows_root/tests/package/common.sh"
mkdir -p "$1"
windows_build="$(cd "$1" && pwd)"
# Where this machine and CI keep third-party sources for offline builds.
freeglut_archive="$windows_root/../shared/deps/freeglut-3.8.0.tar.gz"

skip() {
  echo "SKIPPED: $*"
  exit 77
}
[ -f "$freeglut_archive" ] ||
  skip "no freeglut source at $freeglut_archive, and the Windows build needs it with no network"

# One prefix for every Windows test, made once by windows_build. No Mono
# and no Gecko: nothing here needs them, and Wine would offer to fetch them.
export WINEPREFIX="$windows_build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Runs a Windows program under Wine; its output without Windows' line ends.
#   under_wine PROGRAM.exe [ARGS...]
under_wine() {
  local status=0
  wine "$@" | tr -d '\r' || status=$?
  return "$status"
}
