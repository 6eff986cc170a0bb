#!/bin/sh
# A game recorded on the real screen replays exactly (needs DISPLAY and xdotool):
# the game is played for a few seconds with xdotool and ended with Esc, then
# replayed at its own pace, replayed fast, and replayed without a display; each
# replay ends with status 0 and the same standard output. A replay the viewer
# stops with Esc says so and ends with a non-zero status.
#
#   record_replay_check.sh CHROMELLY CHROMELLY_HEADLESS
set -u
game="$1"
headless="$2"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failed=0

expect() {  # expect <description> <condition...>
  what="$1"; shift
  if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; failed=1; fi
}

wait_for_window() {
  tries=0
  while [ "$tries" -lt 100 ] && ! xdotool search --name '^Chromelly$' >/dev/null 2>&1; do
    sleep 0.1
    tries=$((tries + 1))
  done
  sleep 0.5
}

"$game" --record "$dir/game.rec" >"$dir/played.out" 2>"$dir/played.err" &
pid=$!
wait_for_window
xdotool key Return
sleep 1.5
for step in 1 2 3 4 5 6; do
  xdotool mousemove $((200 + step * 80)) $((200 + step * 40))
  sleep 0.15
done
xdotool mousedown 1
sleep 0.3
xdotool mousemove 500 400
sleep 0.3
xdotool mouseup 1
xdotool key F1
sleep 1
xdotool key Escape
wait "$pid"
status=$?
expect "the recorded game ends with status 0 ($status)" [ "$status" -eq 0 ]
expect "the recording is written" [ -s "$dir/game.rec" ]

start=$(date +%s)
"$game" --replay "$dir/game.rec" >"$dir/replayed.out" 2>"$dir/replayed.err"
status=$?
took=$(($(date +%s) - start))
expect "the replay ends with status 0 ($status): $(cat "$dir/replayed.err")" [ "$status" -eq 0 ]
expect "the replay prints what the game printed" cmp -s "$dir/played.out" "$dir/replayed.out"
expect "the replay takes the recorded game's time (${took} s)" [ "$took" -ge 4 ]

"$game" --replay "$dir/game.rec" --fast >"$dir/fast.out" 2>"$dir/fast.err"
status=$?
expect "the fast replay ends with status 0 ($status): $(cat "$dir/fast.err")" [ "$status" -eq 0 ]
expect "the fast replay prints what the game printed" cmp -s "$dir/played.out" "$dir/fast.out"

env -u DISPLAY "$headless" --replay "$dir/game.rec" >"$dir/headless.out" 2>"$dir/headless.err"
status=$?
expect "the headless replay ends with status 0 ($status): $(cat "$dir/headless.err")" [ "$status" -eq 0 ]

"$game" --replay "$dir/game.rec" >/dev/null 2>"$dir/stopped.err" &
pid=$!
wait_for_window
sleep 1.5  # into the game screen, clear of the moment the intro window gives way to it
xdotool key Escape
wait "$pid"
status=$?
said=$(cat "$dir/stopped.err")
stopped=0
case "$said" in *"stopped at frame"*) [ "$status" -ne 0 ] && stopped=1 ;; esac
expect "a replay stopped by the viewer ends with status $status and says: $said" [ "$stopped" -eq 1 ]
exit "$failed"
