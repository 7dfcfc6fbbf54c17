#!/usr/bin/env bash
# Fails when a tracked file refers to the folder beside the repository that
# only the first developers' machines had (../shared): a clone of the project
# alone must build and pass its tests. Usage: check_standalone.sh [SOURCE_DIR]
set -uo pipefail
cd "${1:-$(dirname "$0")/..}" || exit 2
if [ ! -e .git ]; then
  echo "not a git checkout: nothing to check"
  exit 77
fi
# The character classes keep this file from matching itself.
pattern="[.][.]/shared|[\"'][.][.][\"'], *[\"']shared[\"']|/work[/]shared"
git -c safe.directory="$PWD" grep -n -I -E "$pattern"
case $? in
  0) echo "these tracked files refer to ../shared; put what they need into the repository" >&2; exit 1 ;;
  1) echo "no tracked file refers to ../shared"; exit 0 ;;
  *) echo "git grep failed" >&2; exit 2 ;;
esac
