#!/bin/sh
# tellurix-cli index and search as users' scripts call them, on a generated folder tree.
set -eu
cli="$1"
src="$2"
. "$src/tests/cli/scratch.sh"

mkdir -p "$work/tree/deep/er"
/usr/bin/python3 "$src/tools/make_sample_event.py" "$work/tree/one.svx" --samples 600
/usr/bin/python3 "$src/tools/make_sample_event.py" "$work/tree/deep/er/two.svx" --samples 600 --channels 3
printf 'not an event file, only text of some length to be looked at by the loader....\n' > "$work/tree/notes.txt"

"$cli" index "$work/tree" --out "$work/eventdb.dat" > "$work/out.txt" || fail "index exit status"
grep -qx 'Database File Created - 2 Records' "$work/out.txt" || fail "index message"
[ "$(head -1 "$work/eventdb.dat")" = "Records: 000002" ] || fail "record count line"

# The sample events are Ml 4.1 at 80 km and 12 km depth on station TLX01, component Z, 03/01/2024.
search() { "$cli" search "$@" 2>/dev/null | sed "s|$work/tree/||"; }
[ "$(search --db "$work/eventdb.dat" --min-mag 4 --max-dist 100 | tr '\n' ' ')" = "one.svx deep/er/two.svx " ] ||
  fail "database search"
[ -z "$(search --db "$work/eventdb.dat" --max-mag 4)" ] || fail "magnitude bound"
[ -z "$(search --db "$work/eventdb.dat" --from 03/02/24)" ] || fail "date bound"
[ -z "$(search --db "$work/eventdb.dat" --components NE)" ] || fail "component"
[ "$(search --db "$work/eventdb.dat" --station tlx* --max 1)" = "one.svx" ] || fail "station pattern and maximum"
[ "$(search --root "$work/tree" --min-mag 4 | wc -l)" -eq 2 ] || fail "live search"
[ "$(search --root "$work/tree" --no-subdirs --min-mag 4)" = "one.svx" ] || fail "live search without subfolders"
[ -z "$(search --root "$work/tree" --min-depth 1)" ] || fail "live search needs a magnitude or distance bound"

# A damaged line is skipped; a missing database is an error.
sed -i '4s/,Z,/,ZZ,/' "$work/eventdb.dat"
[ "$(search --db "$work/eventdb.dat" --min-mag 4)" = "deep/er/two.svx" ] || fail "damaged line"
"$cli" search --db "$work/none.dat" 2>&1 | grep -q 'Error Opening Database File' || fail "missing database"
echo "cli browser: ok"
