#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit
# tests, the tool tests, the end-to-end tests in a virtual X server, the web
# page's tests in headless Chromium, the package and document tests, and the
# Windows build's tests under Wine; then builds the unit tests again with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs them, failing on
# any report.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${HOUSE_BUILD_DIR:-$root/build}"
jobs="$(nproc)"

"$root/tools/install-deps.sh" --web --windows

cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j"$jobs"
# The end-to-end tests take turns: each drives a real window and waits for
# it. Everything else shares nothing and runs side by side.
(cd "$build" && ctest --output-on-failure -j"$jobs" -LE e2e && ctest --output-on-failure -L e2e)

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$build-sanitize" -DHOUSE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build-sanitize" -j"$jobs" --target unit_tests house_probe
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
(cd "$build-sanitize" && ctest --output-on-failure -j"$jobs" -L unit)
