#!/usr/bin/env bash
# Installs, with apt-get, whichever of the Debian packages the build, the
# program and its tests need are not installed yet. Does nothing when all are.
#
#   tools/install-deps.sh             what the native program and its tests need
#   tools/install-deps.sh --web       that, and what the web page and its
#                                     browser tests need
#   tools/install-deps.sh --windows   that, and what the Windows cross-build
#                                     and its tests under Wine need
# The two options go together too.
set -euo pipefail

packages=(
  g++ cmake make ccache                    # compiler, build and compiler cache
  freeglut3-dev libglu1-mesa-dev libgl-dev # the program: GLUT, GLU, GL
  libgl1-mesa-dri                          # Mesa's software renderer
  libegl-dev libegl-mesa0 libopengl-dev    # headless snapshots and the benchmark
  libpng-dev                               # PNG output of the snapshot tool
  libgtest-dev                             # unit tests
  libbenchmark-dev                         # the benchmarks
  xvfb xdotool imagemagick x11-utils       # a virtual X server, keys, captures
  openbox                                  # a window manager for the desktop end-to-end cases
  dpkg-dev file                            # the package: dpkg-shlibdeps, and file for CPack
  lintian desktop-file-utils mandoc        # package tests: lintian, the menu entry, man pages
  blender python3-numpy                    # the model export's test: Blender imports a model
)

for option in "$@"; do
  case "$option" in
    --web)
      packages+=(
        emscripten                         # C++ to WebAssembly, with its GLUT
        nodejs                             # emscripten's own steps, the server, the tests
        chromium                           # the browser the tests drive
        firefox-esr webkit2gtk-driver      # the other two engines (WebKitWebDriver, MiniBrowser)
      )
      # A node that came with its own npm (not Debian's) must keep it:
      # Debian's npm would pull in Debian's node over it.
      command -v npm >/dev/null || packages+=(npm)  # installs the tests' two npm packages
      ;;
    --windows)
      packages+=(
        g++-mingw-w64-x86-64               # the cross compiler, its windres and objdump
        wine wine64                        # runs house.exe and the unit tests
        googletest                         # GoogleTest's source, built for Windows
      )
      ;;
    *)
      echo "usage: tools/install-deps.sh [--web] [--windows]" >&2
      exit 2
      ;;
  esac
done

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
