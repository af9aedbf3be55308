#!/usr/bin/env bash
# Reads the package without installing it: its control fields, the files it
# lays out, its desktop entry and manual pages, and lintian's verdict.
#   contents_test.sh PACKAGE_DIR VERSION
set -euo pipefail
. "$(dirname "$0")/common.sh"
deb="$(the_package "$1")"
version="$2"
require_tools dpkg-deb readelf file desktop-file-validate mandoc lintian
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
tree="$scratch/tree"
dpkg-deb -x "$deb" "$tree"

field() { dpkg-deb -f "$deb" "$1"; }

echo "== control fields"
while read -r name expected; do
  [ "$(field "$name")" = "$expected" ] || fail "$name is '$(field "$name")', not '$expected'"
done <<EOF
Package house
Version $version
Architecture $(dpkg --print-architecture)
Section graphics
Priority optional
EOF
field Maintainer | grep -Eq '^[^<>]+ <[^@ <>]+@[^@ <>]+\.[^@ <>]+>$' ||
  fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
[ "$(field Description | wc -l)" -ge 3 ] || fail "the description has no body"

# Every library the binaries load must be brought by a package in Depends:
# each NEEDED entry is resolved to its file and the package owning it, under
# either name usrmerge gives it.
depended_on="$(field Depends | tr ',|' '\n\n' | sed 's/(.*//; s/ //g')"
owner_of() {
  local path="$1"
  for candidate in "$path" "/usr$path" "${path#/usr}"; do
    dpkg -S "$candidate" 2>/dev/null | head -n 1 | cut -d: -f1 && return
  done
}
for binary in "$tree"/usr/bin/*; do
  while read -r library; do
    path="$(ldd "$binary" | awk -v name="$library" '$1 == name { print $3 }')"
    owner="$(owner_of "$path")"
    [ -n "$owner" ] || { fail "no package owns $library, needed by ${binary##*/}"; continue; }
    grep -qxF "$owner" <<<"$depended_on" ||
      fail "Depends lacks $owner, which brings $library for ${binary##*/}"
  done < <(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
done

echo "== files"
app_id="$(basename "$tree"/usr/share/applications/*.desktop .desktop)"
expected="$(sort <<EOF
./usr/bin/house
./usr/bin/house-export
./usr/bin/house-snapshot
./usr/share/applications/$app_id.desktop
./usr/share/doc/house/LICENSE
./usr/share/doc/house/README.md
./usr/share/doc/house/changelog.gz
./usr/share/doc/house/copyright
./usr/share/icons/hicolor/32x32/apps/$app_id.png
./usr/share/icons/hicolor/48x48/apps/$app_id.png
./usr/share/icons/hicolor/64x64/apps/$app_id.png
./usr/share/icons/hicolor/128x128/apps/$app_id.png
./usr/share/icons/hicolor/256x256/apps/$app_id.png
./usr/share/man/man1/house-export.1.gz
./usr/share/man/man1/house-snapshot.1.gz
./usr/share/man/man1/house.1.gz
EOF
)"
listing="$(dpkg-deb -c "$deb")"
actual="$(awk '$1 !~ /^d/ { print $6 }' <<<"$listing" | sort)"
[ "$actual" = "$expected" ] || fail "the package's files differ from the expected ones:
$(diff <(echo "$expected") <(echo "$actual") || true)"
while read -r line; do
  fail "$line"
done < <(awk '$2 != "root/root" { print "owned by " $2 ": " $6 }' <<<"$listing")
for binary in usr/bin/house usr/bin/house-snapshot usr/bin/house-export; do
  grep -Eq "^-rwxr-xr-x .* \./$binary$" <<<"$listing" || fail "$binary is not mode 755"
done
for icon in "$tree"/usr/share/icons/hicolor/*/apps/*.png; do
  size="$(basename "$(dirname "$(dirname "$icon")")")"
  file "$icon" | grep -q "PNG image data, ${size/x/ x }," ||
    fail "the icon in $size is $(file -b "$icon")"
done

echo "== desktop entry"
entry="$tree/usr/share/applications/$app_id.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects $app_id.desktop"
exec_program="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")"
[ -x "$tree/usr/bin/$exec_program" ] || fail "Exec=$exec_program is not a program of the package"
grep -qx "Icon=$app_id" "$entry" || fail "Icon= does not name the package's icons ($app_id)"

echo "== manual pages"
for page in "$tree"/usr/share/man/man1/*.1.gz; do
  zcat "$page" >"$scratch/page.1"
  lint="$(mandoc -T lint "$scratch/page.1" 2>&1 || true)"
  [ -z "$lint" ] || fail "mandoc -T lint on ${page##*/}:
$lint"
  grep -q "^\.TH .*\"house $version\"" "$scratch/page.1" || fail "${page##*/} does not say version $version"
done
for tool in house-snapshot house-export; do
  [ "$("$tree/usr/bin/$tool" --version)" = "$tool $version" ] || fail "$tool --version does not say $version"
done

echo "== lintian"
# Status 2 means tags of the level it fails on (errors); 1, that it broke.
status=0
lintian --pedantic -I "$deb" >"$scratch/lintian" 2>&1 || status=$?
cat "$scratch/lintian"
[ "$status" -ne 1 ] || fail "lintian did not run to the end"
if grep -q "^E:" "$scratch/lintian"; then fail "lintian reports errors"; fi
# A warning that stays must be named, with its reason, in docs/install.md.
readme="$(dirname "$0")/../../docs/install.md"
while read -r tag; do
  grep -qF "\`$tag\`" "$readme" || fail "lintian warns $tag, and docs/install.md does not say why"
done < <(awk '/^W:/ { print $3 }' "$scratch/lintian" | sort -u)
finish
