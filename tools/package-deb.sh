#!/usr/bin/env bash
# Builds the Debian package and shows what is in it and what lintian says:
#   tools/package-deb.sh [BUILD_DIR]        (default: build)
# The package lands in BUILD_DIR (ventolix_<version>-1_<arch>.deb). Install it
# with `sudo apt install ./BUILD_DIR/ventolix_*.deb`.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash tools/install-deps.sh
if ! command -v lintian >/dev/null; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends lintian
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2
(cd "$build" && cpack -G DEB)
deb=$(ls -t "$build"/ventolix_*.deb | head -1)
echo "== $deb"
dpkg-deb -I "$deb"
dpkg-deb -c "$deb"
echo "== lintian"
lintian --tag-display-limit 0 --display-info "$deb" 2>&1 | grep -v 'root privileges' || true
