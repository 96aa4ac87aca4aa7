#!/bin/sh
# cpack -G DEB builds the Debian package; its file list and dependencies are checked without
# installing it.
# usage: package_test.sh BUILD_DIR
set -eu
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" > "$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; fail "cpack"; }
deb=$(ls "$out"/tellurix_*_*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' > "$out/files"
for f in ./usr/bin/tellurix ./usr/bin/tellurix-cli ./usr/bin/tellurix-render ./usr/bin/feedgrab \
         ./usr/share/tellurix/feregions.dat ./usr/share/tellurix/help/index.html \
         ./usr/share/applications/tellurix.desktop ./usr/share/mime/packages/tellurix.xml \
         ./usr/share/icons/hicolor/scalable/apps/tellurix.svg ./usr/share/man/man1/tellurix.1; do
  grep -qx "$f" "$out/files" || fail "$f missing from the package"
done
grep -v '^\./usr/' "$out/files" | grep -qv '^\./$' && fail "files outside /usr"
[ "$(dpkg-deb -f "$deb" Package)" = tellurix ] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
# The libraries the programs link, Qt's platform plugins and the downloader feedgrab starts.
for p in libqt6widgets6 libqt6printsupport6 libqt6network6 libgif7 libfftw3-double3 libstdc++6 \
         qt6-qpa-plugins wget; do
  echo "$depends" | tr ',' '\n' | grep -q "^ *$p\b" || fail "Depends lacks $p: $depends"
done
echo "package: ok ($(basename "$deb"))"
