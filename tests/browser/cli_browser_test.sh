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
# upgrade (the browser's Convert): a short archive name becomes the long name; --plan changes nothing.
mkdir "$work/old"
cp "$work/tree/one.svx" "$work/old/240301a.tlx"
"$cli" upgrade "$work/old/240301a.tlx" --plan --file-time | grep -Fq "\"target\":\"$work/old/240301.115950.tlx01.svx\"" ||
  fail "upgrade plan"
[ -f "$work/old/240301a.tlx" ] || fail "the plan changed a file"
"$cli" upgrade "$work/old/240301a.tlx" --file-time > /dev/null || fail "upgrade exit status"
[ -f "$work/old/240301.115950.tlx01.svx" ] && [ ! -e "$work/old/240301a.tlx" ] || fail "upgrade rename"
"$cli" upgrade "$work/tree/one.svx" 2>&1 > /dev/null | grep -q 'No SVX Type 2 or 3' || fail "nothing to upgrade"
echo "cli browser: ok"
