#!/usr/bin/env bash
# Installs what panelflow needs, builds it and starts the window in the current directory
# (the results file Axisym.txt is written there).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh"
if [ -x "$here/build/src/shell/panelflow" ]; then
  exec "$here/build/src/shell/panelflow" "$@"
fi
exec "$here/build/src/panelflow-batch" --help
