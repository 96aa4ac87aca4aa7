#!/usr/bin/env python3
"""Writes the bundled sample event: a synthetic local earthquake recorded by a school station,
as an SVX Type 4 file built field by field from the published layout (standard library only).

usage: make_sample_event.py OUT.svx [--channels 1|2|3] [--samples N] [--seed S]
"""
import argparse
import math
import random
import struct

HEADER = struct.Struct("<8si HBBBBBBi dd ii 3scBB dd cB ddd 6s4s6s dd h ddd")
assert HEADER.size == 154


def crc16_xmodem(data):
    crc = 0
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021) & 0xFFFF if crc & 0x8000 else (crc << 1) & 0xFFFF
    return crc


def block(kind, payload):
    return struct.pack("<Bbi", 0x55, kind, len(payload)) + payload


def text_block(kind, text):
    return block(kind, text.encode("latin-1") + b"\0")


def event_time(year, month, day, hour, minute, second, nanos):
    return struct.pack("<HBBBBBBi", year, month, day, hour, minute, second, 0, nanos)


def synthetic_trace(count, sps, p_at, s_at, rng, component):
    """Noise, a P onset and a larger S onset with exponentially decaying codas."""
    trace = []
    p_amp, s_amp = (9000.0, 30000.0) if component == "Z" else (4000.0, 45000.0)
    for i in range(count):
        t = i / sps
        v = rng.gauss(0.0, 60.0) + 80.0 * math.sin(2 * math.pi * 0.17 * t)
        if t >= p_at:
            dt = t - p_at
            v += p_amp * math.exp(-dt / 3.0) * math.sin(2 * math.pi * 6.0 * dt) * (1 - math.exp(-dt * 20))
        if t >= s_at:
            dt = t - s_at
            v += s_amp * math.exp(-dt / 7.0) * math.sin(2 * math.pi * 2.5 * dt + 0.3) * (1 - math.exp(-dt * 8))
        trace.append(int(round(v)))
    return trace


def channel_bytes(component, samples, sps):
    start = (2024, 3, 1, 11, 59, 50, 0, 0)  # year .. second, reserved, nanoseconds
    var = b"".join([
        text_block(1, "School basement, Tellurix demo station"),
        text_block(2, "Short-period seismometer, 1 Hz"),
        text_block(3, "Synthetic local event for demonstrations"),
        text_block(7, "24-bit recorder"),
        block(4, event_time(2024, 3, 1, 12, 0, 0, 0) + struct.pack("<ddd6h4sBBH6s",
              47.9, 7.8, 12.0, 0, 0, 0, 410, 0, 0, b"", 1, ord("B"), 0, b"SED")),
        block(13, b"CH\0\0" + b"00\0\0"),
    ]) + block(0, b"")
    orientation = component[-1]
    incident, azimuth = {"Z": (0.0, 0.0), "N": (90.0, 0.0), "E": (90.0, 90.0)}[orientation]
    values = [float(v) for v in samples]
    header = HEADER.pack(
        b"SVXTYPE4", len(var), *start, 0.0, sps, len(samples), 0, b"GPS", b"L", 1, 0,
        incident, azimuth, orientation.encode(), 2, 47.3769, 8.5417, 408.0,
        b"TLX01", component.encode(), b"CH", 2.5e-7, 0.0004, 24,
        min(values), max(values), sum(values) / len(values))
    body = header + var + struct.pack("<%di" % len(samples), *samples)
    return body + struct.pack("<H", crc16_xmodem(body))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("--channels", type=int, default=1, choices=(1, 2, 3))
    parser.add_argument("--samples", type=int, default=12000)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    sps = 100.0
    rng = random.Random(args.seed)
    components = ["HHZ", "HHN", "HHE"][: args.channels]
    # Onsets where the regional tables put them for this station and event: 80.6 km, depth 12 km,
    # P after 14.05 s and S 9.50 s later; the record starts 10 s before the origin time.
    p_at, s_at = 10.0 + 14.05, 10.0 + 14.05 + 9.50
    images = [channel_bytes(c, synthetic_trace(args.samples, sps, p_at, s_at, rng, c[-1]), sps) for c in components]
    with open(args.out, "wb") as out:
        if args.channels == 1:
            out.write(images[0])
        else:
            out.write(b"SVXVOLUME1" + struct.pack("<H", args.channels) + b"".join(images))


if __name__ == "__main__":
    main()
