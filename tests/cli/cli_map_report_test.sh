#!/bin/sh
# tellurix-cli map-report: the report Make Event Report makes for a point, on the bundled sample
# (event 47.9N 7.8E, origin 12:00:00, 12 km deep), and the two refusals with their messages.
set -eu
cli="$1"
src="$2"
. "$src/tests/cli/scratch.sh"
py=/usr/bin/python3
field() { "$py" -c "import json,sys; j=json.load(open(sys.argv[1])); print($2)" "$1"; }

"$py" "$src/tools/make_sample_event.py" "$work/three.svx" --channels 3
"$cli" map-report "$work/three.svx" 47.9 7.8 > "$work/made.json" || fail "exit status"
"$cli" readout "$work/three.svx" > "$work/readout.json"
[ "$(field "$work/made.json" "j['origin'], j['latitude'], j['longitude'], j['depth'], j['comment']")" = \
  "2024-03-01T12:00:00.000Z 47.9 7.8 12 Switzerland" ] || fail "report: $(cat "$work/made.json")"
[ "$(field "$work/made.json" "j['magnitudes']")" = "$(field "$work/readout.json" "j['magnitudes']")" ] || fail "magnitudes"
# The stored comment: magnitude, the rounded distance from the station (47.3769N 8.5417E), region.
"$cli" distance 47.3769 8.5417 47.9 7.8 > "$work/distance.json"
km=$(field "$work/distance.json" "round(j['km'])")
field "$work/made.json" "j['recordComment']" | grep -q "^Ml4.1 ${km}km from .*, Switzerland$" || fail "record comment"

# Off the globe, and markers without a distance (S on P).
"$cli" map-report "$work/three.svx" 95 7.8 > /dev/null 2> "$work/err1.txt" && fail "accepted latitude 95"
grep -q "Mouse Location Error" "$work/err1.txt" || fail "message: $(cat "$work/err1.txt")"
"$cli" map-report "$work/three.svx" 47.9 7.8 --p 12:00:14.05 --s 12:00:14.05 > /dev/null 2> "$work/err2.txt" &&
  fail "accepted markers without a distance"
grep -q "Error getting event time and magnitude" "$work/err2.txt" || fail "message: $(cat "$work/err2.txt")"
echo ok
