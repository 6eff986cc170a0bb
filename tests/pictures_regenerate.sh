#!/usr/bin/env bash
# Builds the picture generator, draws every picture again into a scratch
# folder, and checks that the committed pictures and sheet are what it draws.
set -euo pipefail
source_dir="$1"
work_dir="$2"
rm -rf "$work_dir/out"
mkdir -p "$work_dir/out"
cmake -S "$source_dir/tools/picgen" -B "$work_dir/build" >/dev/null
cmake --build "$work_dir/build" -j2 >/dev/null
"$work_dir/build/picgen" "$work_dir/out" "$work_dir/out/pictures.png" >/dev/null
status=0
count=0
for drawn in "$work_dir"/out/*.png; do
  name="$(basename "$drawn")"
  [ "$name" = pictures.png ] && continue
  count=$((count + 1))
  if ! cmp -s "$drawn" "$source_dir/assets/$name"; then
    echo "assets/$name differs from what the generator draws (or is missing)"
    status=1
  fi
done
if ! cmp -s "$work_dir/out/pictures.png" "$source_dir/docs/pictures.png"; then
  echo "docs/pictures.png differs from what the generator draws"
  status=1
fi
committed=$(ls "$source_dir"/assets/*.png | wc -l)
if [ "$committed" -ne "$count" ]; then
  echo "assets/ holds $committed pictures; the generator draws $count"
  status=1
fi
echo "$count pictures drawn again and compared"
exit $status
