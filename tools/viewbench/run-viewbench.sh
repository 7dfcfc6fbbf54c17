#!/usr/bin/env bash
# The line list and the raw text on the two large files of tools/bench, side
# by side with the checker: each run starts `ventolix-check --json FILE` and
# then viewbench (a shown window under xvfb-run) on the same file, so both
# meet the same machine load. Prints one row per run and the medians.
#
#   tools/viewbench/run-viewbench.sh [--size 100M] [--runs N] [--pages N]
#
# Run from the repository root after building into build/ (BUILD_DIR overrides).
# Times in ms; RSS in MB (maximum resident set of the whole process; for
# viewbench up to the end of paging, before it copies the whole raw text).
# open = from the open call to the first painted rows of both views;
# *_end = jump to the last line with repaint; goto = a line number in both
# views; *_pg = mean page-down with repaint (list_cpu: its CPU time alone);
# copy = select all and copy of the raw text.
set -euo pipefail

SIZE=100M
RUNS=3
PAGES=200
while [ $# -gt 0 ]; do
  case "$1" in
    --size) SIZE="$2"; shift 2 ;;
    --runs) RUNS="$2"; shift 2 ;;
    --pages) PAGES="$2"; shift 2 ;;
    -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "run-viewbench: unbekannte Option: $1" >&2; exit 64 ;;
  esac
done

BUILD=${BUILD_DIR:-build}
CHECK=$BUILD/cli/ventolix-check
VIEW=$BUILD/tools/viewbench/viewbench
TIME=/usr/bin/time
for tool in "$CHECK" "$VIEW" "$TIME"; do
  [ -x "$tool" ] || { echo "run-viewbench: $tool fehlt (erst bauen)" >&2; exit 1; }
done
command -v xvfb-run > /dev/null || { echo "run-viewbench: xvfb-run fehlt (tools/install-deps.sh)" >&2; exit 1; }

HERE=$(cd "$(dirname "$0")/../.." && pwd)
mapfile -t FILES < <(BUILD_DIR=$BUILD "$HERE/tools/bench" --size "$SIZE" --files)

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
val() { grep -o "$1=[0-9.]*" "$2" | head -1 | cut -d= -f2; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "Last: $(cut -d' ' -f1-3 /proc/loadavg) (2 Kerne: Werte unter Last sind Obergrenzen)"
for f in "${FILES[@]}"; do
  printf '\nDatei: %s (%d Bytes), %d Läufe\n' "$f" "$(stat -c %s "$f")" "$RUNS"
  printf '%4s %9s %9s %9s %6s %9s %6s %8s %8s %8s %9s %9s %9s %9s %9s\n' Lauf check_ms open_ms load_ms open/c \
    check_MB view_MB RSS/c list_end raw_end goto_ms list_pg raw_pg list_cpu copy_ms
  : > "$TMP/rows"
  for ((i = 1; i <= RUNS; i++)); do
    "$TIME" -f '%e %M' -o "$TMP/check.time" "$CHECK" --json "$f" > /dev/null 2>&1 || true
    xvfb-run -a "$VIEW" --pages "$PAGES" "$f" > "$TMP/view.out" 2> /dev/null
    read -r csec crss < "$TMP/check.time"
    [ -n "$(val peak_rss_kb "$TMP/view.out")" ] || { echo "run-viewbench: viewbench lief nicht durch" >&2; exit 1; }
    # the peak before the closing select-all copy (which holds the whole text once more)
    vrss=$(val peak_rss_kb "$TMP/view.out")
    cms=$(echo "$csec * 1000" | bc -l)
    open=$(val open_to_first_paint_ms "$TMP/view.out")
    row=$(printf '%4d %9.0f %9.0f %9.0f %6.2f %9.1f %6.1f %8.2f %8.2f %8.2f %9.2f %9.2f %9.2f %9.2f %9.0f' "$i" "$cms" "$open" \
      "$(val load_ms "$TMP/view.out")" "$(echo "$open / $cms" | bc -l)" "$(echo "$crss / 1024" | bc -l)" \
      "$(echo "$vrss / 1024" | bc -l)" "$(echo "$vrss / $crss" | bc -l)" \
      "$(val list_jump_last_ms "$TMP/view.out")" "$(val raw_jump_last_ms "$TMP/view.out")" \
      "$(val goto_line_both_ms "$TMP/view.out")" \
      "$(sed -n 's/^list_page.* mean=\([0-9.]*\).*/\1/p' "$TMP/view.out")" \
      "$(sed -n 's/^raw_page.* mean=\([0-9.]*\).*/\1/p' "$TMP/view.out")" \
      "$(sed -n 's/^list_page.*cpu_mean=\([0-9.]*\).*/\1/p' "$TMP/view.out")" \
      "$(val raw_select_all_copy_ms "$TMP/view.out")")
    echo "$row"
    echo "$row" >> "$TMP/rows"
  done
  printf '%4s' Med
  for col in $(seq 2 15); do
    printf ' %9s' "$(awk -v c="$col" '{ print $c }' "$TMP/rows" | median)"
  done
  printf '\n'
done
