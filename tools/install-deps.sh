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
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
