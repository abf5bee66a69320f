#!/bin/sh
# The strip that the package's install step runs: as Debian's dh_strip does, it also drops the
# compiler's notes, which a stripped program does not need.
exec strip --remove-section=.comment --remove-section=.note "$@"
