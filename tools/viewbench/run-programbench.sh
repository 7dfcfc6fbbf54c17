#!/usr/bin/env bash
# The whole desktop program on the two large files of tools/bench, side by
# side with the checker: each run starts `ventolix-check --json FILE`, then
# `viewbench --program FILE` (the program's main window under xvfb-run, with
# WebEngine, start page and settings as main() makes them) on the same file,
# so both meet the same machine load. Prints one row per run and the medians.
#
#   tools/viewbench/run-programbench.sh [--size 100M] [--runs N] [--pages N] [--jumps N] [--page-window]
#
# --page-window: the main window made for web pages before it first shows, as
# the program makes it when it starts without a file (every repaint is then
# composed through OpenGL); without it, as the program starts with a file.
#
# Run from the repository root after building into build/ (BUILD_DIR overrides;
# VIEWBENCH names another viewbench, e.g. one built from an older commit).
# Times in ms, memory in MB (peak resident set). open = from the open call to
# the list's first painted rows; open/c = that against the checker's time;
# cpu/c = the CPU time (all threads) of both, which a busy machine disturbs less;
# view_MB = the program's own process, kids_MB = WebEngine's processes beside
# it, both while list and raw text are used; page_MB, pkids_MB = the same after
# the file information page was shown once (WebEngine started); *_med/*_max = median and maximum of the jumps (last line, a line number,
# a record and a line item of the tree, each to its line with the repaint) and
# of page-down in the list and the raw text; lpg_web = page-down in the list
# after a page was shown (WebEngine then composes the whole window).
set -euo pipefail

SIZE=100M
RUNS=3
PAGES=100
JUMPS=9
PAGEWIN=
while [ $# -gt 0 ]; do
  case "$1" in
    --size) SIZE="$2"; shift 2 ;;
    --runs) RUNS="$2"; shift 2 ;;
    --pages) PAGES="$2"; shift 2 ;;
    --jumps) JUMPS="$2"; shift 2 ;;
    --page-window) PAGEWIN=--page-window; shift ;;
    -h|--help) sed -n '2,24p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "run-programbench: unbekannte Option: $1" >&2; exit 64 ;;
  esac
done

BUILD=${BUILD_DIR:-build}
CHECK=$BUILD/cli/ventolix-check
VIEW=${VIEWBENCH:-$BUILD/tools/viewbench/viewbench}
TIME=/usr/bin/time
for tool in "$CHECK" "$VIEW" "$TIME"; do
  [ -x "$tool" ] || { echo "run-programbench: $tool fehlt (erst bauen)" >&2; exit 1; }
done
command -v xvfb-run > /dev/null || { echo "run-programbench: xvfb-run fehlt (tools/install-deps.sh)" >&2; exit 1; }

HERE=$(cd "$(dirname "$0")/../.." && pwd)
mapfile -t FILES < <(BUILD_DIR=$BUILD "$HERE/tools/bench" --size "$SIZE" --files)

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
# the program's settings and data stay out of the user's
export XDG_CONFIG_HOME=$TMP/config XDG_DATA_HOME=$TMP/data
# no page leaves the machine
export QTWEBENGINE_CHROMIUM_FLAGS="--proxy-server=127.0.0.1:9 ${QTWEBENGINE_CHROMIUM_FLAGS:-}"
[ "$(id -u)" = 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
val() { grep -o "$1=[0-9.]*" "$2" | head -1 | cut -d= -f2; }
stat_of() { sed -n "s/^$1_ms .*$2=\([0-9.]*\).*/\1/p" "$3"; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "Last: $(cut -d' ' -f1-3 /proc/loadavg) (2 Kerne: Werte unter Last sind Obergrenzen)"
COLS="check_ms open_ms open/c cpu/c start_ms check_MB view_MB RSS/c kids_MB page_MB pkids_MB last_med last_max line_med line_max"
COLS="$COLS trec_med trec_max tline_med tline_max lpg_med lpg_max rpg_med rpg_max lpg_web"
for f in "${FILES[@]}"; do
  printf '\nDatei: %s (%d Bytes), %d Läufe\n' "$f" "$(stat -c %s "$f")" "$RUNS"
  printf '%4s' Lauf; for c in $COLS; do printf ' %9s' "$c"; done; printf '\n'
  : > "$TMP/rows"
  for ((i = 1; i <= RUNS; i++)); do
    "$TIME" -f '%e %M %U %S' -o "$TMP/check.time" "$CHECK" --json "$f" > /dev/null 2>&1 || true
    xvfb-run -a -s "-screen 0 1280x800x24" "$VIEW" --program --pages "$PAGES" --jumps "$JUMPS" $PAGEWIN "$f" \
      > "$TMP/view.out" 2> "$TMP/view.err" || true
    [ -n "$(val peak_rss_kb "$TMP/view.out")" ] || { echo "run-programbench: viewbench lief nicht durch" >&2; cat "$TMP/view.err" >&2; exit 1; }
    read -r csec crss cuser csys < "$TMP/check.time"
    cms=$(echo "$csec * 1000" | bc -l)
    open=$(val open_to_first_paint_ms "$TMP/view.out")
    vrss=$(val peak_rss_kb "$TMP/view.out")
    ccpu=$(echo "($cuser + $csys) * 1000" | bc -l)
    row=$(printf '%4d %9.0f %9.0f %9.2f %9.2f %9.0f %9.0f %9.0f %9.2f %9.0f %9.0f %9.0f' "$i" "$cms" "$open" "$(echo "$open / $cms" | bc -l)" \
      "$(echo "$(val open_cpu_ms "$TMP/view.out") / $ccpu" | bc -l)" \
      "$(val start_ms "$TMP/view.out")" "$(echo "$crss / 1024" | bc -l)" "$(echo "$vrss / 1024" | bc -l)" \
      "$(echo "$vrss / $crss" | bc -l)" "$(echo "$(val children_peak_kb "$TMP/view.out") / 1024" | bc -l)" \
      "$(echo "$(val peak_rss_kb_with_page "$TMP/view.out") / 1024" | bc -l)" \
      "$(echo "$(val children_peak_kb_with_page "$TMP/view.out") / 1024" | bc -l)")
    for op in jump_last jump_line jump_tree_record jump_tree_line list_page_down raw_page_down; do
      row="$row $(printf '%9.2f %9.2f' "$(stat_of $op median "$TMP/view.out")" "$(stat_of $op max "$TMP/view.out")")"
    done
    # paging the list once WebEngine draws in the window too
    row="$row $(printf '%9.2f' "$(stat_of list_page_down_after_page median "$TMP/view.out")")"
    echo "$row"
    echo "$row" >> "$TMP/rows"
    grep -h "ohne_repaint\|kein Repaint" "$TMP/view.out" || true
  done
  printf '%4s' Med
  for col in $(seq 2 26); do
    printf ' %9s' "$(awk -v c="$col" '{ print $c }' "$TMP/rows" | median)"
  done
  printf '\n'
done
