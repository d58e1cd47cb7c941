#!/usr/bin/env bash
# Installs the Debian 12 packages Tessiver needs to build, test and run. Skips apt-get entirely
# when everything is already there. Run as root (or through sudo).
set -euo pipefail

packages=(
  build-essential cmake ccache pkg-config git diffutils time
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev hyperfine
  clang libclang-rt-14-dev
  xvfb xauth x11-utils xdotool imagemagick fonts-liberation
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
