#!/bin/sh
# Makes the README's pictures of the game from a game the bot plays: docs/play.png,
# a screenshot, and docs/play.gif, a few seconds of the crowd, the boxes filling
# and the chefs at work. The bot's game (seed 4) is recorded up to a chosen frame
# of the chefs' stage and replayed at its own pace on the real game under Xvfb;
# the screen is copied from Xvfb's frame buffer ten times a second, and the last
# seconds before the recording runs out become the pictures.
#
#   scripts/make_pictures.sh [--build DIR] [--display :N] [--frames N] [--seconds S]
#
#   --build DIR    the build with chromelly and chromelly_bot (default build/)
#   --display :N   the display number for Xvfb (default: the first free one)
#   --frames N     where the recording stops, at 60 frames a second (default 8400,
#                  a virtual 2 min 20 s into the game, 29 s after the chefs came)
#   --seconds S    the length of the animation (default 6)
#
# Needs Xvfb, GLX (Mesa), ImageMagick (convert) and GNU date. The replay is paced:
# on a loaded machine it falls behind, and the animation shows the frames that
# were on the screen at each copy, with the time that truly passed between them.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
display=
frames=8400
seconds=6
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift 2 ;;
    --display) display="$2"; shift 2 ;;
    --frames) frames="$2"; shift 2 ;;
    --seconds) seconds="$2"; shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--display :N] [--frames N] [--seconds S]" >&2; exit 2 ;;
  esac
done
for program in chromelly chromelly_bot; do
  [ -x "$build/$program" ] || { echo "$build/$program is missing: cmake --build build --target $program" >&2; exit 1; }
done
for tool in Xvfb convert; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is missing (scripts/packages.sh lists the packages)" >&2; exit 1; }
done

tmp=$(mktemp -d)
xvfb_pid=
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The bot does not reach the End in so few frames (status 1); the recording is what counts.
"$build/chromelly_bot" --seed 4 --max-frames "$frames" --record "$tmp/game.rec" >"$tmp/bot.log" || true
[ -s "$tmp/game.rec" ] || { echo "the bot wrote no recording:" >&2; cat "$tmp/bot.log" >&2; exit 1; }
echo "recorded the bot's game to frame $frames: $(tail -n1 "$tmp/bot.log")"

# Xvfb keeps its screen in a file (XWD) under -fbdir: copying it takes a few
# milliseconds, where a screenshot through the X server takes a tenth of a second.
mkdir "$tmp/fb" "$tmp/shots"
if [ -n "$display" ]; then
  Xvfb "$display" -screen 0 1024x768x24 +extension GLX -nolisten tcp -noreset -fbdir "$tmp/fb" \
    >"$tmp/xvfb.log" 2>&1 &
  xvfb_pid=$!
else
  Xvfb -displayfd 3 -screen 0 1024x768x24 +extension GLX -nolisten tcp -noreset -fbdir "$tmp/fb" \
    3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
  xvfb_pid=$!
fi
tries=0
while [ ! -s "$tmp/fb/Xvfb_screen0" ] || { [ -z "$display" ] && [ ! -s "$tmp/display" ]; }; do
  tries=$((tries + 1))
  if [ "$tries" -gt 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "Xvfb did not start:" >&2; cat "$tmp/xvfb.log" >&2; exit 1
  fi
  sleep 0.1
done
[ -n "$display" ] || display=":$(tr -d '[:space:]' <"$tmp/display")"
sleep 0.5

DISPLAY="$display" "$build/chromelly" --replay "$tmp/game.rec" >"$tmp/replay.log" 2>&1 &
game_pid=$!

# A copy counts only if the game was still running once it was taken; the
# copies older than the animation needs are let go as the replay goes on.
keep=$((seconds * 10 + 10))
count=0
: >"$tmp/times"
while kill -0 "$game_pid" 2>/dev/null; do
  now=$(date +%s%N)
  cp "$tmp/fb/Xvfb_screen0" "$tmp/shots/$count.xwd"
  if kill -0 "$game_pid" 2>/dev/null; then echo "$count $now" >>"$tmp/times"; fi
  rm -f "$tmp/shots/$((count - keep)).xwd"
  count=$((count + 1))
  sleep 0.1
done
status=0
wait "$game_pid" || status=$?
game_pid=
if [ "$status" -ne 0 ]; then
  echo "the replay ended with status $status:" >&2; cat "$tmp/replay.log" >&2; exit 1
fi

# The game takes its window down before it exits: the last copies may show the
# bare black screen. A frame of the game is mostly white.
while [ -s "$tmp/times" ]; do
  last=$(tail -n1 "$tmp/times" | cut -d' ' -f1)
  mean=$(convert "$tmp/shots/$last.xwd" -colorspace Gray -format '%[fx:mean]' info:)
  awk -v mean="$mean" 'BEGIN { exit !(mean > 0.5) }' && break
  sed -i '$d' "$tmp/times"
done

# The copies of the last seconds, each shown for the time until the next
# (in hundredths of a second, as GIF counts), the last one a second long.
tail -n "$((seconds * 10))" "$tmp/times" | awk -v dir="$tmp/shots" '
  NR > 1 { printf "-delay %d %s/%d.xwd\n", (($2 - t) / 1e7 + 0.5), dir, n }
  { n = $1; t = $2 }
  END { printf "-delay 100 %s/%d.xwd\n", dir, n }' >"$tmp/sequence"
shown=$(wc -l <"$tmp/sequence")
if [ "$shown" -lt $((seconds * 5)) ]; then
  echo "only $shown copies of the screen were taken in the last $seconds s; the machine is too busy" >&2
  exit 1
fi

mkdir -p "$root/docs"
# The screenshot: the last frame, at full size.
convert "$tmp/shots/$last.xwd" -strip "$root/docs/play.png"
# The animation: half size, one palette of 48 colours for every frame, and
# each frame only where it differs from the one before.
# shellcheck disable=SC2046 # one word per argument, from the sequence file
convert -loop 0 $(cat "$tmp/sequence") -resize 50% -dither None -colors 48 +remap -layers OptimizeFrame \
  -layers OptimizeTransparency "$root/docs/play.gif"
echo "docs/play.png: $(wc -c <"$root/docs/play.png") bytes; docs/play.gif: $shown frames, $(wc -c <"$root/docs/play.gif") bytes"
