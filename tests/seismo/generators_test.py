#!/usr/bin/python3
"""The table generators: the committed data files are what the generators write today, and the
travel-time generator agrees with published times for IASP91, ak135 and Jeffreys-Bullen.

usage: generators_test.py SOURCE_DIR SHARED_DATA_DIR
"""
import filecmp
import os
import re
import subprocess
import sys
import tempfile

import numpy as np

SRC, SHARED = sys.argv[1], sys.argv[2]
sys.path.insert(0, os.path.join(SRC, "tools"))
import make_traveltimes as mt  # noqa: E402

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def published_points(path, columns):
    """(depth, distance, phase, seconds) from TauP or ttimes listings."""
    points = []
    depth = None
    with open(path) as f:
        for line in f:
            m = re.match(r"\s*Source Depth:\s*([\d.]+)", line)
            if m:
                depth = float(m.group(1))
                continue
            fields = line.split()
            if columns == "taup" and len(fields) > 4 and fields[2] in ("P", "S"):
                try:
                    points.append((float(fields[1]), float(fields[0]), fields[2], float(fields[3])))
                except ValueError:
                    pass
            elif columns == "ttimes" and depth is not None:
                # "delta # code time ..." or "# code time ..." continuing the last delta
                if len(fields) >= 4 and re.match(r"^\d+\.\d+$", fields[0]) and fields[2] in ("P", "S"):
                    points.append((depth, float(fields[0]), fields[2], float(fields[3])))
    return points


def validate():
    if not os.path.isdir(SHARED):
        print("shared reference data absent: generator validation skipped")
        return
    models = os.path.join(SHARED, "models")
    tt = os.path.join(models, "traveltimes")
    cases = [
        ("iasp91.tvel", os.path.join(tt, "taup_time_iasp91_java_testoutput.txt"), "taup"),
        ("iasp91.tvel", os.path.join(tt, "taup_time_iasp91_h10_deg35_ttall.txt"), "taup"),
        ("iasp91.tvel", os.path.join(tt, "sample_ttimes_iasp91_h611.lst"), "ttimes"),
        ("ak135.tvel", os.path.join(tt, "taup_time_ak135_h10_deg35_ttall.txt"), "taup"),
        ("ak135.tvel", os.path.join(tt, "sample_ttimes_ak135.lst"), "ttimes"),
        ("jb.nd", os.path.join(tt, "taup_time_jb_h10_deg35_P.txt"), "taup"),
    ]
    compared = 0
    for model_file, listing, kind in cases:
        model = mt.load_model(os.path.join(models, model_file))
        for depth, dist, phase, ref in published_points(listing, kind):
            if dist > 100 or depth > 700:
                continue
            t = mt.direct_times(model, phase, depth, np.array([dist]))[0]
            limit = 0.5 if phase == "P" else 1.0
            check(abs(t - ref) < limit, "%s %s %g km %g deg: %.2f vs %.2f" % (model_file, phase, depth, dist, t, ref))
            compared += 1
    check(compared >= 15, "only %d published times compared" % compared)
    print("published times compared: %d" % compared)


def regenerate():
    with tempfile.TemporaryDirectory() as tmp:
        fe = os.path.join(tmp, "feregions.dat")
        if os.path.isdir(os.path.join(SHARED, "feregions")):
            subprocess.run(["/usr/bin/python3", os.path.join(SRC, "tools", "make_feregions.py"),
                            os.path.join(SHARED, "feregions"), fe], check=True)
            check(filecmp.cmp(fe, os.path.join(SRC, "data", "feregions.dat"), shallow=False),
                  "data/feregions.dat differs from the generator's output")
        model = os.path.join(SHARED, "models", "ak135.tvel")
        if os.path.isfile(model):
            subprocess.run(["/usr/bin/python3", os.path.join(SRC, "tools", "make_traveltimes.py"), model, tmp],
                           check=True)
            for name in ("P.JB", "S.JB", "P_b.JB", "S_b.JB"):
                check(filecmp.cmp(os.path.join(tmp, name), os.path.join(SRC, "data", name), shallow=False),
                      "data/%s differs from the generator's output" % name)


validate()
regenerate()
if failures:
    sys.exit("%d failures" % len(failures))
print("generators: ok")
