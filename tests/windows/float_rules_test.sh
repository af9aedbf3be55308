#!/usr/bin/env bash
# The float trace (float_trace.cpp) built for Linux and for Windows must
# print the same lines: the same stored state and the same frame after
# every press. Says at the first press where they part, and in which fields.
#   float_rules_test.sh WINDOWS_BUILD_DIR LINUX_TRACE_PROGRAM
set -euo pipefail
. "$(dirname "$0")/common.sh"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

"$2" >"$scratch/linux.txt"
under_wine "$windows_build/tests/windows/float_trace.exe" >"$scratch/windows.txt"
awk '
  NR == FNR { linux[FNR] = $0; lines = FNR; next }
  FNR == 1 { split($0, names) }
  $0 != linux[FNR] {
    split(linux[FNR], expected)
    parted = ""
    for (i = 3; i <= NF; i++) {
      if ($i != expected[i]) parted = parted sprintf("\n  %s: %s on Linux, %s on Windows", names[i], expected[i], $i)
    }
    printf "FAIL: Linux and Windows part at press %s (%s):%s\n", $1, $2, parted
    failed = 1
    exit
  }
  END {
    if (failed) exit 1
    if (FNR != lines) { printf "FAIL: %d lines on Linux, %d on Windows\n", lines, FNR; exit 1 }
    printf "the same %d states and frames on Linux and on Windows\n", lines - 1
  }
' "$scratch/linux.txt" "$scratch/windows.txt" || exit 1
