#!/usr/bin/env bash
# Installs the browser tests' npm packages, exactly as locked, when they are
# missing or older than the lock file. Nothing here may download a browser:
# the tests drive Debian's Chromium.
set -euo pipefail
cd "$(dirname "$0")"
if [ node_modules/.package-lock.json -nt package-lock.json ]; then
  exit 0
fi
echo "Installing the browser tests' npm packages (tests/web/node_modules)"
PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund --loglevel=error
