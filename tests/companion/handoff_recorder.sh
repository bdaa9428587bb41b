#!/bin/sh
# A test program registered as the companion for the hand-off: it writes its arguments and the content of the
# file it was given into the file named by HANDOFF_LOG (beside it first, then renamed: a reader never sees half).
{ echo "argc $(($# + 1))"; for a in "$@"; do echo "arg $a"; done; printf 'content '; cat "$1"; } >"$HANDOFF_LOG.part"
mv "$HANDOFF_LOG.part" "$HANDOFF_LOG"
