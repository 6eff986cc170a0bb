#!/bin/sh
# Recordings from the command line. A headless game recorded and replayed prints
# the same digest; every kind of bad argument and bad recording gets one line on
# standard error, a non-zero status and nothing on standard output, from both
# programs, before a frame is played (no display is needed to find them out).
#
#   recording_check.sh CHROMELLY CHROMELLY_HEADLESS
. "$(dirname "$0")/check_common.sh"
game="$1"
headless="$2"

# refused <status> <words it must say> <command...>
refused() {
  want="$1"; says="$2"; shift 2
  env -u DISPLAY "$@" >"$dir/out" 2>"$dir/err"
  status=$?
  said=$(cat "$dir/err")
  lines=$(wc -l <"$dir/err")
  case "$said" in *"$says"*) found=1 ;; *) found=0 ;; esac
  if [ "$status" -eq "$want" ] && [ "$lines" -eq 1 ] && [ "$found" -eq 1 ] && [ ! -s "$dir/out" ]; then
    echo "ok   - $*: $said"
  else
    echo "FAIL - $*: status $status (wanted $want), $lines line(s) on standard error, wanted \"$says\":"
    cat "$dir/err"
    head -3 "$dir/out"
    failed=1
  fi
}

# digest <command...>: the digest line the command prints
digest() { "$@" 2>&1 | grep '^world digest'; }

# put_u32 <file> <offset> <number>: writes a little-endian 32-bit number into the file
put_u32() {
  bytes=$(printf '\\%03o\\%03o\\%03o\\%03o' $(($3 & 255)) $(($3 >> 8 & 255)) $(($3 >> 16 & 255)) $(($3 >> 24 & 255)))
  # shellcheck disable=SC2059
  printf "$bytes" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}
get_u32() { od -An -tu4 -j"$2" -N4 "$1" | tr -d ' '; }

# A game recorded headless replays to the same world.
rec="$dir/game.rec"
recorded=$(digest "$headless" --seed 7 --frames 600 --record "$rec")
replayed=$(digest "$headless" --replay "$rec")
other=$(digest "$headless" --seed 8 --frames 600)
same=0
[ -n "$recorded" ] && [ "$recorded" = "$replayed" ] && [ "$recorded" != "$other" ] && same=1
expect "recorded \"$recorded\", replayed \"$replayed\", another seed \"$other\"" [ "$same" -eq 1 ]

# Bad arguments: status 2.
refused 2 "unknown option --bogus" "$game" --bogus
refused 2 "--record needs a file name" "$game" --record
refused 2 "--replay needs a file name" "$game" --replay
refused 2 "--fast only applies to --replay" "$game" --fast
refused 2 "cannot be used together" "$game" --record "$dir/a" --replay "$rec"
refused 2 "unexpected argument" "$game" "$rec"
refused 2 "--window takes no value" "$game" --window=yes
refused 1 "cannot write the recording" "$game" --record "$dir/no/such/dir/game.rec"
refused 2 "takes no other option" "$headless" --replay "$rec" --seed 3
refused 2 "--replay wants a file name" "$headless" --replay=
refused 1 "cannot write the recording" "$headless" --record "$dir/no/such/dir/game.rec"

# Bad recordings: status 1, from both programs.
size=$(wc -c <"$rec")
: >"$dir/empty.rec"
printf 'P5\n4 4\n255\n0123456789abcdef' >"$dir/garbage.rec"
head -c 20 "$rec" >"$dir/header.rec"
head -c $((size - 10)) "$rec" >"$dir/truncated.rec"
cp "$rec" "$dir/version.rec"
put_u32 "$dir/version.rec" 8 7
cp "$rec" "$dir/frames.rec"
put_u32 "$dir/frames.rec" 12 $(($(get_u32 "$rec" 12) + 1))
cp "$rec" "$dir/flipped.rec"
byte=$(od -An -tu1 -j$((size / 2)) -N1 "$rec" | tr -d ' ')
# shellcheck disable=SC2059
printf "$(printf '\\%03o' $((byte ^ 32)))" | dd of="$dir/flipped.rec" bs=1 seek=$((size / 2)) conv=notrunc 2>/dev/null
for program in "$game" "$headless"; do
  refused 1 "No such file" "$program" --replay "$dir/missing.rec"
  refused 1 "not a Chromelly recording" "$program" --replay "$dir/empty.rec"
  refused 1 "not a Chromelly recording" "$program" --replay "$dir/garbage.rec"
  refused 1 "truncated" "$program" --replay "$dir/header.rec"
  refused 1 "truncated" "$program" --replay "$dir/truncated.rec"
  refused 1 "version 7" "$program" --replay "$dir/version.rec"
  refused 1 "frames but its header says" "$program" --replay "$dir/frames.rec"
  refused 1 "damaged" "$program" --replay "$dir/flipped.rec"
done
exit "$failed"
