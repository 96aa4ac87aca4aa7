#!/bin/sh
# tellurix-cli spectrogram and helicorder on a generated SVX file.
set -eu
cli="$1"
src="$2"
. "$src/tests/cli/scratch.sh"

/usr/bin/python3 "$src/tools/make_sample_event.py" "$work/one.svx" --samples 3000

# 3000 samples at 100 samples/s in windows of 256 with 128 shared: 22 segments of 129 bins.
"$cli" spectrogram "$work/one.svx" --window 2.56 --overlap 0.5 --csv "$work/s.csv" > /dev/null || fail "csv"
[ "$(head -1 "$work/s.csv")" = "time,frequency,dB" ] || fail "csv header"
[ "$(wc -l < "$work/s.csv")" -eq $((22 * 129 + 1)) ] || fail "segments times bins"
sed -n 2p "$work/s.csv" | grep -q '^1.280000,0,' || fail "first segment centred at 1.28 s, bin 0"
grep -qi 'nan' "$work/s.csv" && fail "NaN in the spectrogram"
"$cli" spectrogram "$work/one.svx" --window 2.56 --overlap 0.5 | cmp -s - "$work/s.csv" || fail "standard output differs"

"$cli" spectrogram "$work/one.svx" --gif "$work/s.gif" --width 640 --height 400 --log-frequency > /dev/null ||
    fail "spectrogram picture"
head -c 6 "$work/s.gif" | grep -q 'GIF8' || fail "spectrogram GIF"
"$cli" helicorder "$work/one.svx" "$work/h.gif" --minutes-per-line 5 --width 800 --height 300 > /dev/null ||
    fail "helicorder picture"
head -c 6 "$work/h.gif" | grep -q 'GIF8' || fail "helicorder GIF"

# Refusals write nothing.
"$cli" spectrogram "$work/one.svx" --csv "$work/x.csv" --gif "$work/x.gif" 2> /dev/null && fail "csv and gif at once"
"$cli" spectrogram "$work/one.svx" --overlap 1 --csv "$work/x.csv" 2> /dev/null && fail "overlap 1 accepted"
"$cli" spectrogram "$work/one.svx" --window 60 --csv "$work/x.csv" 2> /dev/null && fail "window longer than the record"
"$cli" helicorder "$work/one.svx" "$work/x.gif" --minutes-per-line 7 2> /dev/null && fail "7-minute lines accepted"
[ -e "$work/x.csv" ] || [ -e "$work/x.gif" ] && fail "a refused command wrote a file"
echo "cli spectrogram: ok"
