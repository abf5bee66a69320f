#!/usr/bin/env bash
# Fails when a folder includes a layer above it, or when config/, link/, models/ or cli/ include a
# widgets or GUI header: each layer may use only the layers below it.
# check-layers.sh [TOP [QTCORE]]: given Qt Core's header folder, every Qt header those four include
# must also be one of Qt Core's.
set -u
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top" || exit 2

declare -A allowed=(
  [config]="config"
  [link]="config link"
  [models]="config link models"
  [cli]="config link models cli"
  [sim]="config sim"
  [ui]="config link models ui"
  [editors]="config link models ui editors"
  [tasks]="config link models ui tasks"
  [shell]="config link models ui editors tasks shell"
  [simpanel]="config link models ui editors tasks shell sim simpanel"
)

status=0
for layer in "${!allowed[@]}"; do
  [ -d "$layer" ] || continue
  while IFS= read -r line; do
    used=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"${line#*:*:}")
    if [[ " ${allowed[$layer]} " != *" $used "* ]]; then
      echo "layer $layer uses $used: $line"
      status=1
    fi
  done < <(grep -rnE '^#include "[a-z]+/' "$layer")
done

while IFS= read -r line; do
  echo "widgets or GUI header below the window layers: $line"
  status=1
done < <(grep -rnE '^#include <(QtWidgets|QtGui|Q(Widget|Application|Painter|Pixmap|Icon|Image|Color|Font))' config link models cli)

# With Qt Core's header folder given: every Qt header below the window layers is one of Qt Core's.
qtcore=${2:-}
if [ -n "$qtcore" ] && [ ! -d "$qtcore" ]; then
  echo "no Qt Core header folder at $qtcore"
  status=1
elif [ -n "$qtcore" ]; then
  while IFS= read -r line; do
    header=$(sed -E 's/.*#include <(QtCore\/)?([^>]+)>.*/\2/' <<<"${line#*:*:}")
    if [ ! -e "$qtcore/$header" ]; then
      echo "not a Qt Core header below the window layers: $line"
      status=1
    fi
  done < <(grep -rnE '^#include <Q' config link models cli)
fi

exit $status
