#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures (once) and builds the tree in DIR.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
launcher=()
# Relative paths in the cache key let every build folder of the tree share compiled objects.
export CCACHE_BASEDIR="$top"
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
