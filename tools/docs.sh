#!/usr/bin/env bash
# Documents that are written once and shown in more than one form.
#
# What the program shows is written in docs/description.md, and the keys,
# the options, what happens with no display and the exit status in
# docs/usage.md. Both are in the manual page house(1); the description is
# the README's first paragraph and the package's description, and the
# README shows the key table of docs/usage.md (the rest is a page to link):
#   tools/docs.sh roff [FILE]  prints docs/usage.md (or FILE) in roff, for
#                              the build to put in the page (data/man-page.cmake)
#   tools/docs.sh readme       copies both into the README's blocks
#   tools/docs.sh check        fails if a README block differs from its source
#   tools/docs.sh links [DIR]  fails if a relative link of README.md or
#                              docs/*.md (in DIR, else here) leads to no file
#
# The release history is written in CHANGELOG.md and installed in the form
# Debian reads:
#   tools/docs.sh changelog MAINTAINER OUT
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
changes="$root/CHANGELOG.md"
readme="$root/README.md"
blocks=(description keys)  # each a block of the README, between two marker lines
block_source() {
  case "$1" in
    description) echo "docs/description.md" ;;
    keys) echo "the key table of docs/usage.md" ;;
  esac
}
begin_marker() { echo "<!-- From $(block_source "$1"): edit it there, then run tools/docs.sh readme. -->"; }
end_marker() { echo "<!-- End of $(block_source "$1"). -->"; }

die() { echo "docs.sh: $*" >&2; exit 1; }

