#!/usr/bin/python3
"""Small SAC files (both byte orders) and a GSE2.0 message as fuzzing seeds.

Usage: make_format_seeds.py SAC_DIR GSE2_DIR
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_cm6_vectors import checksum, cm6_text  # noqa: E402


def sac(order, npts=64):
    floats = [-12345.0] * 70
    floats[0] = 0.01
    floats[5] = 0.0
    floats[31], floats[32], floats[33] = 47.25, 8.5, 420.0
    floats[35], floats[36], floats[38], floats[7], floats[39] = 40.0, 10.0, 12000.0, -30.0, 4.5
    ints = [-12345] * 40
    ints[0:6] = [2024, 60, 10, 20, 30, 250]
    ints[6], ints[9], ints[15], ints[16], ints[35] = 6, npts, 1, 7, 1
    texts = [b"-12345  "] * 24
    texts[0] = b"STA1    "
    texts[1], texts[2] = b"H24060102", b"0Z      "
    texts[20], texts[21] = b"BHZ     ", b"XX      "
    samples = [1000.0 * math.sin(0.2 * i) for i in range(npts)]
    return (struct.pack(order + "70f", *floats) + struct.pack(order + "40i", *ints) + b"".join(t[:8].ljust(8) for t in texts)
            + struct.pack(order + "%df" % npts, *samples))


def wid2(station, channel, fmt, count):
    return ("WID2 2024/02/29 23:59:05.123 %-5s %-3s      %-3s %8d %11.6f %10.2e %7.3f %-6s %5.1f %4.1f\n"
            % (station, channel, fmt, count, 100.0, 0.25, 1.0, "LE-3D", -1.0, 0.0))


def gse2():
    a = [int(300 * math.sin(0.1 * i)) for i in range(80)]
    b = [int(50 * math.cos(0.3 * i)) - 7 for i in range(60)]
    text = "BEGIN GSE2.0\nMSG_TYPE DATA\nDATA_TYPE WAVEFORM GSE2.0\n"
    text += wid2("STA1", "SHZ", "CM6", len(a)) + "DAT2\n" + cm6_text(a) + "CHK2 %8d\n" % checksum(a)
    text += wid2("STA2", "BN ", "INT", len(b)) + "DAT2\n" + " ".join(map(str, b)) + "\nCHK2 %8d\n" % checksum(b)
    return (text + "STOP\n").encode()


def main():
    sac_dir, gse_dir = sys.argv[1], sys.argv[2]
    os.makedirs(sac_dir, exist_ok=True)
    os.makedirs(gse_dir, exist_ok=True)
    with open(os.path.join(sac_dir, "little.sac"), "wb") as f:
        f.write(sac("<"))
    with open(os.path.join(sac_dir, "big.sac"), "wb") as f:
        f.write(sac(">"))
    with open(os.path.join(gse_dir, "two.gse"), "wb") as f:
        f.write(gse2())


if __name__ == "__main__":
    main()
