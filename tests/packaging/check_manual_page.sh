#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks a manual page against its program's --help, so that neither can change without the
# other: the entries of the usage text's "Steps:", "Options...:" and "Exit status:" lists (the
# lines indented by two blanks) must be exactly the tagged paragraphs (.TP) of the page's
# STEPS, OPTIONS and EXIT STATUS sections. Steps and exit statuses are compared by their first
# word, options by every word that begins with a dash.
#
# Usage: check_manual_page.sh PROGRAM PAGE
set -euo pipefail
program="$1" page="$2"

# Both sides print "SECTION<tab>ENTRY" lines, SECTION one of steps, options, exit.
help_entries() {
  awk '
    /^[^ ]/ { section = /^Steps.*:$/ ? "steps" : /^Options.*:$/ ? "options" : /^Exit status.*:$/ ? "exit" : "" }
    section != "" && /^  [^ ]/ {
      term = substr($0, 3); sub(/   *.*/, "", term)
      n = split(term, words, /[ ,]+/)
      if (section != "options") { print section "\t" words[1]; next }
      for (w = 1; w <= n; ++w) if (words[w] ~ /^-/) print section "\t" words[w]
    }'
}

page_entries() {
  awk '
    function plain(text) {
      gsub(/\\f[BIRP]/, "", text); gsub(/\\-/, "-", text); gsub(/\\\(lq|\\\(rq/, "", text)
      gsub(/"/, "", text); sub(/^\.[A-Z]+ */, "", text); return text
    }
    /^\.SH/ {
      name = plain($0)
      section = name == "STEPS" ? "steps" : name == "OPTIONS" ? "options" : name == "EXIT STATUS" ? "exit" : ""
      next
    }
    /^\.TP/ { tagged = 1; next }
    tagged {
      tagged = 0
      if (section == "") next
      n = split(plain($0), words, /[ ,]+/)
      if (section != "options") { print section "\t" words[1]; next }
      for (w = 1; w <= n; ++w) if (words[w] ~ /^-/) print section "\t" words[w]
    }' "$page"
}

help_text="$(QT_QPA_PLATFORM=no-such-platform "$program" --help)"
from_help="$(help_entries <<<"$help_text" | sort -u)"
from_page="$(page_entries | sort -u)"
if [ -z "$from_help" ]; then
  echo "$program --help lists no step, option or exit status" >&2
  exit 1
fi
if [ "$from_help" != "$from_page" ]; then
  # One line per entry, naming the section of the page it belongs in, so that whoever adds an
  # option or step to the program sees exactly which paragraph the page lacks.
  declare -A heading=([steps]=STEPS [options]=OPTIONS [exit]="EXIT STATUS")
  echo "$page and $program --help disagree:" >&2
  while IFS=$'\t' read -r section entry; do
    echo "  missing from the page's ${heading[$section]} section: $entry" >&2
  done < <(comm -23 <(echo "$from_help") <(echo "$from_page"))
  while IFS=$'\t' read -r section entry; do
    echo "  in the page's ${heading[$section]} section but not in --help: $entry" >&2
  done < <(comm -13 <(echo "$from_help") <(echo "$from_page"))
  exit 1
fi
echo "$page matches $program --help: $(wc -l <<<"$from_help") entries"
