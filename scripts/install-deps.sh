#!/usr/bin/env bash
# Installs the Debian 12 packages Tessiver needs to build, test and run; with --windows also those
# of the Windows build (mingw-w64, and Wine with its 32-bit half to run what it builds); with
# --package those that make and check the release packages. Skips apt-get entirely when
# everything is already there. Run as root (or through sudo).
set -euo pipefail

packages=(
  build-essential cmake ccache pkg-config git diffutils patch time
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev hyperfine
  clang libclang-rt-14-dev
  xvfb xauth x11-utils xdotool imagemagick fonts-liberation openbox
  chromium-headless-shell
)
windows=0
for arg in "$@"; do
  case $arg in
    --windows)
      windows=1
      packages+=(
        g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest
        wine wine64 wine32:i386 fonts-wine
      )
      ;;
    --package) packages+=(dpkg-dev lintian man-db groff-base zip file) ;;
    *) echo "install-deps.sh: unknown argument $arg" >&2; exit 2 ;;
  esac
done

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
# Wine runs 32-bit Windows programs with 32-bit Linux libraries.
if [ "$windows" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
