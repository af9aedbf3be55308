# Shared by the package tests: finding the package and the tools, comparing
# pictures and counting failures.
# Sourced, not run.

failures=0

# Records a failed check and goes on, so one run shows every fault.
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}

# Stops the run unless every named tool is on the PATH.
require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (tools/install-deps.sh installs it)" >&2; exit 1; }
  done
}

# How far apart two pixels' colours may lie and still count as the same:
# 2 % of the range, about 5 of 255 steps. The pictures compared here come
# from Mesa drawing the same view into a window's visual and into an
# off-screen buffer (or from another Mesa, for the committed icons), which
# may round a colour a step or so either way.
readonly same_colour_fuzz=2%

# Whether two pictures differ in at most LIMIT pixels by more than
# same_colour_fuzz; says how many do. A size mismatch or an unreadable
# picture gives no count and fails.
#   pictures_within A.png B.png LIMIT
pictures_within() {
  local differing
  # compare prints the count on stderr and exits 1 when any pixel differs.
  differing="$(compare -metric AE -fuzz "$same_colour_fuzz" "$1" "$2" null: 2>&1)" || true
  echo "${1##*/} against ${2##*/}: $differing pixels differ (at most $3 allowed)"
  [[ "$differing" =~ ^[0-9]+$ ]] && [ "$differing" -le "$3" ]
}

# The one package tools/package.sh left in the given folder.
the_package() {
  local found=("$1"/house_*.deb)
  if [ ${#found[@]} -ne 1 ] || [ ! -f "${found[0]}" ]; then
    echo "no single house_*.deb in $1 (package_build makes it)" >&2
    exit 1
  fi
  echo "${found[0]}"
}

# A step that stops the run under set -e says which one it was.
trap 'echo "FAIL: stopped at line $LINENO: $BASH_COMMAND" >&2' ERR
