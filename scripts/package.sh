#!/usr/bin/env bash
# Installs what panelflow needs, builds it and makes the Debian package
# build/panelflow_<version>_<architecture>.deb (install it with apt-get install ./that-file).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh"
cd "$here/build"
cpack -G DEB
