#!/usr/bin/env bash
# What a person downloads: the zip holds house.exe, the README and both
# licences, and nothing else; its house.exe is a 64-bit window program that
# loads only DLLs that come with Windows, and carries the version and the
# icons.
#   zip_test.sh WINDOWS_BUILD_DIR VERSION
set -euo pipefail
. "$(dirname "$0")/common.sh"
version="$2"
require_tools x86_64-w64-mingw32-objdump x86_64-w64-mingw32-windres
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

zip="$windows_build/house-$version-windows-x64.zip"
[ -f "$zip" ] || { echo "FAIL: no $zip" >&2; exit 1; }
echo "== $(basename "$zip"): $(stat -c %s "$zip") bytes"
(cd "$scratch" && cmake -E tar xf "$zip")
listed="$(cd "$scratch" && find . -mindepth 1 -printf '%P\n' | sort | tr '\n' ' ')"
[ "$listed" = "LICENSE.txt README.md freeglut-COPYING.txt house.exe " ] ||
  fail "the zip holds: $listed"
tar -xzf "$freeglut_archive" -C "$scratch" --wildcards '*/COPYING' --transform 's|.*/|freeglut-|'
while read -r unpacked source; do
  cmp -s "$scratch/$unpacked" "$source" || fail "$unpacked in the zip is not $source"
done <<LIST
README.md $windows_root/README.md
LICENSE.txt $windows_root/LICENSE
freeglut-COPYING.txt $scratch/freeglut-COPYING
LIST

exe="$scratch/house.exe"
echo "== house.exe: $(stat -c %s "$exe") bytes"
headers="$(x86_64-w64-mingw32-objdump -p "$exe")"
grep -q 'file format pei-x86-64' <<<"$headers" || fail "house.exe is not a 64-bit Windows program"
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" ||
  fail "house.exe is not a window program: started from Explorer it would open a console"
# Each of these comes with every Windows since XP. Anything else (the
# compiler's runtimes, a freeglut DLL) would have to travel beside it.
system_dlls=" ADVAPI32.DLL GDI32.DLL GLU32.DLL KERNEL32.DLL MSVCRT.DLL OPENGL32.DLL USER32.DLL WINMM.DLL "
imports="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr '[:lower:]' '[:upper:]' | sort -u)"
echo "imports: $(echo $imports)"
for dll in $imports; do
  [[ "$system_dlls" == *" $dll "* ]] || fail "house.exe needs $dll, which does not come with Windows"
done
for dll in OPENGL32.DLL GLU32.DLL; do
  grep -qx "$dll" <<<"$imports" || fail "house.exe does not import $dll"
done

resources="$(x86_64-w64-mingw32-windres -i "$exe" -O rc)" || fail "house.exe's resources cannot be read"
while read -r expected; do
  grep -qF -- "$expected" <<<"$resources" || fail "house.exe's resources lack: $expected"
done <<LIST
FILEVERSION ${version//./, }, 0
VALUE "FileVersion", "$version"
VALUE "ProductVersion", "$version"
VALUE "ProductName", "House"
VALUE "OriginalFilename", "house.exe"
"GLUT_ICON" 14
LIST
# The icon group lists each committed icon: its size (a byte, 0 for 256)
# and its length, as windres writes them back.
icons=("$windows_root"/data/icons/house-*.png)
grep -qF "Has ${#icons[@]} elements" <<<"$resources" || fail "the icon group does not hold ${#icons[@]} images"
for icon in "${icons[@]}"; do
  size="${icon##*-}"
  size="${size%.png}"
  side="$(printf '\\%03o' $((size % 256)))"
  entry="\"$side$side\\000\\000\", 1, 32, $(printf '0x%xL' "$(stat -c %s "$icon")")"
  grep -qF -- "$entry" <<<"$resources" || fail "the icon group has no ${size} px image ($entry)"
done
finish
