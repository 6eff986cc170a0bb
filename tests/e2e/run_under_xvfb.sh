#!/bin/sh
# Runs a command on a fresh Xvfb display and returns the command's status.
#
#   run_under_xvfb.sh [--screen WIDTHxHEIGHT] [--no-glx] [--reset] -- command [arguments...]
#
# Xvfb is started on a free display number, with GLX unless --no-glx asks
# for a display without it, and stopped afterwards whatever the command did.
# It keeps running as it is when its last client leaves, unless --reset asks
# for a server that resets then, as a plain Xvfb or a minimal xinit session does.
set -u

screen=1024x768
glx=+extension
reset=-noreset
while [ $# -gt 0 ]; do
  case "$1" in
    --screen) screen="$2"; shift 2 ;;
    --no-glx) glx=-extension; shift ;;
    --reset) reset=; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done
if [ $# -eq 0 ]; then
  echo "usage: $0 [--screen WxH] [--no-glx] [--reset] -- command [arguments...]" >&2
  exit 2
fi

xvfb_pid=
stop_xvfb() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
  fi
}
trap stop_xvfb EXIT
trap 'stop_xvfb; exit 130' INT TERM

# Xvfb picks a free display number itself and writes it once it accepts
# connections, so runs started side by side never share a display.
numberfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${screen}x24" "$glx" GLX -nolisten tcp $reset \
  3>"$numberfile" >/dev/null 2>&1 &
xvfb_pid=$!
display=
tries=0
# Up to a minute: a busy machine may start it slowly.
while [ "$tries" -lt 600 ]; do
  number=$(tr -d '[:space:]' <"$numberfile")
  if [ -n "$number" ]; then
    display=":$number"
    break
  fi
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
  tries=$((tries + 1))
done
rm -f "$numberfile"
if [ -z "$display" ] || ! xdpyinfo -display "$display" >/dev/null 2>&1; then
  echo "run_under_xvfb: could not start Xvfb" >&2
  exit 2
fi

DISPLAY="$display" "$@"
status=$?
stop_xvfb
exit "$status"
