#!/usr/bin/env bash
# cpack builds the Debian package; its control data and contents are what a player's apt needs:
# the programs, the data under /usr/share/flikka, desktop entry, icons, metadata and man pages,
# run-time library dependencies only, and valid desktop and AppStream files.
set -u
build="$1"
version="$3"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! cpack --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.txt" 2>&1; then
  cat "$tmp/cpack.txt"
  echo "FAIL: cpack"
  exit 1
fi
deb=$(ls "$tmp"/flikka_"$version"_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "FAIL: no flikka_${version}_*.deb in: $(ls "$tmp")"; exit 1; }

info=$(dpkg-deb -I "$deb")
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = flikka ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
depends=$(field Depends)
names=$(tr ',|' '\n\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for lib in libc6 libstdc++6 libsdl2-2.0-0 libsdl2-image-2.0-0 libtinyxml2-9; do
  grep -Fqx "$lib" <<<"$names" || fail "Depends lacks $lib: $depends"
done
# Build tools, headers, test libraries and the fonts (drawn into gfx/ at build time) stay out.
if grep -Eq -- "-dev|gtest|gmock|benchmark|fonts-|cmake|xvfb" <<<"$depends"; then fail "Depends has build-only packages: $depends"; fi
for f in Recommends Suggests Pre-Depends; do
  [ -z "$(field "$f")" ] || fail "unexpected $f: $(field "$f")"
done
grep -q "^ Description: top-down football" <<<"$info" || fail "no description: $info"

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' | sort >"$tmp/files"
for want in /usr/bin/flikka /usr/bin/flikka-sim /usr/share/flikka/gfx/pitch.png /usr/share/flikka/gfx/font.png \
            /usr/share/applications/flikka.desktop /usr/share/metainfo/flikka.metainfo.xml \
            /usr/share/icons/hicolor/16x16/apps/flikka.png /usr/share/icons/hicolor/48x48/apps/flikka.png \
            /usr/share/icons/hicolor/256x256/apps/flikka.png \
            /usr/share/man/man6/flikka.6.gz /usr/share/man/man6/flikka-sim.6.gz; do
  grep -qx "$want" "$tmp/files" || fail "the package lacks $want"
done
[ "$(grep -c '^/usr/share/flikka/gfx/.*\.png$' "$tmp/files")" -eq "$(ls "$build"/gfx/*.png | wc -l)" ] ||
  fail "the package does not hold every image of gfx/"
if [ -d "$build/sfx" ]; then
  [ "$(grep -c '^/usr/share/flikka/sfx/.' "$tmp/files")" -gt 0 ] || fail "the build has sfx/ but the package none"
fi
outside=$(grep -v '^/usr/' "$tmp/files" | grep -vx '/' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
stamps=$(grep '/\.[^/]*$' "$tmp/files" || true)
[ -z "$stamps" ] || fail "build stamps in the package: $stamps"

# The programs are stripped, and the text files are valid for the desktop and software centres.
mkdir "$tmp/x"
dpkg-deb -x "$deb" "$tmp/x"
for p in flikka flikka-sim; do
  file "$tmp/x/usr/bin/$p" | grep -q "not stripped" && fail "$p is not stripped"
done
desktop-file-validate "$tmp/x/usr/share/applications/flikka.desktop" || fail "desktop entry does not validate"
# The id is a plain name until the project has a domain of its own for a reverse-DNS one.
appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info \
  "$tmp/x/usr/share/metainfo/flikka.metainfo.xml" >"$tmp/as.txt" 2>&1 || fail "AppStream: $(cat "$tmp/as.txt")"
for page in flikka.6 flikka-sim.6; do
  warnings=$(zcat "$tmp/x/usr/share/man/man6/$page.gz" | groff -man -ww -z -Tutf8 2>&1)
  [ -z "$warnings" ] || fail "$page: $warnings"
done

[ "$failures" -eq 0 ] && echo "deb_package: all passed"
exit $((failures > 0))
