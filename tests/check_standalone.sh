#!/usr/bin/env bash
# Fails when a tracked file refers to the "shared" folder beside the
# repository that only the first developers' machines had: a clone of the
# project alone must build and pass its tests.
# Usage: check_standalone.sh [SOURCE_DIR]
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
  0) echo "these tracked files refer to the folder beside the repository; put what they need into it" >&2; exit 1 ;;
  1) echo "no tracked file refers to a folder beside the repository"; exit 0 ;;
  *) echo "git grep failed" >&2; exit 2 ;;
esac
