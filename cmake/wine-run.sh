#!/bin/sh
# Runs a Windows program under Wine for ctest: LOADER PROGRAM [ARGS...]. Its output goes through a
# file: Wine's own helper processes, which may outlive the program, must not hold ctest's pipes.
out=$(mktemp)
"$@" </dev/null >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit $status
