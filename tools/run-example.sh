#!/usr/bin/env bash
# Installs the dependencies, builds, and checks a bundled example file.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
build/cli/ventolix-check examples/Z01_Befund_mit_PDF.ldt
