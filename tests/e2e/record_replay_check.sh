#!/bin/sh
# A game recorded on the real screen replays exactly (needs DISPLAY and xdotool):
# the game is played for a few seconds with xdotool and ended with Esc, then
# replayed at its own pace, replayed fast, and replayed without a display; each
# replay ends with status 0 and the same standard output. A headless game's
# recording, cut short, replays fast with the frame statistics printed at its
# end. A replay the viewer stops with Esc says so and ends with a non-zero status.
#
#   record_replay_check.sh CHROMELLY CHROMELLY_HEADLESS
. "$(dirname "$0")/../check_common.sh"
game="$1"
headless="$2"

# Waits for the game's window, up to a minute (a busy machine starts the game slowly); with a size
# (WIDTHxHEIGHT), for a window of that size. False when none showed.
shown_window() {
  for id in $(xdotool search --name '^Chromelly$' 2>/dev/null); do
    size=$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/^ *Geometry: *//p')
    if [ -n "$size" ] && { [ -z "${1:-}" ] || [ "$size" = "$1" ]; }; then
      return 0
    fi
  done
  return 1
}
wait_for_window() {
  tries=0
  while [ "$tries" -lt 600 ]; do
    shown_window "${1:-}" && return 0
    sleep 0.1
    tries=$((tries + 1))
  done
  return 1
}

"$game" --record "$dir/game.rec" >"$dir/played.out" 2>"$dir/played.err" &
pid=$!
expect "the game's intro window shows" wait_for_window
sleep 0.5  # the window takes the keyboard once mapped
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

# A recording cut short (as the headless runner writes them) still ends in the
# frame statistics: the whole run's line and one for the game's first stage.
"$headless" --seed 7 --frames 300 --record "$dir/cut.rec" >/dev/null
CHROMELLY_STATS=1 "$game" --replay "$dir/cut.rec" --fast >/dev/null 2>"$dir/stats.err"
status=$?
said=$(cat "$dir/stats.err")
expect "the fast replay of a cut recording ends with status 0 ($status)" [ "$status" -eq 0 ]
expect "with CHROMELLY_STATS=1 it prints the frame statistics: $said" \
  grep -q '^chromelly: [0-9][0-9]* frames; frame time mean' "$dir/stats.err"
expect "and a line for stage 0" grep -q '^chromelly: stage 0: [0-9][0-9]* frames;' "$dir/stats.err"

env -u DISPLAY "$headless" --replay "$dir/game.rec" >"$dir/headless.out" 2>"$dir/headless.err"
status=$?
expect "the headless replay ends with status 0 ($status): $(cat "$dir/headless.err")" [ "$status" -eq 0 ]

"$game" --replay "$dir/game.rec" >/dev/null 2>"$dir/stopped.err" &
pid=$!
screen=$(xdotool getdisplaygeometry | tr ' ' x)
expect "the replay reaches the game screen, a window of $screen" wait_for_window "$screen"
sleep 0.5  # clear of the moment the intro window gives way to it
xdotool key Escape
wait "$pid"
status=$?
said=$(cat "$dir/stopped.err")
stopped=0
case "$said" in *"stopped at frame"*) [ "$status" -ne 0 ] && stopped=1 ;; esac
expect "a replay stopped by the viewer ends with status $status and says: $said" [ "$stopped" -eq 1 ]
exit "$failed"
