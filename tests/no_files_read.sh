#!/usr/bin/env bash
# The game reads no file at run time: its font and pictures are inside the
# executable. Runs a headless game from an empty folder under strace and checks
# that every picture and the font loaded and that no picture or font file was opened.
set -euo pipefail
game="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp "$game" "$scratch/game"
cd "$scratch"
strace -f -e trace=open,openat,openat2,stat,newfstatat,access -o trace.txt ./game --frames 120 --every 120 > out.txt
cat out.txt
grep -q "pictures loaded: 94 of 94; line height 23" out.txt || { echo "not every picture or the font loaded"; exit 1; }
if grep -E '\.(png|PNG|ttf|TTF)"|/assets' trace.txt; then
  echo "the game looked for a picture or font file on disk"
  exit 1
fi
echo "no picture or font file was touched"
