#!/usr/bin/env bash
# Builds the terminal and starts it against the simulated controller.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build"
exec "$top/build/shell/r4xx-terminal-sim" "$@"
