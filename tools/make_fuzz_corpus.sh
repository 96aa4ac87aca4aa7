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
# SAC and GSE2.0: generated seeds, plus the shared reference files when they are present.
/usr/bin/python3 "$src/tools/make_format_seeds.py" "$out/fuzz_sac" "$out/fuzz_gse2"
shared="${TLX_SHARED_DATA:-$src/../shared/data}"
if [ -d "$shared/waveforms/sac" ]; then
  find "$shared/waveforms/sac" -type f -size -64k -exec cp {} "$out/fuzz_sac/" \;
  find "$shared/waveforms/gse2" -type f -size -64k -exec cp {} "$out/fuzz_gse2/" \;
fi
# The shipped tables as seeds of their readers.
mkdir -p "$out/fuzz_phase_table" "$out/fuzz_regions"
cp "$src/data/P_b.JB" "$src/data/S.JB" "$out/fuzz_phase_table/"
cp "$src/data/feregions.dat" "$out/fuzz_regions/"
# Real MINISEED and SEED files from the shared reference data (copied, never committed).
if [ -d "$shared/waveforms" ]; then
  mkdir -p "$out/fuzz_miniseed" "$out/fuzz_seed"
  for f in "$shared"/waveforms/mseed/*/*; do
    case "$f" in *.txt) continue ;; esac
    [ "$(wc -c < "$f")" -le 65536 ] && cp "$f" "$out/fuzz_miniseed/"
  done
  # The helicorder's whole-channel pass reads the same files.
  mkdir -p "$out/fuzz_whole_channel"
  cp "$out"/fuzz_miniseed/* "$out/fuzz_whole_channel/" 2> /dev/null || true
  for f in "$shared"/waveforms/seed/*/*; do
    [ -f "$f" ] || continue
    case "$f" in *.txt) continue ;; esac
    cp "$f" "$out/fuzz_seed/"
  done
fi
