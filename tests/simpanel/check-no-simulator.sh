#!/usr/bin/env bash
# check-no-simulator.sh PROGRAM: fails when the program defines any symbol of the simulator's
# control panel, its start options or the simulated controller, or links no libusb.
set -u
program=$1
symbols=$(nm -C --defined-only "$program") || exit 2
found=$(grep -E ' (simpanel::|sim::)' <<<"$symbols" | head -5)
if [ -n "$found" ]; then
  echo "$program holds the simulator:"
  echo "$found"
  exit 1
fi
if ! ldd "$program" | grep -q 'libusb'; then
  echo "$program does not use the USB library"
  exit 1
fi
exit 0
