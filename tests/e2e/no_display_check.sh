#!/bin/sh
# Without a reachable display the program must say why in one line on standard
# error and end with a non-zero status: never crash, never end silently with 0.
#
#   no_display_check.sh program             unreachable displays
#   no_display_check.sh --as-is program     the display in DISPLAY (one without GLX)
set -u
as_is=0
if [ "$1" = "--as-is" ]; then as_is=1; shift; fi
program="$1"
failed=0
err=$(mktemp)

check() {  # check <description> <env assignment or -u DISPLAY>...
  what="$1"; shift
  env "$@" "$program" >/dev/null 2>"$err"
  status=$?
  lines=$(wc -l <"$err")
  if [ "$status" -ne 0 ] && [ "$status" -lt 128 ] && [ "$lines" -eq 1 ]; then
    echo "ok   - $what: status $status, says: $(cat "$err")"
  else
    echo "FAIL - $what: status $status, $lines line(s) on standard error:"
    cat "$err"
    failed=1
  fi
}

if [ "$as_is" -eq 1 ]; then
  check "DISPLAY=$DISPLAY" DISPLAY="$DISPLAY"
else
  check "DISPLAY unset" -u DISPLAY
  check "DISPLAY names no server" DISPLAY=:9876
  check "DISPLAY is nonsense" DISPLAY=not-a-display
fi
rm -f "$err"
exit "$failed"
