#!/bin/sh
# Runs a Qt Test program under Wine for CTest, showing its report once it has ended. The Wine
# services a program starts outlive it and would hold an output pipe open, so that CTest waited
# for them; and a Windows program's standard output into a file arrives empty. The report goes
# to a file named to the test, Wine's own messages to another.
report=$(mktemp) && messages=$(mktemp) || exit 1
wine "$@" -o "Z:$(printf '%s' "$report" | tr / '\\'),txt" </dev/null >"$messages" 2>&1
status=$?
cat "$messages" "$report"
rm -f "$report" "$messages"
exit $status
