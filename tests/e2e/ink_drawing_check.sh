#!/bin/sh
# Drawing pictures only where they have ink leaves every pixel as drawing their
# whole rectangles does (needs DISPLAY): a recorded game is replayed fast
# twice, once with CHROMELLY_DRAW_WHOLE=1 (every picture over its whole
# rectangle) and once as the game draws, each writing every n-th frame as a
# PNG file, and the frames must be identical. Both replays must end with
# status 0, and an unusable --frames-to or --every is refused.
#
#   ink_drawing_check.sh CHROMELLY FRAME_COMPARE RECORDING [EVERY]
. "$(dirname "$0")/../check_common.sh"
game="$1"
compare="$2"
recording="$3"
every="${4:-300}"

CHROMELLY_DRAW_WHOLE=1 "$game" --replay "$recording" --fast --frames-to "$dir/whole" --every "$every" \
  >/dev/null 2>"$dir/whole.err"
expect "the replay drawing whole rectangles ends with status 0" [ $? -eq 0 ]
"$game" --replay "$recording" --fast --frames-to "$dir/ink" --every "$every" >/dev/null 2>"$dir/ink.err"
expect "the replay drawing ink only ends with status 0" [ $? -eq 0 ]
cat "$dir/whole.err" "$dir/ink.err"
frames=$(ls "$dir/ink" | grep -c '^frame-[0-9]*\.png$')
expect "the replay wrote its frames ($frames)" [ "$frames" -ge 10 ]
"$compare" "$dir/whole" "$dir/ink"
expect "the frames are identical" [ $? -eq 0 ]

# Bad arguments: one line, status 2; a folder that cannot be made: status 1.
"$game" --frames-to "$dir/x" 2>"$dir/bad.err"
expect "--frames-to without --replay is refused" [ $? -eq 2 ]
"$game" --replay "$recording" --frames-to "$dir/x" --every 0 2>"$dir/bad.err"
expect "--every 0 is refused" [ $? -eq 2 ]
"$game" --replay "$recording" --every 5 2>"$dir/bad.err"
expect "--every without --frames-to is refused" [ $? -eq 2 ]
touch "$dir/file"
"$game" --replay "$recording" --fast --frames-to "$dir/file/sub" 2>"$dir/bad.err"
expect "a folder that cannot be made ends with status 1" [ $? -eq 1 ]
exit "$failed"
