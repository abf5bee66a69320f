#!/usr/bin/env bash
# Builds and runs the whole suite three times: a plain build, AddressSanitizer with
# UndefinedBehaviorSanitizer, and ThreadSanitizer over the link layer; then every fuzz target for a
# short fixed number of inputs.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

run_suite() {
  local dir=$1
  shift
  echo "== $(basename "$dir")"
  "$top/scripts/build.sh" "$dir" "$@"
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 300
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

run_suite "$top/build"
run_suite "$top/build-asan" -DR4XX_SANITIZE=address
run_suite "$top/build-tsan" -DR4XX_SANITIZE=thread -DR4XX_BUILD_UI=OFF

echo "== build-fuzz"
"$top/scripts/fuzz.sh" --runs 10000
