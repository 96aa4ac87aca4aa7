#!/bin/sh
# tellurix-cli set and picks as users' scripts call them: edits checked with info, refusals leave
# the file byte for byte, and formats without a writer are refused.
set -eu
cli="$1"
src="$2"
shared="${3:-}"
. "$src/tests/cli/scratch.sh"
py=/usr/bin/python3
# field FILE EXPR: a value of the JSON object in FILE ("r" is its first record, "q" its second)
field() { "$py" -c "import json,sys; j=json.load(open(sys.argv[1])); r=j['records'][0]; q=j['records'][-1]; print($2)" "$1"; }

"$py" "$src/tools/make_sample_event.py" "$work/one.svx" --samples 3000
"$py" "$src/tools/make_sample_event.py" "$work/vol.svx" --channels 3 --samples 4000
"$cli" convert "$work/one.svx" "$work/one.sac" --to sac >/dev/null || fail "convert to SAC"
"$cli" convert "$work/one.svx" "$work/one.txt" --to ascii >/dev/null || fail "convert to SVX ASCII"

# refused MESSAGE ARGS...: set exits 1 with the sheet's message and leaves each file as it was.
refused() {
    message="$1"
    shift
    for f in one.svx one.sac one.txt; do
        cp "$work/$f" "$work/before"
        if "$cli" set "$work/$f" "$@" 2> "$work/err"; then fail "$f accepted $*"; fi
        grep -q "$message" "$work/err" || fail "$f: $* gave $(cat "$work/err")"
        cmp -s "$work/before" "$work/$f" || fail "$f changed by the refused $*"
    done
}
refused "Bad Latitude Information" --latitude 45.5:30N --comment fine
refused "Bad Elevation Information" --elevation 300001
refused "Bad Sensitivity Information" --sensitivity -1
refused "Bad Event Depth Information" --event "05/27/2018 10:00:00" 34N 118W 1000.1 ML 4
refused "Bad Event Time Information" --event "05/27/2018" 34N 118W 10 ML 4
refused "Bad Event Magnitude Information" --event "05/27/2018 10:00:00" 34N 118W 10 ML 12

# Accepted edits, written back in each file's own format.
for f in one.svx one.sac one.txt; do
    "$cli" set "$work/$f" --latitude "45:30N" --longitude "120 W" --elevation 250 --component BHN \
        --sensor-type velocity --comment "moved" \
        --event "03/01/24 11:59:45.5" 34.5N 118W 10 ML 4.2 >/dev/null || fail "set $f"
    "$cli" info "$work/$f" > "$work/info.json"
    [ "$(field "$work/info.json" "r['latitude'], r['longitude'], r['elevation'], r['component']")" = "45.5 -120 250 BHN" ] ||
        fail "$f station: $(cat "$work/info.json")"
    # SAC keeps one magnitude without its type.
    [ "$(field "$work/info.json" "r['events'][0]['time'], list(r['events'][0]['magnitudes'].values())")" = "2024-03-01T11:59:45.500Z [4.2]" ] ||
        fail "$f event: $(cat "$work/info.json")"
done
[ "$(field "$work/info.json" "j['format']")" = "SVX ASCII" ] || fail "the text file stays text"
# convert writes big-endian SAC; written back, it stays so (DELTA, the first word, is 0.01).
"$py" -c "import struct,sys; sys.exit(abs(struct.unpack('>f', open(sys.argv[1],'rb').read(4))[0] - 0.01) > 1e-6)" "$work/one.sac" ||
    fail "the SAC file changed its byte order"

# A volume: station position to every record, the component to the chosen record only.
"$cli" set "$work/vol.svx" --record 3 --latitude 10S --component XYZ >/dev/null || fail "set volume"
"$cli" info "$work/vol.svx" > "$work/vol.json"
[ "$(field "$work/vol.json" "j['format'], len(j['records']), r['latitude'], q['latitude'], r['component'], q['component']")" = "SVX data-set volume 3 -10 -10 HHZ XYZ" ] ||
    fail "volume: $(cat "$work/vol.json")"

# Picks as Picks > Save stores them, in every record, and removed again.
"$cli" picks "$work/vol.svx" --p 12:00:14.05 --s 12:00:23.55 --table regional --depth 12 >/dev/null || fail "picks"
"$cli" info "$work/vol.svx" > "$work/picks.json"
[ "$(field "$work/picks.json" "[(p['phase'], p['time'], p['flags'], p['depth']) for p in q['picks']]")" = \
  "[('P', '2024-03-01T12:00:14.050Z', 1, 12), ('S', '2024-03-01T12:00:23.550Z', 1, 12)]" ] ||
    fail "picks: $(cat "$work/picks.json")"
"$cli" picks "$work/one.sac" --p 12:00:14 >/dev/null || fail "picks on SAC"
"$cli" picks "$work/vol.svx" --clear >/dev/null || fail "clear"
[ "$(field "$work/vol.json" "len(r['picks'])")" = 0 ] || fail "cleared picks"
cp "$work/vol.svx" "$work/before"
if "$cli" picks "$work/vol.svx" --p 23:00:00 2>/dev/null; then fail "a pick outside the record"; fi
cmp -s "$work/before" "$work/vol.svx" || fail "refused picks changed the file"

# A format without a writer is refused, untouched.
mseed="$shared/waveforms/mseed/obspy/BW.BGLD.__.EHE.D.2008.001.first_10_records"
if [ -f "$mseed" ]; then
    cp "$mseed" "$work/event.mseed"
    if "$cli" set "$work/event.mseed" --comment x 2> "$work/err"; then fail "miniSEED written back"; fi
    grep -q "miniSEED files cannot be written back" "$work/err" || fail "miniSEED refusal: $(cat "$work/err")"
    cmp -s "$mseed" "$work/event.mseed" || fail "the miniSEED file changed"
else
    echo "cli set/picks: $mseed absent, the refusal of a format without a writer is not checked"
fi
echo "cli set/picks: ok"
