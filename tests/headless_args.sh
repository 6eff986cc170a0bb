#!/usr/bin/env bash
# The developer's headless runner takes its arguments properly: --help prints
# the usage; an unknown or malformed argument is one line on standard error
# and status 2; two seeds end in different world digests, one seed in one.
set -uo pipefail
runner="$1"
failed=0
errfile="$(mktemp)"
trap 'rm -f "$errfile"' EXIT
expect_error() {  # arguments...; wants status 2, one line on stderr naming the problem, nothing on stdout
  local out err status
  out="$("$runner" "$@" 2>"$errfile")"
  status=$?
  err="$(cat "$errfile")"
  if [[ $status -ne 2 || -n "$out" || $(printf '%s\n' "$err" | wc -l) -ne 1 || "$err" != chromelly_headless:* ]]; then
    echo "FAIL [$*]: status $status, stdout '$out', stderr '$err'"
    failed=1
  else
    echo "ok   [$*]: $err"
  fi
}
expect_error --frames abc
expect_error --frames
expect_error --frames -5
expect_error --every 0
expect_error --seed 12x
expect_error --seed 99999999999
expect_error --bogus
expect_error stray

usage="$("$runner" --help)" || { echo "FAIL: --help ended with status $?"; failed=1; }
[[ "$usage" == usage:* && "$usage" == *--frames* ]] || { echo "FAIL: --help printed '$usage'"; failed=1; }

digest() { "$runner" --seed "$1" --frames 120 --every 120 | sed -n 's/^world digest //p'; }
a="$(digest 7)"; b="$(digest 7)"; c="$(digest 8)"
echo "digests: seed 7 $a, again $b, seed 8 $c"
[[ -n "$a" && "$a" == "$b" && "$a" != "$c" ]] || { echo "FAIL: the digest does not tell seeds apart"; failed=1; }
exit $failed
