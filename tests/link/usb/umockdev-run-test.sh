#!/bin/sh
# Runs a test program with umockdev's preload library. AddressSanitizer must then accept the
# preload library standing before its own runtime; ThreadSanitizer leaves umockdev's libraries
# to themselves.
here=$(cd "$(dirname "$0")" && pwd)
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
TSAN_OPTIONS="${TSAN_OPTIONS:+$TSAN_OPTIONS:}suppressions=$here/umockdev-tsan.supp"
export ASAN_OPTIONS TSAN_OPTIONS
exec umockdev-wrapper "$@"
