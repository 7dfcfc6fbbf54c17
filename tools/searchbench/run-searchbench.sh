#!/usr/bin/env bash
# The document view's search on the 100 MB order file of tools/bench (many
# small lines, no attachments) in a shown window under xvfb-run: typing a
# text, the first Enter (all hits found, the first selected and painted) and
# the next Enter, for texts with many, few and no hits. Prints one row per text.
#
#   tools/searchbench/run-searchbench.sh [--size 100M] [TEXT...]
#
# Run from the repository root after building into build/ (BUILD_DIR overrides).
set -euo pipefail

SIZE=100M
if [ "${1:-}" = --size ]; then SIZE="$2"; shift 2; fi
BUILD=${BUILD_DIR:-build}
BENCH=$BUILD/tools/searchbench/searchbench
[ -x "$BENCH" ] || { echo "run-searchbench: $BENCH fehlt (erst bauen)" >&2; exit 1; }
command -v xvfb-run > /dev/null || { echo "run-searchbench: xvfb-run fehlt (tools/install-deps.sh)" >&2; exit 1; }
HERE=$(cd "$(dirname "$0")/../.." && pwd)
ORDER=$(cd "$HERE" && BUILD_DIR=$BUILD tools/bench --size "$SIZE" --files | tail -n 1)
[ $# -gt 0 ] || set -- 8003Obj Person Fuchs "gibt es nicht"
QT_QPA_PLATFORM=xcb QTWEBENGINE_DISABLE_SANDBOX=1 \
  QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --proxy-server=127.0.0.1:9" \
  xvfb-run -a -s "-screen 0 1600x1000x24" "$BENCH" "$ORDER" "$@"
