#!/usr/bin/env bash
# Installs the npm packages locked in a folder (default: this one, the
# server's), exactly as locked, when they are missing or older than the
# lock file.
#
#   web/install.sh [DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")}"
if [ node_modules/.package-lock.json -nt package-lock.json ]; then
  exit 0
fi
echo "Installing the npm packages of $(pwd)"
npm ci --ignore-scripts --no-audit --no-fund --loglevel=error
