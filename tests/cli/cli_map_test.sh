#!/bin/sh
# tellurix-cli map: the map window's picture as a GIF of the asked size; bad options are refused.
set -eu
cli="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
py=/usr/bin/python3

"$cli" map "$work/m.gif" --center 47.4 8.5 --scale 500 --width 640 --height 480 \
  --station 47.37 8.54 1.5 --station 46.2 7.4 1.0 --event 46.9 8.1 > "$work/out.txt" 2>/dev/null || fail "exit status"
[ "$(cat "$work/out.txt")" = "$work/m.gif" ] || fail "printed name"
# GIF87a, logical screen 640 x 480 (little-endian), global 256-colour table
"$py" -c "
import sys
b = open(sys.argv[1], 'rb').read()
assert b[:6] == b'GIF87a', b[:6]
assert int.from_bytes(b[6:8], 'little') == 640 and int.from_bytes(b[8:10], 'little') == 480
assert b[10] == 0xF7 and b[-1:] == b';'
" "$work/m.gif" || fail "GIF header"
for bad in "--scale -5" "--center 95 0" "--station 1 2" "--width 50"; do
  # shellcheck disable=SC2086
  if "$cli" map "$work/x.gif" $bad > /dev/null 2>&1; then fail "accepted $bad"; fi
  [ ! -e "$work/x.gif" ] || fail "wrote a picture for $bad"
done
echo ok
