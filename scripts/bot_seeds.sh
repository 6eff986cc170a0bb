#!/bin/sh
# The bot plays seeds 1 to 10 (or those given) to the End and prints, for each,
# the frame every stage began and the frame of the End (60 frames a second);
# then how many it won and the slowest. Exit status 1 if any seed was not won.
# Usage: scripts/bot_seeds.sh [BOT] [SEED...]   (BOT defaults to build/chromelly_bot)
set -u
bot=${1:-build/chromelly_bot}
[ $# -gt 0 ] && shift
seeds=${*:-1 2 3 4 5 6 7 8 9 10}
if [ ! -x "$bot" ]; then
  echo "bot_seeds.sh: $bot is not built (cmake --build build --target chromelly_bot)" >&2
  exit 2
fi
won=0 played=0 slowest=0 eight=0
for seed in $seeds; do
  played=$((played + 1))
  line=$("$bot" --seed "$seed" | tail -n 1)
  echo "$line"
  end=$(echo "$line" | sed -n 's/.*End at frame \([0-9]*\).*/\1/p')
  if [ -n "$end" ]; then
    won=$((won + 1))
    [ "$end" -gt "$slowest" ] && slowest=$end
    [ "$end" -le 28800 ] && eight=$((eight + 1))
  fi
done
echo "won $won of $played; $eight within 8 minutes (28800 frames); slowest End at frame $slowest"
[ "$won" -eq "$played" ]