# The small part of Markdown that docs/ uses, in roff: "## Title"
# headings, paragraphs, two-column tables (a header row and a rule row,
# then one tagged paragraph a row), `code` in bold and *words* in italics.
# Each sentence starts a line and no line is longer than 80 bytes, as
# manual pages want.
markdown_to_roff() {
  awk '
    function inline(text) {
      gsub(/\\/, "\\e", text)
      gsub(/-/, "\\-", text)
      gsub(/°/, "\\(de", text)
      gsub(/×/, "\\(mu", text)
      while (match(text, /`[^`]*`/)) {
        text = substr(text, 1, RSTART - 1) "\\fB" substr(text, RSTART + 1, RLENGTH - 2) "\\fR" substr(text, RSTART + RLENGTH)
      }
      while (match(text, /\*[^*]+\*/)) {
        text = substr(text, 1, RSTART - 1) "\\fI" substr(text, RSTART + 1, RLENGTH - 2) "\\fR" substr(text, RSTART + RLENGTH)
      }
      return text
    }
    function put(line) {
      if (line ~ /^[.\047]/) line = "\\&" line
      print line
    }
    function fold(sentence,    count, words, i, line) {
      count = split(sentence, words, " ")
      line = ""
      for (i = 1; i <= count; i++) {
        if (line != "" && length(line) + 1 + length(words[i]) > 80) { put(line); line = "" }
        line = line == "" ? words[i] : line " " words[i]
      }
      if (line != "") put(line)
    }
    function emit(text,    at) {
      text = inline(text)
      while ((at = index(text, ". ")) > 0) {
        fold(substr(text, 1, at))
        text = substr(text, at + 2)
      }
      fold(text)
    }
    function cell(text) { sub(/^ +/, "", text); sub(/ +$/, "", text); emit(text) }
    /^## / { print ".SH \"" toupper(substr($0, 4)) "\""; headed = 1; gap = 0; row = 0; next }
    /^\|/ {
      if (++row <= 2) next
      split($0, cells, "|")
      print ".TP"
      cell(cells[2])
      cell(cells[3])
      headed = 0; gap = 0
      next
    }
    /^$/ { gap = 1; row = 0; next }
    {
      if (gap && !headed) print ".PP"
      emit($0)
      headed = 0; gap = 0
    }
  ' "$1"
}

require_markers() {
  local block
  for block in "${blocks[@]}"; do
    grep -qxF "$(begin_marker "$block")" "$readme" && grep -qxF "$(end_marker "$block")" "$readme" ||
      die "README.md has lost the lines that mark its block from $(block_source "$block")"
  done
}

block_text() {
  case "$1" in
    description) cat "$root/docs/description.md" ;;
    keys) key_table "$root/docs/usage.md" ;;
  esac
}

# The table of the "## Keys" section and the paragraph right after it; the
# longer notes, the options and the exit status stay on the page itself.
key_table() {
  local table
  table="$(awk '
    /^## / { if (keys) exit; keys = ($0 == "## Keys"); next }
    !keys { next }
    /^\|/ { print; table = 1; next }
    !table { next }
    /^$/ { if (noted) exit; gap = 1; next }
    { if (gap) print ""; print; noted = 1; gap = 0 }
  ' "$1")"
  [ -n "$table" ] || die "${1#"$root/"} has no table under \"## Keys\""
  echo "$table"
}

# The README as it should be: each block between its markers replaced by
# its text.
readme_with_blocks() {
  local text block
  text="$(cat "$readme")"
  for block in "${blocks[@]}"; do
    text="$(with_block "$block" <<<"$text")"
  done
  echo "$text"
}

# The text goes through the environment: awk -v would read its backslashes
# as escapes.
with_block() {
  local text
  text="$(block_text "$1")"
  BLOCK="$text" awk -v begin="$(begin_marker "$1")" -v end="$(end_marker "$1")" '
    $0 == end { skipping = 0 }
    !skipping { print }
    $0 == begin {
      print ENVIRON["BLOCK"]
      skipping = 1
    }
  '
}

update_readme() {
  require_markers
  readme_with_blocks >"$readme.tmp"
  mv "$readme.tmp" "$readme"
}

check_readme() {
  require_markers
  if ! diff -u "$readme" <(readme_with_blocks) >&2; then
    die "a block of README.md differs from its source in docs/ (run tools/docs.sh readme)"
  fi
}

# Every relative link of the README and of the pages in docs/ (a link or a
# picture, outside code) must lead to a file that is there, so that a page
# moved or renamed leaves no link behind. Web and mail addresses are not
# followed; of "page.md#part", only the page is looked for.
check_links() {
  local base="$1" links page target broken=0
  [ -f "$base/README.md" ] || die "no README.md in $base"
  # Read in full first, so that a failure to read the pages stops here.
  links="$(cd "$base" && relative_links README.md docs/*.md)"
  while IFS=$'\t' read -r page target; do
    if [ -z "$page" ] || [ -e "$base/$(dirname "$page")/$target" ]; then continue; fi
    echo "docs.sh: $page: the link to $target leads to no file" >&2
    broken=$((broken + 1))
  done <<<"$links"
  [ "$broken" -eq 0 ] || die "$broken relative links lead to no file"
}

# "PAGE<tab>TARGET" for each relative link of the pages named.
relative_links() {
  awk '
    FNR == 1 { fenced = 0 }
    /^ *```/ { fenced = !fenced; next }
    fenced { next }
    {
      line = $0
      gsub(/`[^`]*`/, "", line)
      if (match(line, /^ *\[[^]]+\]: */)) target(substr(line, RLENGTH + 1))
      while (match(line, /\]\([^)]*\)/)) {
        target(substr(line, RSTART + 2, RLENGTH - 3))
        line = substr(line, RSTART + RLENGTH)
      }
    }
    function target(to) {
      sub(/^ */, "", to); sub(/^</, "", to); sub(/[> ].*$/, "", to)
      sub(/#.*$/, "", to)
      if (to != "" && to !~ /^(https?|mailto):/) print FILENAME "\t" to
    }
  ' "$@"
}

# Each "## VERSION (YYYY-MM-DD)" heading and the "- " items under it become
# one entry of a Debian changelog, signed by MAINTAINER on that date.
write_changelog() {
  local maintainer="$1" out="$2"
  awk -v package="house" -v maintainer="$maintainer" '
    function close_entry() {
      if (version == "") return
      command = "LC_ALL=C date -u -R -d " date
      command | getline stamp
      close(command)
      print ""
      print " -- " maintainer "  " stamp
    }
    /^## / {
      close_entry()
      if (version != "") print ""
      version = $2; date = $3
      gsub(/[()]/, "", date)
      if (date !~ /^[0-9]+-[0-9]+-[0-9]+$/) {
        print "docs.sh: CHANGELOG.md: expected \"## VERSION (YYYY-MM-DD)\", not \"" $0 "\"" > "/dev/stderr"
        failed = 1
        exit 1
      }
      print package " (" version ") unstable; urgency=medium"
      print ""
      next
    }
    version == "" { next }
    /^- / { gsub(/`/, ""); print "  * " substr($0, 3); next }
    /^  / { gsub(/`/, ""); print "    " substr($0, 3); next }
    END { if (!failed) close_entry() }
  ' "$changes" >"$out.tmp"
  mv "$out.tmp" "$out"
}

case "${1:-}" in
  roff) markdown_to_roff "${2:-$root/docs/usage.md}" ;;
  changelog) [ $# -eq 3 ] || die "usage: tools/docs.sh changelog MAINTAINER OUT"
             write_changelog "$2" "$3" ;;
  readme) update_readme ;;
  check) check_readme ;;
  links) check_links "${2:-$root}" ;;
  *) die "usage: tools/docs.sh roff [FILE] | changelog MAINTAINER OUT | readme | check | links [DIR]" ;;
esac
