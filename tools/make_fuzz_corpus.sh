#!/bin/sh
# Seed corpora for the fuzz targets, made from the generators (nothing is downloaded).
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
out="$1"
# Committed seeds: fuzz/corpus/NAME/ feeds the target fuzz_NAME.
for dir in "$src"/fuzz/corpus/*/; do
  name=$(basename "$dir")
  mkdir -p "$out/fuzz_$name"
  cp "$dir"* "$out/fuzz_$name/"
done
# Generated seeds.
mkdir -p "$out/fuzz_svx4"
/usr/bin/python3 "$src/tools/make_sample_event.py" "$out/fuzz_svx4/one.svx" --samples 200
/usr/bin/python3 "$src/tools/make_sample_event.py" "$out/fuzz_svx4/three.svx" --channels 3 --samples 120
# Real MINISEED and SEED files from the shared reference data (copied, never committed).
shared="${TLX_SHARED_DATA:-$src/../shared/data}"
if [ -d "$shared/waveforms" ]; then
  mkdir -p "$out/fuzz_miniseed" "$out/fuzz_seed"
  for f in "$shared"/waveforms/mseed/*/*; do
    case "$f" in *.txt) continue ;; esac
    [ "$(wc -c < "$f")" -le 65536 ] && cp "$f" "$out/fuzz_miniseed/"
  done
  for f in "$shared"/waveforms/seed/*/*; do
    [ -f "$f" ] || continue
    case "$f" in *.txt) continue ;; esac
    cp "$f" "$out/fuzz_seed/"
  done
fi
