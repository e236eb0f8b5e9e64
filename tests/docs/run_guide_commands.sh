#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the guide's shell blocks marked "<!-- checked -->" as written, in a scratch directory that
# holds a copy of examples/, with the built programs on the path. Fails on the first command that
# fails, and when the guide has no checked block at all.
#
# Usage: run_guide_commands.sh GUIDE EXAMPLES_DIR PROGRAM_DIR
set -euo pipefail
guide="$1" examples="$2" programs="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$examples" "$work/examples"
awk '/^<!-- checked -->$/ { armed = 1; next }
     armed && /^```sh$/ { inside = 1; armed = 0; next }
     inside && /^```$/ { inside = 0; print "# end of block"; next }
     inside { print }
     { armed = armed && /^$/ }' "$guide" > "$work/guide-commands.sh"
blocks=$(grep -c '^# end of block$' "$work/guide-commands.sh" || true)
if [ "$blocks" -eq 0 ]; then
  echo "no checked shell block in $guide" >&2
  exit 1
fi
cd "$work"
PATH="$programs:$PATH" bash -euo pipefail guide-commands.sh
echo "$blocks checked blocks of $guide ran"
