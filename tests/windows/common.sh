# Shared by the Windows tests: the folder of the cross-build (the script's
# first argument), freeglut's release archive, running a program under Wine,
# and the skip when the archive is not there. Sourced, not run. CTest gives
# the archive's place and Wine's settings in the environment
# (tests/windows/CMakeLists.txt).
windows_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
. "$windows_root/tests/package/common.sh"
mkdir -p "$1"
windows_build="$(cd "$1" && pwd)"
freeglut_archive="${HOUSE_FREEGLUT_ARCHIVE:?is set by CTest: where the freeglut release archive is}"
: "${WINEPREFIX:?is set by CTest: the Wine prefix of the Windows tests}"

skip() {
  echo "SKIPPED: $*"
  exit 77
}
[ -f "$freeglut_archive" ] ||
  skip "no freeglut source at $freeglut_archive (the Windows build has no network to fetch it):" \
    "put freeglut's 3.8.0 release archive there, then run ctest -L windows"

# Runs a Windows program under Wine; its output without Windows' line ends.
#   under_wine PROGRAM.exe [ARGS...]
under_wine() {
  local status=0
  end_wine_session
  wine "$@" | tr -d '\r' || status=$?
  return "$status"
}

# Ends what an earlier test left running in the prefix. A session's desktop
# takes the display of the program that started it, so a window program
# cannot open its window in a session a console program started with none.
# The tests take turns with the prefix (CTest's lock wine_prefix).
end_wine_session() {
  wineserver -k 2>/dev/null || true
}
