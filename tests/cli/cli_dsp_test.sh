#!/bin/sh
# tellurix-cli filter and spectrum on a generated SVX file.
set -eu
cli="$1"
src="$2"
. "$src/tests/cli/scratch.sh"

/usr/bin/python3 "$src/tools/make_sample_event.py" "$work/one.svx" --samples 3000
/usr/bin/python3 "$src/tools/make_sample_event.py" "$work/three.svx" --channels 3 --samples 2000

"$cli" filter "$work/one.svx" "$work/f.svx" --lowpass 5 --highpass 0.5 --poles 4 || fail "filter"
"$cli" info "$work/f.svx" | grep -q 'IIR Filter BW LP Freq: 5 Hz  Poles: 4' || fail "low-pass history line"
"$cli" info "$work/f.svx" | grep -q 'IIR Filter BW HP Freq: 0.5 Hz  Poles: 4' || fail "high-pass history line"
[ "$("$cli" samples "$work/f.svx" | wc -l)" -eq 3000 ] || fail "filtered sample count"
"$cli" samples "$work/f.svx" | grep -qi 'nan' && fail "NaN in the output"
"$cli" filter "$work/three.svx" "$work/f3.svx" --extended 1,0.707,0.05 || fail "extended period filter"
[ "$("$cli" info "$work/f3.svx" | grep -o 'Sensor Period: 1 s Sensor Q: 0.707 HP Filter: 0.05 Hz' | wc -l)" -eq 3 ] ||
    fail "extended period history on every record"

# Refusals write nothing.
"$cli" filter "$work/one.svx" "$work/bad.svx" --lowpass 80 2> "$work/err" && fail "cut-off above Nyquist accepted"
grep -q 'Error calculating lowpass filter data' "$work/err" || fail "low-pass message"
"$cli" filter "$work/one.svx" "$work/bad.svx" --highpass 1 --poles 33 2> "$work/err" && fail "33 poles accepted"
grep -q 'Invalid Pole Number' "$work/err" || fail "pole message"
"$cli" filter "$work/one.svx" "$work/bad.svx" --lowpass -1 2> /dev/null && fail "negative cut-off accepted"
[ -e "$work/bad.svx" ] && fail "a refused filter wrote a file"
"$cli" filter "$work/one.svx" "$work/bad.svx" 2> /dev/null && fail "no filter named"

"$cli" spectrum "$work/three.svx" --record 1 > "$work/spectrum.txt" || fail "spectrum"
[ "$(wc -l < "$work/spectrum.txt")" -eq 1024 ] || fail "2000 samples pad to 2048: 1024 bins"
head -1 "$work/spectrum.txt" | grep -q '^0 0$' || fail "bin 0 lies below the displayed range"
"$cli" spectrum "$work/three.svx" --dft > "$work/dft.txt" || fail "dft"
[ "$(wc -l < "$work/dft.txt")" -eq 1000 ] || fail "DFT of 2000 samples: 1000 bins"
grep -qi 'nan' "$work/spectrum.txt" "$work/dft.txt" && fail "NaN in a spectrum"
"$cli" spectrum "$work/three.svx" --record 5 2> /dev/null && fail "record 5 does not exist"
echo "cli dsp: ok"
