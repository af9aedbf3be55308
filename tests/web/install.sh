#!/usr/bin/env bash
# Installs the browser tests' npm packages and the server's, which the tests
# start, exactly as locked. Nothing here may download a browser: the tests
# drive Debian's Chromium.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/../../tools/npm-ci.sh" "$here/../../web/server"
PUPPETEER_SKIP_DOWNLOAD=1 "$here/../../tools/npm-ci.sh" "$here"
