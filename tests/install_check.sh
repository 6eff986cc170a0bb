#!/bin/sh
# Installs the game into a temporary prefix and checks what lands there: the
# exact file tree, the desktop entry (desktop-file-validate), the icons' sizes
# and the manual page (rendered without a warning, every option of --help
# documented). Then builds the Debian package with cpack and checks its files
# and control fields.
#
#   install_check.sh BUILD_DIR
set -u
build="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
ok() { echo "ok   - $1"; }
fail() { echo "FAIL - $1"; failed=1; }

prefix="$tmp/usr"
if cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
  ok "cmake --install into a temporary prefix"
else
  fail "cmake --install:"; cat "$tmp/install.log"; exit 1
fi

# Only the game and its desktop files: no tests, tools or headless runner.
expected="bin/chromelly
share/applications/chromelly.desktop
share/doc/chromelly/README.md
share/doc/chromelly/VERA-COPYRIGHT.txt
share/icons/hicolor/128x128/apps/chromelly.png
share/icons/hicolor/256x256/apps/chromelly.png
share/icons/hicolor/48x48/apps/chromelly.png
share/icons/hicolor/64x64/apps/chromelly.png
share/man/man6/chromelly.6"
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
if [ "$actual" = "$expected" ]; then ok "the installed tree"; else
  fail "the installed tree differs:"; printf '%s\n' "$actual" | diff -u - /dev/fd/3 3<<EOF2
$expected
EOF2
fi
[ -x "$prefix/bin/chromelly" ] && ok "bin/chromelly is executable" || fail "bin/chromelly is not executable"

desktop="$prefix/share/applications/chromelly.desktop"
if desktop-file-validate "$desktop" >"$tmp/validate.log" 2>&1 && [ ! -s "$tmp/validate.log" ]; then
  ok "desktop-file-validate"
else
  fail "desktop-file-validate:"; cat "$tmp/validate.log"
fi
grep -qx 'Exec=chromelly' "$desktop" && grep -qx 'Icon=chromelly' "$desktop" && grep -q '^Categories=Game;' "$desktop" \
  && ok "the entry starts chromelly with its icon, among the games" || fail "the entry's Exec, Icon or Categories"

# PNG width and height from the header, big-endian at bytes 16 and 20.
for icon in "$prefix"/share/icons/hicolor/*/apps/chromelly.png; do
  size=$(basename "$(dirname "$(dirname "$icon")")")
  signature=$(od -An -tx1 -N8 "$icon" | tr -d ' \n')
  width=$(od -An -tu4 --endian=big -j16 -N4 "$icon" | tr -d ' ')
  height=$(od -An -tu4 --endian=big -j20 -N4 "$icon" | tr -d ' ')
  if [ "$signature" = "89504e470d0a1a0a" ] && [ "${width}x${height}" = "$size" ]; then ok "icon $size"; else
    fail "icon $size is ${width}x${height} (signature $signature)"
  fi
done

page="$prefix/share/man/man6/chromelly.6"
warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
if [ -z "$warnings" ]; then ok "the manual page renders without a warning"; else
  fail "groff warns about the manual page:"; echo "$warnings"
fi
rendered=$(MANWIDTH=80 man -l "$page" 2>"$tmp/man.log")
if printf '%s\n' "$rendered" | grep -q 'chromelly - colour-mixing strategy game' && [ ! -s "$tmp/man.log" ]; then
  ok "man -l shows the page"
else
  fail "man -l:"; cat "$tmp/man.log"
fi
# Every long option the game lists in its help is documented (no display: never a window).
if help=$(env -u DISPLAY "$prefix/bin/chromelly" --help 2>/dev/null); then
  for option in $(printf '%s\n' "$help" | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    printf '%s\n' "$rendered" | grep -q -- "$option" && ok "the page documents $option" \
      || fail "the page does not document $option"
  done
else
  echo "skip - this build has no --help to compare the page with"
fi

# The Debian package.
if cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/package" >"$tmp/cpack.log" 2>&1; then
  ok "cpack builds the Debian package"
else
  fail "cpack:"; cat "$tmp/cpack.log"; exit 1
fi
deb=$(ls "$tmp"/package/chromelly_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || { fail "no chromelly_*.deb"; ls "$tmp/package"; exit 1; }
arch=$(dpkg --print-architecture)
case "$(basename "$deb")" in chromelly_*_"$arch".deb) ok "package file $(basename "$deb")" ;;
  *) fail "package file name $(basename "$deb")" ;; esac
listed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' | sed 's|^\./usr/||' | LC_ALL=C sort)
if [ "$listed" = "$expected" ]; then ok "the package holds the installed tree under /usr"; else
  fail "the package's files:"; printf '%s\n' "$listed"
fi
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = chromelly ] && ok "Package: chromelly" || fail "Package: $(field Package)"
[ "$(field Section)" = games ] && ok "Section: games" || fail "Section: $(field Section)"
[ "$(field Architecture)" = "$arch" ] && ok "Architecture: $arch" || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] && ok "Maintainer: $(field Maintainer)" || fail "no Maintainer"
field Description | grep -q 'colour-mixing' && ok "Description" || fail "Description: $(field Description)"
depends=$(field Depends)
# Computed from the executable by dpkg-shlibdeps: the libraries it links, by package name.
names=$(printf '%s\n' "$depends" | tr ',' '\n' | awk '{ print $1 }')
missing=""
for library in libc6 libstdc++6 libx11-6 libxxf86vm1 libglx0 libopengl0 libpng16-16 libfreetype6; do
  printf '%s\n' "$names" | grep -Fqx "$library" || missing="$missing $library"
done
[ -z "$missing" ] && ok "Depends: $depends" || fail "Depends lacks$missing: $depends"
exit "$failed"
