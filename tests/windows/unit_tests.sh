#!/usr/bin/env bash
# The unit tests, built for Windows, under Wine: all must pass.
#   unit_tests.sh WINDOWS_BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/common.sh"
under_wine "$windows_build/tests/unit_tests.exe"
