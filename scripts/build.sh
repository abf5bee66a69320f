#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures (once) and builds the tree in DIR.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
launcher=()
# Relative paths and no build folder in the cache key: every build folder shares compiled objects.
export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=1
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
