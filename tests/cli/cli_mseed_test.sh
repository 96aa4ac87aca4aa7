#!/bin/sh
# convert --to mseed: every channel into one miniSEED file that reads back with the same samples.
set -eu
cli="$1"
src="$2"
. "$src/tests/cli/scratch.sh"

/usr/bin/python3 "$src/tools/make_sample_event.py" "$work/three.svx" --channels 3 --samples 2000

for enc in steim2 float64; do
    "$cli" convert "$work/three.svx" "$work/$enc.mseed" --to mseed --record-length 512 --encoding $enc ||
        fail "convert $enc"
    [ $(($(wc -c < "$work/$enc.mseed") % 512)) -eq 0 ] || fail "$enc: not whole 512-byte records"
    for r in 0 2; do
        "$cli" samples "$work/three.svx" --record $r > "$work/svx.txt"
        "$cli" samples "$work/$enc.mseed" --record $r > "$work/mseed.txt"
        # The miniSEED reader removes the truncated mean: the samples differ by one whole number.
        paste "$work/svx.txt" "$work/mseed.txt" |
            awk 'NR == 1 { d = $1 - $2 } $1 - $2 != d || d != int(d) { bad = 1 } END { exit bad || NR != 2000 }' ||
            fail "$enc: record $r samples differ"
    done
done
"$cli" convert "$work/three.svx" "$work/bad.mseed" --to mseed --record-length 1000 2>/dev/null &&
    fail "record length 1000 accepted"
[ -e "$work/bad.mseed" ] && fail "a refused conversion left a file"
echo "cli mseed: ok"
