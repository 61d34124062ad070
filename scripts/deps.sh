#!/usr/bin/env bash
# Installs the Debian packages wux needs to build, test and run, only those missing,
# so a second run costs nothing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git python3
  libgtest-dev libgmock-dev googletest libbenchmark-dev libpugixml-dev
  zlib1g-dev libjpeg-dev libpng-dev libwmf-dev libcurl4-openssl-dev
  # The metafile renderer needs its standard fonts even for pictures without text.
  fonts-urw-base35
  clang libclang-rt-dev
  qt6-base-dev qt6-webengine-dev
  # Printed pages are checked as PDF text; Japanese text needs a Japanese font to be
  # printed at all, on screen and in the tests alike.
  poppler-utils fonts-ipafont-gothic
  # Loopback mail servers for the mail tests.
  python3-aiosmtpd dovecot-pop3d
  # The end-to-end tests: a virtual X server, a window manager, input and window tools.
  xvfb openbox xdotool x11-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
