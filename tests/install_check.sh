#!/bin/sh
# Installs the game into a temporary prefix and checks what lands there: the
# exact file tree, the desktop entry (desktop-file-validate), the AppStream
# metadata (appstreamcli validate --strict), the icons' sizes, the manual page
# (rendered without a warning, every option of --help documented), files
# compressed as Debian wants them, and one version everywhere. Then builds the
# Debian package with cpack, checks its files and control fields, and runs
# lintian on it: no error, no warning, no hardening tag.
#
#   install_check.sh BUILD_DIR
#
# Exit status 77 (skipped) when everything that ran passed but lintian or
# appstreamcli is not installed.
set -u
build="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
missing_tools=""
ok() { echo "ok   - $1"; }
fail() { echo "FAIL - $1"; failed=1; }

prefix="$tmp/usr"
if cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
  ok "cmake --install into a temporary prefix"
else
  fail "cmake --install:"; cat "$tmp/install.log"; exit 1
fi

# Only the game and its desktop files: no tests, tools or headless runner.
# The build is configured for the default prefix, /usr/local, whose games go in games/.
app=io.github.chromelly.chromelly
expected="games/chromelly
share/applications/$app.desktop
share/doc/chromelly/README.md
share/doc/chromelly/changelog.gz
share/doc/chromelly/copyright
share/icons/hicolor/128x128/apps/chromelly.png
share/icons/hicolor/256x256/apps/chromelly.png
share/icons/hicolor/48x48/apps/chromelly.png
share/icons/hicolor/64x64/apps/chromelly.png
share/man/man6/chromelly.6.gz
share/metainfo/$app.metainfo.xml"
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
if [ "$actual" = "$expected" ]; then ok "the installed tree"; else
  fail "the installed tree differs:"; printf '%s\n' "$actual" | diff -u - /dev/fd/3 3<<EOF2
$expected
EOF2
fi
game="$prefix/games/chromelly"
[ -x "$game" ] && ok "games/chromelly is executable" || fail "games/chromelly is not executable"

desktop="$prefix/share/applications/$app.desktop"
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

# Debian's gzip -9n: no file name and no time stamp in the header (flags byte 3, time bytes 4-7).
for file in share/man/man6/chromelly.6.gz share/doc/chromelly/changelog.gz; do
  header=$(od -An -tx1 -j3 -N5 "$prefix/$file" | tr -d ' \n')
  if gzip -t "$prefix/$file" 2>/dev/null && [ "$header" = "0000000000" ]; then ok "$file: gzip without name or time"
  else fail "$file: header bytes 3-7 $header"; fi
done

metainfo="$prefix/share/metainfo/$app.metainfo.xml"
if command -v appstreamcli >/dev/null 2>&1; then
  if appstreamcli validate --strict --no-net "$metainfo" >"$tmp/appstream.log" 2>&1; then
    ok "appstreamcli validate --strict"
  else
    fail "appstreamcli validate --strict:"; cat "$tmp/appstream.log"
  fi
  grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo" \
    && ok "the metainfo launches the desktop entry" || fail "the metainfo's launchable is not $app.desktop"
else
  echo "skip - appstreamcli is missing (Debian package appstream)"; missing_tools="$missing_tools appstreamcli"
fi

page="$prefix/share/man/man6/chromelly.6.gz"
warnings=$(gzip -dc "$page" | groff -man -Tutf8 -ww -z 2>&1)
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
if help=$(env -u DISPLAY "$game" --help 2>/dev/null); then
  for option in $(printf '%s\n' "$help" | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    printf '%s\n' "$rendered" | grep -q -- "$option" && ok "the page documents $option" \
      || fail "the page does not document $option"
  done
else
  echo "skip - this build has no --help to compare the page with"
fi

# One version: the program's, the manual page's, the metainfo's newest release and the changelog's.
version=$(env -u DISPLAY "$game" --version 2>/dev/null | awk 'NR == 1 && $1 == "chromelly" { print $2 }')
page_version=$(gzip -dc "$page" | awk '$1 == ".TH" { print $6; exit }' | tr -d '"')
release=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n1 | cut -d'"' -f2)
changelog=$(gzip -dc "$prefix/share/doc/chromelly/changelog.gz" | sed -n '1s/^chromelly (\([^)]*\)).*/\1/p')
if [ -n "$version" ] && [ "$page_version" = "$version" ] && [ "$release" = "$version" ] && [ "$changelog" = "$version" ]; then
  ok "version $version in --version, the manual page, the metainfo and the changelog"
else
  fail "versions differ: --version '$version', manual page '$page_version', metainfo '$release', changelog '$changelog'"
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
[ "$(field Version)" = "$version" ] && ok "Version: $version" || fail "Version: $(field Version), the game's $version"
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

# Debian's checker: no error and no warning; the hardening tags are only
# informational, so they are looked for by name.
if command -v lintian >/dev/null 2>&1; then
  if lintian --fail-on error,warning --display-info "$deb" >"$tmp/lintian.log" 2>"$tmp/lintian.err"; then
    ok "lintian: no error, no warning"
  else
    fail "lintian reports errors or warnings, or could not run:"; cat "$tmp/lintian.log" "$tmp/lintian.err"
  fi
  if grep -E '^I: .*hardening-' "$tmp/lintian.log" >"$tmp/hardening.log"; then
    fail "lintian finds the executable unhardened:"; cat "$tmp/hardening.log"
  else
    ok "lintian: hardened (PIE, relro, bindnow, fortified functions)"
  fi
  grep -E '^[IPX]: ' "$tmp/lintian.log" | sed 's/^/note - /'
else
  echo "skip - lintian is missing (Debian package lintian)"; missing_tools="$missing_tools lintian"
fi

[ "$failed" -ne 0 ] && exit 1
if [ -n "$missing_tools" ]; then
  echo "skipped: everything that ran passed, but$missing_tools could not run"
  exit 77
fi
exit 0
