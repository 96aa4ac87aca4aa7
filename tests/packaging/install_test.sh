#!/bin/sh
# cmake --install into a staging folder: the files in their freedesktop places, a valid desktop
# entry and MIME package, and the installed program running from a folder it cannot write.
# usage: install_test.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$stage/usr" > /dev/null
for f in bin/tellurix bin/tellurix-cli bin/tellurix-render bin/feedgrab \
         share/tellurix/feregions.dat share/tellurix/P.JB share/tellurix/iasp91.dat \
         share/tellurix/help/index.html share/applications/tellurix.desktop \
         share/mime/packages/tellurix.xml share/icons/hicolor/scalable/apps/tellurix.svg \
         share/man/man1/tellurix.1 share/man/man1/tellurix-cli.1 share/man/man1/feedgrab.1; do
  [ -s "$stage/usr/$f" ] || fail "$f not installed"
done
desktop-file-validate "$stage/usr/share/applications/tellurix.desktop" || fail "desktop entry"
grep -qx 'Exec=tellurix %F' "$stage/usr/share/applications/tellurix.desktop" || fail "Exec line"

# The MIME package compiles and maps the event-file names to the types the entry names.
mkdir -p "$stage/mime/packages"
cp "$stage/usr/share/mime/packages/tellurix.xml" "$stage/mime/packages/"
update-mime-database "$stage/mime" 2> /dev/null || fail "MIME package"
grep -q '^50:application/x-svx:\*\.svx$' "$stage/mime/globs2" || fail "*.svx glob"
for type in $(sed -n 's/^MimeType=//p' "$stage/usr/share/applications/tellurix.desktop" | tr ';' ' '); do
  grep -q ":$type:" "$stage/mime/globs2" || fail "$type has no file names"
done

# Every installed tool answers --help and --version; an unknown option is a usage error.
for tool in tellurix tellurix-cli feedgrab; do
  "$stage/usr/bin/$tool" --help | grep -q "$tool" || fail "$tool --help"
  [ "$("$stage/usr/bin/$tool" --version)" = "$tool $(sed -n 's/^project(Tellurix VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")" ] ||
    fail "$tool --version"
done
set +e
"$stage/usr/bin/tellurix" --no-such-option 2> /dev/null; rc=$?
set -e
[ "$rc" = 2 ] || fail "unknown option exit $rc"

# An installed program whose folder cannot be written (a path below a regular file cannot be
# created, even by root) keeps its settings and log in $XDG_CONFIG_HOME/tellurix and reads the
# shipped tables from share/tellurix: the first start asks nothing and draws the event.
/usr/bin/python3 "$source/tools/make_sample_event.py" "$stage/event.svx" --channels 1 > /dev/null
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$stage/config" HOME="$stage"
export TELLURIX_HOME="$stage/usr/share/tellurix/P.JB/bin"
timeout 60 env TLX_STARTUP_TIMING=quit "$stage/usr/bin/tellurix" "$stage/event.svx" > /dev/null ||
  fail "first start of the installed program"
timeout 60 "$stage/usr/bin/tellurix" /g "$stage/event.svx" "$stage/event.gif" || fail "picture mode"
[ -s "$stage/event.gif" ] || fail "no image"
[ -f "$stage/config/tellurix/tlx.log" ] || fail "no log in the config folder"
[ -f "$stage/config/tellurix/TELLURIX.INI" ] || fail "no settings in the config folder"
echo "install: ok"
