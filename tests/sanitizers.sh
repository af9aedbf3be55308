#!/usr/bin/env bash
# The unit tests again, built with AddressSanitizer and UndefinedBehavior-
# Sanitizer in a build of their own and run as one program: any report
# fails. (Not the GL layer's test: it runs Mesa, which keeps some of what
# it allocates.)
#   sanitizers.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source="$1" build="$2"
cmake -S "$source" -B "$build" -DHOUSE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
if ! cmake --build "$build" -j"$(nproc)" --target unit_tests house_probe >"$build/build.log" 2>&1; then
  cat "$build/build.log"
  exit 1
fi
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
exec "$build/tests/unit_tests"
