#!/usr/bin/env bash
# The short soak: two simulated minutes for each of three seeds, the bot playing
# with the noise and the stage hook pushing from the start. Each must keep the
# world sound every frame, reach the last stage and the closing scene, and end
# a game with the End button.
set -uo pipefail
soak="$1"
status=0
for seed in 1 2 3; do
  out="$("$soak" --seed "$seed" --minutes 2 --bot-minutes 0 --stage-seconds 2 --closing-seconds 10)"
  rc=$?
  echo "$out" | tail -3
  summary="$(echo "$out" | grep '^soak seed')"
  if [ $rc -ne 0 ]; then echo "seed $seed: the soak failed (status $rc)"; status=1; continue; fi
  echo "$summary" | grep -q 'highest stage 8,' || { echo "seed $seed: the last stage was not reached"; status=1; }
  echo "$summary" | grep -q 'faults 0$' || { echo "seed $seed: faults"; status=1; }
  echo "$summary" | grep -Eq '\([1-9][0-9]* ended with End' || { echo "seed $seed: no game ended with End"; status=1; }
done
exit $status
