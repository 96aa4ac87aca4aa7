#!/bin/sh
# tellurix-cli as users' scripts call it: info, samples and convert on generated SVX files.
set -eu
cli="$1"
src="$2"
. "$src/tests/cli/scratch.sh"

/usr/bin/python3 "$src/tools/make_sample_event.py" "$work/one.svx" --samples 3000
/usr/bin/python3 "$src/tools/make_sample_event.py" "$work/three.svx" --channels 3 --samples 2000

"$cli" info "$work/one.svx" > "$work/info.json" || fail "info exit status"
grep -q '"station":"TLX01"' "$work/info.json" || fail "station missing"
grep -q '"start":"2024-03-01T11:59:50.000Z"' "$work/info.json" || fail "start time"
grep -q '"sampleCount":3000' "$work/info.json" || fail "sample count"
grep -q '"Ml":4.1' "$work/info.json" || fail "event magnitude"

[ "$("$cli" samples "$work/three.svx" --record 2 | wc -l)" -eq 2000 ] || fail "samples of record 2"
"$cli" samples "$work/three.svx" --record 3 2>/dev/null && fail "record 3 does not exist"

"$cli" convert "$work/three.svx" "$work/copy.svx" --to svx4 || fail "convert"
cmp -s "$work/three.svx" "$work/copy.svx" || fail "convert is not byte-exact"

printf 'not an event file at all, just some text of reasonable length...' > "$work/junk.txt"
if "$cli" info "$work/junk.txt" > "$work/junk.json" 2> "$work/junk.err"; then fail "junk accepted"; fi
grep -q 'Unknown file type' "$work/junk.err" || fail "junk message"
"$cli" info "$work/one.svx" "$work/missing.svx" > /dev/null 2>&1 && fail "missing file gives status 0"
echo "cli svx4: ok"
