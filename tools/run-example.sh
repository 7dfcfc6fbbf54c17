#!/usr/bin/env bash
# Installs the dependencies, builds, and opens a bundled example file in the
# viewer; without a display (or without the viewer) checks it with the
# command-line checker and writes a picture of the viewer with it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
example=examples/Z01_Befund_mit_PDF.ldt
viewer=build/app/ventolix
if [ -x "$viewer" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$viewer" "$example"
fi
build/cli/ventolix-check "$example"
if [ -x "$viewer" ]; then
    # no display: a picture of the viewer with the example instead
    shot=${TMPDIR:-/tmp}/ventolix-beispiel.png
    if xvfb-run -a -s "-screen 0 1280x800x24" tools/viewer-smoke.sh "$viewer" "$example" "$shot" >/dev/null \
        && [ -s "$shot" ]; then
        echo "Bildschirmfoto des Viewers mit $example: $shot"
    fi
fi
