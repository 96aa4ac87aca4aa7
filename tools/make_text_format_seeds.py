#!/usr/bin/python3
"""Writes small seed files of the SVX ASCII, SVX Type 3, PEPP, AH and SENSOR.DAT formats from
their layouts, one folder per fuzz target: make_text_format_seeds.py OUT_DIR."""
import os
import struct
import sys


def put(buf, offset, fmt, value):
    struct.pack_into("<" + fmt, buf, offset, value)


def ascii_v2(count=60):
    lines = ["! SVX ASCII Event File Format 2.0", "Start Time: 2024/03/01 12:00:05.250", "Number of Samples: %d" % count,
             "SPS: 20", "Lock Indicator: L", "Time Reference Type: GPS", "Comment: seed", "Sensor Location: here",
             "Sensor Latitude: 47.5", "Sensor Orientation: Z", "Sensor Type: Velocity", "Sensor ID: SEED",
             "Event Information: 2024/03/01,11:59:00.000,47.9,7.8,12,0,0,0,410,0,0,,1,66,0,SED",
             "Pick Information: 2024/03/01,12:00:09.500,P,1,512,,15", "Data:"]
    lines += [str((i * 37) % 200 - 100) for i in range(count)]
    return ("\n".join(lines) + "\n").encode()


def ascii_v1(count=60):
    lines = ["! SVX ASCII Event File Format 1.0", "Start Time: 2001/02/03 10:00:00.5", "Number of Samples: %d" % count,
             "SPS: 20", "Sensor Orientation: n", "Event Time: 2001/02/03 09:59:30.2", "Event Magnitude: Ml 4.2",
             "PS Pick Information: 125 200 1 1 0", "Md Duration: 300", "Data:"]
    lines += ["%d" % (i % 7) for i in range(count)]
    return ("\r\n".join(lines) + "\r\n").encode()


def svx3(count=100, version=3):
    buf = bytearray(207 + 2 * count)
    buf[0] = 0xFD
    put(buf, 1, "i", count)
    put(buf, 5, "H", count * 2 + 100)
    h = 7
    for i, v in enumerate([version, 2003, 5, 12, 14, 30, 0, 0, 14, 30, 10, 0, count + 100]):
        put(buf, h + 2 * i, "h", v)
    put(buf, h + 32, "h", ord("Z"))
    put(buf, h + 34, "h", 40)
    put(buf, h + 36, "h", 500)
    put(buf, h + 42, "h", 0)
    put(buf, h + 44, "h", 29)
    buf[h + 94] = ord("U")
    buf[h + 95] = 14
    buf[h + 100:h + 102] = b"Ml"
    put(buf, h + 104, "h", 42)
    put(buf, h + 116, "H", 50)
    put(buf, h + 118, "H", 80)
    put(buf, h + 122, "h", -32768 + 330)
    buf[h + 140:h + 144] = b"seed"
    for i in range(count):
        put(buf, 207 + 2 * i, "h", (i * 91) % 3000 - 1500)
    return bytes(buf)


def pepp_trace(count=60, station=b"ABC"):
    buf = bytearray(641 + 4 * count)
    buf[2:14] = b"PEPP_HVN_02."
    for off, v in [(17, 2010), (19, 6), (21, 15), (25, 8), (27, 20), (49, 5), (92, 500), (157, 24), (184, 2010),
                   (186, 6), (188, 15), (192, 8), (194, 15)]:
        put(buf, off, "h", v)
    for off, v in [(29, 30.25), (41, 50.0), (84, 48.5), (88, 11.25), (176, 2.0), (196, 12.5), (200, 45.0),
                   (204, 12.0), (208, 10.0), (224, 3.4)]:
        put(buf, off, "f", v)
    put(buf, 45, "i", count)
    buf[74] = ord("Z")
    buf[75:78] = b"SHZ"
    buf[94:94 + len(station)] = station
    buf[103:105] = b"PP"
    for i in range(count):
        put(buf, 641 + 4 * i, "f", i * 0.5)
    return bytes(buf)


def pepp_multi():
    out = bytearray(b"PEPP" + bytes(32)) + pepp_trace(60)
    out += struct.pack("<I", 0x05B83A2B) + bytes(32) + pepp_trace(70, b"DEF")
    return bytes(out)


def ah(count=60):
    text = ("station information\ncode: osu\nchannel: bhz\ntype: l4c\nlatitude: 40.0 N\nlongitude: 83.0 W\n"
            "elevation: 250\ngain: 4\nevent  information\nlatitude: 1\nrecord  information\nndata: %d\n"
            "delta: 0.02\nstart_time: 2003 5 12 14 30 12.75\nlog: TimeLock 1\ncomment: ohiose\ndata:\n" % count)
    return (text + "".join("%d\n" % (i * 3 - 50) for i in range(count))).encode()


def sensor_dat():
    return (b"; defaults\nID=ABC\nLATITUDE=40.5\nTIMEREF=WWVB\nATODBITS=16\nATODVOLTS=2.5\nAMPGAIN=10\n"
            b"SENSOROUTPUT=2\nCOMPNAME=BHZ\nID=XYZ\nINCIDENT=95\n")


def main():
    out = sys.argv[1]
    seeds = {
        "svx_ascii": {"v2.txt": ascii_v2(), "v1.txt": ascii_v1()},
        "svx3": {"v3.abc": svx3(), "v2.abc": svx3(version=2)},
        "pepp": {"single.pep": pepp_trace(), "multi.pep": pepp_multi()},
        "ah": {"ohio.ah": ah()},
        "sensor_dat": {"sensor.dat": b"ABC\n" + sensor_dat()},
    }
    for target, files in seeds.items():
        folder = os.path.join(out, target)
        os.makedirs(folder, exist_ok=True)
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
