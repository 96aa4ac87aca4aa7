#!/bin/sh
# tellurix-cli readout on the bundled sample: the window's read-out checked against what the
# generator put into the file (event, onsets, station) and against the other console commands.
set -eu
cli="$1"
src="$2"
shared="${3:-}"
. "$src/tests/cli/scratch.sh"
py=/usr/bin/python3
# field FILE EXPR: a value of the JSON object in FILE ("j" in EXPR)
field() { "$py" -c "import json,sys; j=json.load(open(sys.argv[1])); print($2)" "$1"; }
near() { "$py" -c "import sys; a,b,t=map(float,sys.argv[1:]); sys.exit(abs(a-b)>t)" "$1" "$2" "$3"; }

"$py" "$src/tools/make_sample_event.py" "$work/three.svx" --channels 3
"$py" "$src/tools/make_sample_event.py" "$work/one.svx"

# P-S Location: the generator's onsets (P 14.05 s after the 12:00:00 origin, S 9.50 s later) and
# its event 47.9N 7.8E, 12 km deep, seen from the station at 47.3769N 8.5417E.
"$cli" readout "$work/three.svx" > "$work/located.json" || fail "readout exit status"
near "$(field "$work/located.json" "j['sp']")" 9.50 0.01 || fail "S-P: $(cat "$work/located.json")"
near "$(field "$work/located.json" "j['pTravelTime']")" 14.05 0.01 || fail "P travel time"
[ "$(field "$work/located.json" "j['origin']")" = "2024-03-01T12:00:00.000Z" ] || fail "origin time"
[ "$(field "$work/located.json" "j['table'], j['depth'], j['region']")" = "regional 12 Switzerland" ] || fail "table, depth, region"
km=$("$py" -c "
import math
a, b, c, d = map(math.radians, (47.3769, 8.5417, 47.9, 7.8))
print(math.degrees(math.acos(math.sin(a) * math.sin(c) + math.cos(a) * math.cos(c) * math.cos(d - b))) * 111.1775)")
near "$(field "$work/located.json" "j['km']")" "$km" 0.5 || fail "distance against the great circle $km km"
# the same distance as the sp command gives for that S-P time
sp=$(field "$work/located.json" "j['sp']")
"$cli" sp "$sp" --table regional --depth 12 > "$work/sp.json"
near "$(field "$work/located.json" "j['degrees']")" "$(field "$work/sp.json" "j['degrees']")" 1e-9 || fail "degrees differ from sp"
# Ml of the record with the largest peak (C = 0.0004 in the file) as the magnitude command gives it
"$cli" info "$work/three.svx" > "$work/info.json"
amp=$(field "$work/info.json" "max((max(abs(r['dataMin']), abs(r['dataMax'])), max(abs(r['dataMin'] - r['dataMean']), abs(r['dataMax'] - r['dataMean']))) for r in j['records'])[1]")
"$cli" magnitude --type ml --distance "$(field "$work/located.json" "j['km']")" --depth 12 --amplitude "$amp" \
  --correction 0.0004 > "$work/ml.json"
near "$(field "$work/located.json" "j['magnitudes']['Ml']")" "$(field "$work/ml.json" "j['byCorrection']")" 1e-6 || fail "Ml"
field "$work/located.json" "j['line']" | grep -q "Diff: 09.50sec  Dist: 80.6km 50.1mi 0.725deg Mag: Ml4.1  Reg: " || fail "line"

# Given picks give the same numbers.
"$cli" readout "$work/one.svx" --p 12:00:14.05 --s 12:00:23.55 --table regional --depth 12 > "$work/picked.json"
near "$(field "$work/picked.json" "j['degrees']")" "$(field "$work/sp.json" "j['degrees']")" 0.001 || fail "picked degrees"

# A record across midnight: times before its start are on the next day.
"$py" - "$work/one.svx" "$work/midnight.svx" "$src/tools" <<'PY'
import sys
sys.path.insert(0, sys.argv[3])
from make_sample_event import crc16_xmodem
data = bytearray(open(sys.argv[1], "rb").read())
data[16] = 23  # start hour: 23:59:50
body = bytes(data[:-2])
open(sys.argv[2], "wb").write(body + crc16_xmodem(body).to_bytes(2, "little"))
PY
"$cli" readout "$work/midnight.svx" --p 23:59:59.00 --s 00:00:08.50 --table regional --depth 12 > "$work/night.json"
[ "$(field "$work/night.json" "j['s'], j['sp']")" = "2024-03-02T00:00:08.500Z 9.5" ] || fail "S after midnight: $(cat "$work/night.json")"
"$cli" readout "$work/midnight.svx" --p 00:00:04.05 --s 00:00:13.55 --table regional --depth 12 > "$work/after.json"
[ "$(field "$work/after.json" "j['p'], j['origin']")" = "2024-03-02T00:00:04.050Z 2024-03-01T23:59:50.002Z" ] \
  || fail "origin before midnight: $(cat "$work/after.json")"
"$cli" readout "$work/midnight.svx" --p 12:00:00 --s 12:00:09 2>/dev/null && fail "a pick outside the record accepted"
# render goes through the same session, drawn by tellurix-render beside the console tool.
if [ -x "$(dirname "$cli")/tellurix-render" ]; then
  "$cli" render "$work/three.svx" "$work/three.gif" --p 12:00:14.05 --s 12:00:23.55 > /dev/null 2>&1 || fail "render"
  [ "$(head -c 4 "$work/three.gif")" = "GIF8" ] || fail "render wrote no GIF image"
fi

# A real SAC file (2011 Tohoku event at TLY): P-S Location and the read-out give back the file's
# origin time and the great-circle distance.
tly="$shared/waveforms/sac/obspy/II.TLY.BHZ.SAC"
if [ -f "$tly" ]; then
  "$cli" readout "$tly" > "$work/tly.json" || fail "readout of $tly"
  [ "$(field "$work/tly.json" "j['origin'][:19], j['table']")" = "2011-03-11T05:46:23 teleseismic" ] || fail "TLY origin"
  "$cli" distance 51.6807 103.6438 38.3215 142.3693 > "$work/tly-distance.json"
  near "$(field "$work/tly.json" "j['km']")" "$(field "$work/tly-distance.json" "j['km']")" 1 || fail "TLY distance"
else
  echo "skipped the real SAC file: $tly is absent"
fi
echo "cli readout: ok"
