# Shared by the package tests: finding the package and counting failures.
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
