#!/usr/bin/env bash
# Starts the viewer on a file inside an X display (run it under xvfb-run),
# waits for its window to show the file, optionally photographs the window
# into SHOT (PNG), then ends it through its menu ("Datei" > "Beenden") and
# expects a clean exit.
#   tools/viewer-smoke.sh VIEWER FILE [SHOT]
set -uo pipefail
viewer=${1:?Aufruf: $0 VIEWER DATEI}
file=${2:?Aufruf: $0 VIEWER DATEI}
shot=${3:-}
export QT_QPA_PLATFORM=xcb
# the browser views refuse to run as root with their sandbox on
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1

"$viewer" "$file" &
pid=$!
name=$(basename "$file")
win=$(timeout 60 xdotool search --sync --onlyvisible --pid "$pid" --name "$name" 2>/dev/null | head -1)
if [ -z "$win" ]; then
    echo "kein Fenster mit '$name' im Titel"
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    exit 1
fi
echo "Fenster: $(xdotool getwindowname "$win")"
sleep 1
if [ -n "$shot" ]; then
    xdotool windowmove "$win" 0 0 windowsize "$win" 1111 628
    sleep 3  # the pages of the browser views draw after the window shows
    import -window "$win" "$shot" || echo "kein Bildschirmfoto nach $shot"
fi
if ! kill -0 "$pid" 2>/dev/null; then
    echo "der Viewer hat sich nach dem Öffnen beendet"
    exit 1
fi
xdotool windowfocus --sync "$win" 2>/dev/null
xdotool key alt+d
sleep 0.5
xdotool key b
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
    echo "der Viewer ließ sich nicht über Datei > Beenden schließen"
    kill "$pid"; wait "$pid" 2>/dev/null
    exit 1
fi
wait "$pid"
rc=$?
echo "Exit-Code $rc"
exit "$rc"
