#!/usr/bin/env bash
# Prints the game's performance figures (see the README's "Performance"):
# the whole frame headless at the last stages of a played game, the real game
# under Xvfb with software OpenGL (frames a second paced at stage 0 and at the
# last stage, and unpaced in a --fast replay), and its peak memory.
# Needs a build with the tests and benchmarks in build/ (./scripts/test.sh makes one).
set -uo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build}"
xvfb=tests/e2e/run_under_xvfb.sh
export LIBGL_ALWAYS_SOFTWARE=1
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

echo "== Headless: start-up after Return, and the whole frame at the last stages of a game the bot plays"
"$build/bench/bench_played_frame" 4 3000

# play_for PROGRAM SECONDS ERRFILE [ARGS]: starts the program on the display,
# leaves the opening screen with Return, lets it run, and ends it with Esc.
cat >"$out/play_for" <<'SCRIPT'
#!/usr/bin/env bash
prog="$1" seconds="$2" err="$3"
shift 3
CHROMELLY_STATS=1 /usr/bin/time -f 'peak memory (VmHWM) %M kB' "$prog" "$@" 2>"$err" &
pid=$!
sleep 3
xdotool key Return
sleep "$seconds"
xdotool key Escape
wait "$pid"
SCRIPT
chmod +x "$out/play_for"

echo "== Xvfb, software OpenGL: 20 s at stage 0, paced"
"$xvfb" -- "$out/play_for" "$build/chromelly" 20 "$out/stage0.err"
cat "$out/stage0.err"

echo "== Xvfb, software OpenGL: the stage hook's game, 90 s (on to the last stage and the closing scene), paced"
"$xvfb" -- "$out/play_for" "$build/chromelly_testhook" 90 "$out/stage8.err" --every 60
cat "$out/stage8.err"

echo "== Xvfb, software OpenGL: the bot's seed-4 game (every stage, the closing scene, End) replayed with --fast, unpaced"
"$build/chromelly_bot" --seed 4 --record "$out/bot.rec" >/dev/null
"$xvfb" -- env CHROMELLY_STATS=1 /usr/bin/time -f 'peak memory (VmHWM) %M kB' \
  "$build/chromelly" --replay "$out/bot.rec" --fast 2>&1 | grep -v '^[0-9]*$'
