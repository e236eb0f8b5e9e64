#!/usr/bin/env bash
# Installs the Debian packages that panelflow needs to build, test and run.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libgtest-dev
  qt6-base-dev libgl1-mesa-dev
  libopenblas-dev
  libhmat-oss-dev
  clang-14 libclang-rt-14-dev
  locales
  # the install test checks the menu entry; cpack -G DEB reads the dependencies off the programs
  desktop-file-utils
  dpkg-dev file
  qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
  python3-vtk9
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get -o DPkg::Lock::Timeout=600 update -q
  $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
fi

# The tests also run under a Turkish locale, where a decimal comma would show any number text
# that depends on the locale.
if ! locale -a 2>/dev/null | grep -qi '^tr_TR\.utf8$'; then
  $SUDO sed -i 's/^# *tr_TR.UTF-8 UTF-8/tr_TR.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^tr_TR.UTF-8 UTF-8' /etc/locale.gen || echo 'tr_TR.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
