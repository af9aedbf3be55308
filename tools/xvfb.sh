#!/usr/bin/env bash
# Starts a private virtual X server, the one way this project starts one
# (tools/first-frame.sh, the end-to-end tests and the benchmark): a
# 1280x1024 screen at 24 bits, no TCP, on the first free display, whose
# number it writes to descriptor FD once it accepts clients. It stays in the
# foreground until it is stopped.
#   tools/xvfb.sh FD
set -euo pipefail
exec Xvfb -displayfd "$1" -screen 0 1280x1024x24 -nolisten tcp
