#!/usr/bin/env bash
# Installs the npm packages locked in a folder, exactly as locked, when they
# are missing or older than the lock file.
#
#   tools/npm-ci.sh DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: tools/npm-ci.sh DIR" >&2; exit 2; }
cd "$1"
if [ node_modules/.package-lock.json -nt package-lock.json ]; then
  exit 0
fi
echo "Installing the npm packages of $(pwd)"
npm ci --ignore-scripts --no-audit --no-fund --loglevel=error
