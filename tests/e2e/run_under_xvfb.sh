#!/bin/sh
# Runs a command on a fresh Xvfb display and returns the command's status.
#
#   run_under_xvfb.sh [--screen WIDTHxHEIGHT] [--no-glx] [--reset] [--wm WM] -- command [arguments...]
#
# Xvfb is started on a free display number, with GLX unless --no-glx asks
# for a display without it, and stopped afterwards whatever the command did.
# It keeps running as it is when its last client leaves, unless --reset asks
# for a server that resets then, as a plain Xvfb or a minimal xinit session does.
#
# --wm openbox|icewm|fluxbox|metacity runs that window manager on the display
# (with a HOME of its own, so no one's settings count) and starts the command
# once the window manager has announced itself on the root window. A window
# manager that is not installed ends the run with status 77 (skipped), saying so.
set -u

screen=1024x768
glx=+extension
reset=-noreset
wm=
while [ $# -gt 0 ]; do
  case "$1" in
    --screen) screen="$2"; shift 2 ;;
    --no-glx) glx=-extension; shift ;;
    --reset) reset=; shift ;;
    --wm) wm="$2"; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
if [ $# -eq 0 ]; then
  echo "usage: $0 [--screen WxH] [--no-glx] [--reset] [--wm WM] -- command [arguments...]" >&2
  exit 2
fi

wm_command=
case "$wm" in
  "") ;;
  openbox) wm_command="openbox --sm-disable" ;;
  icewm) wm_command="icewm" ;;
  fluxbox) wm_command="fluxbox" ;;
  metacity) wm_command="metacity --sm-disable" ;;
  *) echo "run_under_xvfb: unknown window manager $wm" >&2; exit 2 ;;
esac
if [ -n "$wm" ]; then
  for tool in "$wm" xprop wmctrl; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "run_under_xvfb: skipped: $tool is not installed (apt-get install openbox icewm fluxbox metacity wmctrl x11-utils)" >&2
      exit 77
    fi
  done
fi

# True while the process runs (a child that has ended but not been waited for does not).
running() {
  state=$(ps -o stat= -p "$1" 2>/dev/null)
  [ -n "$state" ] && [ "${state#Z}" = "$state" ]
}

xvfb_pid=
wm_pid=
wm_home=
stop_xvfb() {
  if [ -n "$wm_pid" ]; then
    # A window manager may hang in its own SIGTERM handler (fluxbox does, now and then): it gets
    # five seconds to go, then SIGKILL.
    kill "$wm_pid" 2>/dev/null
    tries=0
    while running "$wm_pid" && [ "$tries" -lt 50 ]; do
      sleep 0.1
      tries=$((tries + 1))
    done
    kill -9 "$wm_pid" 2>/dev/null
    wait "$wm_pid" 2>/dev/null
    wm_pid=
  fi
  if [ -n "$wm_home" ]; then
    rm -rf "$wm_home"
    wm_home=
  fi
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

if [ -n "$wm" ]; then
  # The window manager is up once the root names a window that names itself back
  # (_NET_SUPPORTING_WM_CHECK); polled, however long a loaded machine takes, up to a minute.
  wm_home=$(mktemp -d)
  if [ "$wm" = fluxbox ]; then
    # Its first start would paint a wallpaper with ImageMagick's display, which fails on Xvfb
    # and says so in a message window that takes the focus: no wallpaper.
    mkdir -p "$wm_home/.fluxbox"
    echo "background: none" >"$wm_home/.fluxbox/overlay"
  fi
  HOME="$wm_home" DISPLAY="$display" $wm_command >"$wm_home/log" 2>&1 &
  wm_pid=$!
  up=
  tries=0
  while [ "$tries" -lt 600 ]; do
    check=$(xprop -display "$display" -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # //p')
    if [ -n "$check" ] && xprop -display "$display" -id "$check" _NET_SUPPORTING_WM_CHECK 2>/dev/null |
      grep -q "window id # $check\$"; then
      up=yes
      break
    fi
    kill -0 "$wm_pid" 2>/dev/null || break
    sleep 0.1
    tries=$((tries + 1))
  done
  if [ -z "$up" ]; then
    echo "run_under_xvfb: $wm did not start:" >&2
    cat "$wm_home/log" >&2
    exit 2
  fi
fi

DISPLAY="$display" "$@"
status=$?
stop_xvfb
exit "$status"
