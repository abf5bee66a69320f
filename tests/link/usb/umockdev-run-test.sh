#!/bin/sh
# Runs a test program with umockdev's preload library. AddressSanitizer must then accept the
# preload library standing before its own runtime.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
export ASAN_OPTIONS
exec umockdev-wrapper "$@"
