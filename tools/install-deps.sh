#!/usr/bin/env bash
# Installs, with apt-get, whichever of the Debian packages the build, the
# program and its tests need are not installed yet. Does nothing when all are.
set -euo pipefail

packages=(
  g++ cmake make                           # compiler and build
  freeglut3-dev libglu1-mesa-dev libgl-dev # the program: GLUT, GLU, GL
  libgl1-mesa-dri                          # Mesa's software renderer
  libegl-dev libegl-mesa0 libopengl-dev    # headless snapshots and the benchmark
  libpng-dev                               # PNG output of the snapshot tool
  libgtest-dev                             # unit tests
  libbenchmark-dev                         # the benchmarks
  xvfb xdotool imagemagick x11-utils       # a virtual X server, keys, captures
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing missing packages: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
