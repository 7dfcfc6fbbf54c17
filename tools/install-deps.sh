#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, test and run.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config
      qt6-base-dev qt6-base-dev-tools libgtest-dev libgmock-dev shared-mime-info
      qt6-webengine-dev qt6-pdf-dev qt6-svg-dev libqt6svg6 fonts-dejavu-core
      xvfb xauth default-jdk-headless python3 time bc
      clang libclang-rt-14-dev)
missing=()
# install tree and package checks (tools/test-packaging.sh), icons, screenshots
pkgs+=(desktop-file-utils libxml2-utils xdg-utils libfile-mimeinfo-perl dpkg-dev file man-db
       librsvg2-bin libqt6svg6 xdotool imagemagick dbus-daemon at-spi2-core gir1.2-atspi-2.0 python3-gi)
for p in "${pkgs[@]}"; do
  # "triggers-pending" is installed too: another dpkg run is only processing triggers
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -Eq "^install ok (installed|triggers-pending|triggers-awaited)$" \
    || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  # wait for another package run instead of failing on its lock
  $SUDO apt-get -o DPkg::Lock::Timeout=600 update -qq
  $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
fi
