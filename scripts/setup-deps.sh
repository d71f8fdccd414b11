#!/usr/bin/env bash
# Installs every Debian 12 package Corvane needs to build, run and test.
# Idempotent: packages already present are skipped, apt is not touched when nothing is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libhidapi-dev libudev-dev libfontconfig-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  umockdev libumockdev-dev
  xvfb xauth xdotool dbus-daemon fonts-wqy-microhei
  # Qt's own Wayland platform, and a headless compositor for the Wayland end-to-end test.
  qt6-wayland weston
  # The start-up benchmark watches the windows appear and get drawn from outside.
  libxcb-damage0-dev
  clang libclang-rt-14-dev
  # The tree keeps one format; the test command checks it.
  clang-format
  # Building the Debian package and checking what an installation holds.
  dpkg-dev file desktop-file-utils appstream
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
