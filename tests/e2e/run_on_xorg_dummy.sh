#!/bin/sh
# Runs a command against a real Xorg server with the dummy video driver, whose
# XFree86-VidMode extension switches between real modes (1280x1024 and 1024x768),
# through the shared tool xorg-dummy kept beside the repository.
#
#   run_on_xorg_dummy.sh TOOL [--depth 24|16] -- command [arguments...]
#
# Ends with status 77 (the test is skipped) and says why when the tool, Xorg
# or its dummy driver is missing, or when not run as root as Xorg needs.
set -u
tool="$1"
shift
skip() {
  echo "skipped: $*"
  exit 77
}
[ -x "$tool" ] || skip "the shared tool $tool is not there (it lives in shared/tools beside the repository)"
command -v Xorg >/dev/null 2>&1 || skip "Xorg is missing: apt-get install xserver-xorg-core xserver-xorg-video-dummy"
[ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || skip "the dummy video driver is missing: apt-get install xserver-xorg-video-dummy"
[ "$(id -u)" -eq 0 ] || skip "Xorg with the dummy driver needs root"
exec "$tool" "$@"
