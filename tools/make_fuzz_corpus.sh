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
# Real locator phase files as seeds of the locator files' reader (first byte 0 picks the phase file).
if [ -d "$shared/hyp2000" ]; then
  for f in "$shared"/hyp2000/*.arc; do
    { printf '\000'; cat "$f"; } > "$out/fuzz_locator_files/$(basename "$f")"
  done
fi
# Real MINISEED and SEED files from the shared reference data (copied, never committed).
if [ -d "$shared/waveforms" ]; then
  mkdir -p "$out/fuzz_miniseed" "$out/fuzz_seed"
  for f in "$shared"/waveforms/mseed/*/*; do
    case "$f" in *.txt) continue ;; esac
    [ "$(wc -c < "$f")" -le 65536 ] && cp "$f" "$out/fuzz_miniseed/"
  done
  # miniSEED 3 records, and each encoding's data section behind the decoder target's 4-byte head.
  mkdir -p "$out/fuzz_mseed3" "$out/fuzz_mseed_encodings"
  cp "$shared"/waveforms/mseed3/*/*.mseed3 "$out/fuzz_mseed3/"
  /usr/bin/python3 - "$shared/waveforms/mseed/libmseed" "$out/fuzz_mseed_encodings" <<'PY'
import pathlib, struct, sys
for f in sorted(pathlib.Path(sys.argv[1]).glob("*.mseed")):
    b = f.read_bytes()
    be = b[20] in (7, 8)
    o = ">" if be else "<"
    count, data, blk = struct.unpack_from(o + "H", b, 30)[0], *struct.unpack_from(o + "HH", b, 44)
    if struct.unpack_from(o + "H", b, blk)[0] != 1000:
        continue
    head = bytes([b[blk + 4], b[blk + 5] & 1]) + struct.pack(">H", min(count, 65535))
    (pathlib.Path(sys.argv[2]) / f.name).write_bytes(head + b[data:data + 4032])
PY
  # The helicorder's whole-channel pass reads the same files.
  mkdir -p "$out/fuzz_whole_channel"
  cp "$out"/fuzz_miniseed/* "$out/fuzz_whole_channel/" 2> /dev/null || true
  for f in "$shared"/waveforms/seed/*/*; do
    [ -f "$f" ] || continue
    case "$f" in *.txt) continue ;; esac
    cp "$f" "$out/fuzz_seed/"
  done
fi
