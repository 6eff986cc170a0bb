#!/usr/bin/env bash
# Prints the game's performance figures (see the README's "Performance") and,
# at the end, one line for each goal:
#   - the whole frame headless at the last stages of a game the bot plays;
#   - the real game under Xvfb with software OpenGL (llvmpipe): the bot's
#     seed-4 game replayed unpaced (--fast: frames a second and CPU a frame,
#     stage by stage) and paced (frames a second, late frames, the 99th
#     percentile and the worst time between frames, stage by stage);
#   - peak resident memory of each run, and how much of it is the GL driver's
#     code (libLLVM and the swrast/gallium driver, resident file pages).
# Needs a build with the tests and benchmarks in build/ (./scripts/test.sh makes one);
# BUILD=dir measures another build. The paced replay alone takes some seven minutes.
set -uo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build}"
xvfb=tests/e2e/run_under_xvfb.sh
export LIBGL_ALWAYS_SOFTWARE=1
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

for program in bench/bench_played_frame chromelly chromelly_bot; do
  if [ ! -x "$build/$program" ]; then
    echo "measure: $build/$program is missing: build first (./scripts/test.sh)" >&2
    exit 1
  fi
done

# run_sampled ERRFILE PROGRAM [ARGS]: runs the program with the frame statistics on,
# its standard error to ERRFILE, and adds to ERRFILE its peak resident memory and,
# sampled every half second, the driver's share at the highest resident memory seen.
cat >"$out/run_sampled" <<'SCRIPT'
#!/usr/bin/env bash
err="$1"
shift
CHROMELLY_STATS=1 "$@" 2>"$err" >/dev/null &
pid=$!
max=0 driver=0
while kill -0 "$pid" 2>/dev/null; do
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null)
  hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status" 2>/dev/null)
  if [ -n "$rss" ] && [ "$rss" -gt "$max" ]; then
    max=$rss
    driver=$(awk '/^[0-9a-f]+-[0-9a-f]+ / {lib = ($6 ~ /libLLVM|_dri\.so|libgallium/)} /^Rss:/ && lib {kb += $2} END {print kb + 0}' \
      "/proc/$pid/smaps" 2>/dev/null)
  fi
  [ -n "$hwm" ] && peak=$hwm
  sleep 0.5
done
wait "$pid"
status=$?
# The last reading of VmHWM may come from before the last sample of VmRSS.
[ "${peak:-0}" -lt "$max" ] && peak=$max
echo "peak memory (VmHWM) ${peak:-0} kB; at the highest sample ${max} kB resident, ${driver:-0} kB of it the driver's code, $((max - ${driver:-0})) kB without" >>"$err"
exit $status
SCRIPT
chmod +x "$out/run_sampled"

# play_for SECONDS ERRFILE PROGRAM [ARGS]: starts the program on the display,
# leaves the opening screen with Return, lets it run, and ends it with Esc.
cat >"$out/play_for" <<'SCRIPT'
#!/usr/bin/env bash
seconds="$1" err="$2"
shift 2
"$(dirname "$0")/run_sampled" "$err" "$@" &
runner=$!
sleep 3
xdotool key Return
sleep "$seconds"
xdotool key Escape
wait "$runner"
SCRIPT
chmod +x "$out/play_for"

echo "== Headless: start-up after Return, and the whole frame at the last stages of a game the bot plays"
"$build/bench/bench_played_frame" 4 3000

if [ -x "$build/bench/bench_randomize" ]; then
  echo "== Headless: favourite colours drawn against a full tally (the stage-6 far field's balancing)"
  "$build/bench/bench_randomize"
fi

echo "== Xvfb, software OpenGL: 20 s at stage 0, paced"
"$xvfb" -- "$out/play_for" 20 "$out/stage0.err" "$build/chromelly"
cat "$out/stage0.err"

if [ -x "$build/chromelly_testhook" ]; then
  echo "== Xvfb, software OpenGL: the stage hook's game, 90 s (on to the last stage and the closing scene), paced"
  "$xvfb" -- "$out/play_for" 90 "$out/hook.err" "$build/chromelly_testhook" --every 60
  cat "$out/hook.err"
fi

"$build/chromelly_bot" --seed 4 --record "$out/bot.rec" >/dev/null

echo "== Xvfb, software OpenGL: the bot's seed-4 game (every stage, the closing scene, End) replayed with --fast, unpaced"
"$xvfb" -- "$out/run_sampled" "$out/fast.err" "$build/chromelly" --replay "$out/bot.rec" --fast
cat "$out/fast.err"

echo "== Xvfb, software OpenGL: the same game replayed paced, as it is played"
"$xvfb" -- "$out/run_sampled" "$out/paced.err" "$build/chromelly" --replay "$out/bot.rec"
cat "$out/paced.err"

# The goals' figures, part by part, from the two replays' statistics lines.
echo "== Goals"
awk '
  function field(line, before, after,   s) {
    s = substr(line, index(line, before) + length(before))
    return substr(s, 1, index(s, after) - 1) + 0
  }
  /^chromelly: [a-z0-9 ]+: [0-9]+ frames;/ {
    part = substr($0, 12, index(substr($0, 12), ":") - 1)
    if (!(part in seen)) { seen[part] = 1; order[++parts] = part }
    if (FILENAME ~ /fast/) {
      fastFps[part] = field($0, "per frame; ", " frames a second")
      cpu[part] = field($0, "CPU ", " ms per frame")
    } else {
      pacedFps[part] = field($0, "per frame; ", " frames a second")
      late[part] = field($0, "at worst; ", "% late")
      worst[part] = field($0, "percentile, ", " ms at worst")
      p99[part] = field($0, "shown ", " ms apart or less")
    }
  }
  /^peak memory/ { memory[FILENAME ~ /fast/ ? "unpaced" : "paced"] = $0 }
  END {
    printf "%-14s %12s %10s %12s %8s %12s %12s\n", "part", "unpaced fps", "CPU/frame", "paced fps", "late", "99th pct", "worst frame"
    for (i = 1; i <= parts; ++i) {
      p = order[i]
      printf "%-14s %12.1f %7.2f ms %12.2f %7.2f%% %9.2f ms %9.1f ms\n", p, fastFps[p], cpu[p], pacedFps[p], late[p], p99[p], worst[p]
    }
    print "unpaced replay: " memory["unpaced"]
    print "paced replay:   " memory["paced"]
  }
' "$out/fast.err" "$out/paced.err"
