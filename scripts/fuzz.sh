#!/usr/bin/env bash
# fuzz.sh [SECONDS_PER_TARGET | --runs N]: builds the fuzz targets with clang and libFuzzer in
# build-fuzz and runs each one in turn, one process at a time, from its seed corpus
# (fuzz/corpus/<target>/, never written) and the inputs earlier runs kept (build-fuzz/corpus/).
# Without an argument every target runs a short fixed number of inputs.
# A finding stops the script; libFuzzer leaves the input as build-fuzz/findings/<target>/crash-*.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${FUZZ_BUILD_DIR:-$top/build-fuzz}
targets=(fuzz_config_file fuzz_controller_replies fuzz_editor_models fuzz_statistics fuzz_record_json)
# The longest input that still means something to each target: a record or counters record is cut
# there, and a file a little over its size is as wrong as a large one; a record's JSON document
# is some 5 KB.
declare -A max_len=([fuzz_config_file]=1024 [fuzz_controller_replies]=4096 [fuzz_editor_models]=212
                    [fuzz_statistics]=76 [fuzz_record_json]=8192)

usage() {
  echo "usage: fuzz.sh [SECONDS_PER_TARGET | --runs N]" >&2
  exit 2
}
number() { [[ ${1:-} =~ ^[0-9]+$ ]] || usage; }
limit=(-runs=20000)
case $# in
  0) ;;
  1) number "$1"; limit=(-max_total_time="$1") ;;
  2) [ "$1" = --runs ] || usage; number "$2"; limit=(-runs="$2") ;;
  *) usage ;;
esac

"$top/scripts/build.sh" "$dir" -DR4XX_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14 \
  -DR4XX_BUILD_USBFS=OFF -DR4XX_BUILD_REAL=OFF

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in "${targets[@]}"; do
  # The seed corpus stays as committed: new inputs go to a working corpus of the build.
  work="$dir/corpus/$target"
  findings="$dir/findings/$target"
  mkdir -p "$work" "$findings"
  log="$dir/findings/$target.log"
  echo "== $target ${limit[*]}"
  # One process, one target at a time: the machine is shared.
  if ! "$dir/fuzz/$target" "${limit[@]}" -max_len="${max_len[$target]}" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$work" "$top/fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$target: finding, kept in $findings (log $log)" >&2
    exit 1
  fi
  grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|Done)' "$log"
done
