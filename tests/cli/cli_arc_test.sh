#!/bin/sh
# tellurix-cli arc: a record's P pick and its station added to the locator's files, a pick too
# far from the first refused with the file left as it was, and a real phase file listed.
set -eu
cli="$1"
src="$2"
shared="${3:-}"
. "$src/tests/cli/scratch.sh"
py=/usr/bin/python3
"$py" "$src/tools/make_sample_event.py" "$work/one.svx"
printf '202403011200 0000\nAAA  XX  BHZ P  1202403011200 1000\n   end\n' > "$work/p.arc"
: > "$work/sta.hinv"

"$cli" arc "$work/p.arc" --add "$work/one.svx" --p 12:00:14.05 --stations "$work/sta.hinv" > "$work/out.json" ||
  fail "add exit status"
"$py" - "$work/out.json" <<'PY' || fail "picks: $(cat "$work/out.json")"
import json, sys
p = json.load(open(sys.argv[1]))
assert [x["name"] for x in p] == ["AAA.BHZ", "TLX01.HHZ"], p
assert p[1]["time"] == "2024.03.01 12:00:14.05" and p[1]["label"] == "<Full>", p
assert abs(p[1]["latitude"] - 47.3769) < 1e-4 and abs(p[1]["longitude"] - 8.5417) < 1e-4, p
PY
line=$(sed -n 3p "$work/p.arc")
[ "$(printf '%s' "$line" | cut -c1-34)" = "TLX01CH  HHZ  P 0202403011200 1405" ] || fail "phase line: $line"
[ "$(sed -n 4p "$work/p.arc")" = "   end" ] || fail "closing line moved"
[ "$(cut -c1-38 "$work/sta.hinv")" = "TLX01 CH  HHZ  47 22.6140N  8 32.5020E" ] || fail "station line: $(cat "$work/sta.hinv")"

cp "$work/p.arc" "$work/before.arc"
if "$cli" arc "$work/p.arc" --add "$work/one.svx" --p 12:05:10.01 2> "$work/err.txt"; then fail "a pick 300.01 s after the first was taken"; fi
grep -q "Phase time > 5 minutes from first phase" "$work/err.txt" || fail "message: $(cat "$work/err.txt")"
cmp -s "$work/p.arc" "$work/before.arc" || fail "a refused pick changed the file"
if "$cli" arc "$work/p.arc" --add "$work/one.svx" 2>/dev/null; then fail "--add without --p"; fi

if [ -n "$shared" ] && [ -f "$shared/hyp2000/test_hew10.arc" ]; then
  n=$("$cli" arc "$shared/hyp2000/test_hew10.arc" | "$py" -c "import json,sys; print(len(json.load(sys.stdin)))")
  [ "$n" = 20 ] || fail "test_hew10.arc lists $n picks"
fi
echo "cli_arc: ok"
