#!/bin/sh
# Runs a Qt Test program under Wine for CTest, showing its report once it has ended. Under Wine a
# Windows program's standard output into a file or pipe arrives empty, so the report is written to
# a file of its own, and Wine's own messages to another.
report=$(mktemp) && messages=$(mktemp) || exit 1
wine "$@" -o "Z:$(printf '%s' "$report" | tr / '\\'),txt" </dev/null >"$messages" 2>&1
status=$?
cat "$messages" "$report"
rm -f "$report" "$messages"
exit $status
