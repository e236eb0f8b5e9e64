#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks what a desktop reads of panelflow: the menu entry and the AppStream metadata pass
# their validators without a warning, and the file types they name are the ones the MIME
# description defines, with the globs of the file picker's two patterns.
#
# Usage: check_desktop_files.sh DESKTOP_ENTRY METAINFO MIME_XML
set -euo pipefail
entry="$1" metainfo="$2" mime="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

validation="$(desktop-file-validate "$entry" 2>&1)" || true
if [ -n "$validation" ]; then
  echo "$validation" >&2
  exit 1
fi
appstreamcli validate --no-net --pedantic --no-color "$metainfo"

# The types the MIME description defines, as the database reads them, with their globs.
mkdir -p "$work/packages"
cp "$mime" "$work/packages/"
update-mime-database "$work" >/dev/null 2>&1
defined="$(cut -d: -f2 "$work/globs2" | grep -v '^#' | sort -u)"
globs="$(grep -v '^#' "$work/globs2" | cut -d: -f2,3 | sort)"
expected_globs="$(printf '%s\n' 'application/x-panelflow-bodyfoil:*.bodyfoil' 'application/x-panelflow-coords:*.coords')"
if [ "$globs" != "$expected_globs" ]; then
  echo "the MIME description defines the globs \"$globs\", expected \"$expected_globs\"" >&2
  exit 1
fi
in_entry="$(sed -n 's/^MimeType=//p' "$entry" | tr ';' '\n' | grep -v '^$' | sort -u)"
in_metainfo="$(sed -n 's:.*<mediatype>\(.*\)</mediatype>.*:\1:p' "$metainfo" | sort -u)"
if [ "$in_entry" != "$defined" ] || [ "$in_metainfo" != "$defined" ]; then
  echo "file types: the menu entry names \"$in_entry\", the metainfo \"$in_metainfo\", the MIME description defines \"$defined\"" >&2
  exit 1
fi
echo "menu entry, AppStream metadata and file types agree"
