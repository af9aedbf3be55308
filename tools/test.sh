#!/usr/bin/env bash
# Runs the tests.
#
#   tools/test.sh [--all]   everything (the default): installs what is
#                           missing, builds, and runs every test: unit, tool,
#                           document, end-to-end (a real window in a virtual X
#                           server), browser, package and Windows (under Wine)
#                           tests, and the unit tests again under
#                           AddressSanitizer and UndefinedBehaviorSanitizer
#   tools/test.sh --quick   from an existing build, what a change to the
#                           program or the tools most often breaks: the unit,
#                           tool and document tests, in about a minute
#
# One CTest run schedules them all, so that tests that wait (for a window,
# a browser, Wine) overlap with tests that compute. Any test's failure,
# and any sanitizer report, fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${HOUSE_BUILD_DIR:-$root/build}"
jobs="$(nproc)"
quick_labels='^(unit|tools|docs)$'

usage() {
  echo "usage: tools/test.sh [--all | --quick]" >&2
  exit 2
}
mode=all
case "${1:-}" in
  ''|--all) ;;
  --quick) mode=quick ;;
  *) usage ;;
esac
[ $# -le 1 ] || usage

# What was skipped, and why, in the run's last lines: a test that skips,
# or skips some of its cases, prints "SKIPPED: the reason, and what would
# run it".
report_skips() {
  local log="$build/Testing/Temporary/LastTest.log"
  [ -f "$log" ] || return 0
  awk '
    /^[0-9]+\/[0-9]+ Testing: / { name = $3 }
    /^SKIPPED: / {
      sub(/^SKIPPED: /, "")
      if (!($0 in reasons)) order[++count] = $0
      reasons[$0] = reasons[$0] (reasons[$0] == "" ? "" : ", ") name
    }
    END { for (i = 1; i <= count; i++) printf "== skipped in %s: %s\n", reasons[order[i]], order[i] }
  ' "$log"
}

# A test that failed and then passed on its second try, by name: the run
# passes, and these lines say which tests wobble under load.
report_retries() {
  local log="$build/Testing/Temporary/LastTest.log"
  [ -f "$log" ] || return 0
  awk '
    /^[0-9]+\/[0-9]+ Testing: / { name = $3 }
    /^Test Failed\./ { failed[name] = 1 }
    /^Test Passed\./ { if (name in failed) printf "== passed only on its second try: %s (see %s)\n", name, FILENAME }
  ' "$log"
}

if [ "$mode" = quick ]; then
  [ -f "$build/CMakeCache.txt" ] ||
    { echo "test.sh --quick runs from an existing build: run tools/test.sh once first" >&2; exit 2; }
  cmake --build "$build" -j"$jobs"
  status=0
  ctest --test-dir "$build" --output-on-failure -j"$jobs" -L "$quick_labels" || status=$?
  report_skips
  cat <<TEXT
== --quick left out the end-to-end, browser, package, benchmark and Windows
   tests and the sanitizers. tools/test.sh (--all) runs everything; one group:
   ctest --test-dir $build -L e2e   (or web, package, bench, windows, sanitize)
TEXT
  exit "$status"
fi

"$root/tools/install-deps.sh" --web --windows
mapfile -t debian_flags < <("$root/tools/debian-flags.sh")
cmake -S "$root" -B "$build" "${debian_flags[@]}" >/dev/null
cmake --build "$build" -j"$jobs"
status=0
# One more job than cores: the end-to-end, browser and Wine tests spend
# much of their time waiting. A real window, a browser's compositor and
# Wine each run on their own time, and on a loaded machine one of them
# now and then misses a deadline: a failed test runs once more, and
# fails the run only if it fails again.
ctest --test-dir "$build" --output-on-failure -j"$((jobs + 1))" --repeat until-pass:2 || status=$?
report_skips
report_retries
exit "$status"
