#!/usr/bin/env bash
# Fails when a new picture beside the pictures the tree keeps would be ignored by git: every folder
# that holds a committed picture must take a new one too.
set -u
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top" || exit 2
git rev-parse --is-inside-work-tree >/dev/null 2>&1 || { echo "not a git work tree"; exit 77; }

status=0
while IFS= read -r folder; do
  probe="$folder/new-picture.png"
  if git check-ignore -q --no-index "$probe"; then
    echo "a new picture in $folder/ would be ignored: $(git check-ignore -v --no-index "$probe")"
    status=1
  fi
done < <(git ls-files -- '*.png' | xargs -r -n1 dirname | sort -u)
exit $status
