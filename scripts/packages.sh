# The Debian packages the game needs, sourced by play.sh and test.sh.
# ensure_packages PKG...: installs whichever are missing (as root, after one
# apt-get update), or prints the exact apt-get line and stops when not root.

PLAY_PACKAGES="g++ make cmake pkg-config libx11-dev libgl-dev libglx-dev libgl1-mesa-dri libxxf86vm-dev
  libfreetype-dev libpng-dev zlib1g-dev ttf-bitstream-vera"
TEST_PACKAGES="$PLAY_PACKAGES libgtest-dev xvfb xauth x11-utils xdotool imagemagick libcairo2-dev strace
  xserver-xorg-core xserver-xorg-video-dummy desktop-file-utils dpkg-dev man-db groff-base lintian appstream"

ensure_packages() {
  local missing=""
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing="$missing $pkg"
    fi
  done
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Chromelly needs these Debian packages. Install them as root, then run this again:" >&2
    echo "apt-get update && apt-get install -y$missing" >&2
    exit 1
  fi
  echo "Installing:$missing"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
}
