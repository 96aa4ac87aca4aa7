#!/usr/bin/python3
"""The IASP91 phase file iasp91.dat, built from the IASP91 velocity model with the ray tracer of
make_traveltimes.py.

Every phase is a chain of legs traced with the same ray parameter p: the P or S leg from the
surface down to the source, from the source down to the core-mantle boundary (turning on the way or
not), through the outer core and the inner core. Surface reflections add a full surface-to-surface
leg, core reflections a down and up pass of the layer above. The earliest time of each phase at a
grid distance is taken over its branches; the direct P and S (first arrivals, with a diffracted
tail behind the core up to DIFFRACTED_LIMIT) come from make_traveltimes.direct_times.

File layout (little-endian): int32 Np, Nx, Nh, dx (deg), dh (km); Np names in 10-byte fields;
then float32 times at index (p * Nx + i) * Nh + k; negative = the phase does not exist there.

usage:
  make_iasp91.py MODEL OUT.dat
  make_iasp91.py MODEL --phase PcP --depth 10 --dist 35 45     print times
"""
import argparse
import math
import os
import struct
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_traveltimes import (EARTH_RADIUS, Shells, core_depth, direct_times, load_model,  # noqa: E402
                              ray_fan, segment_arrivals, trace)

PHASES = ["P", "S", "pP", "sP", "sS", "PP", "SS", "PcP", "ScS", "ScP", "PKP", "PKIKP", "PKiKP", "SKS"]
DX, NX = 1, 181
DH, NH = 10, 71
DIFFRACTED_LIMIT = 120.0


def inner_core_depth(depths, vs, cmb):
    for k in range(1, len(depths)):
        if depths[k] > cmb and vs[k] > 0.0 and vs[k - 1] == 0.0:
            return depths[k]
    raise SystemExit("model has no solid inner core")


def shell_index(shells, depth):
    tops = EARTH_RADIUS - shells.r_top
    hit = np.nonzero(np.abs(tops - depth) < 1e-6)[0]
    if not len(hit):
        raise SystemExit("no shell starts at %g km" % depth)
    return int(hit[0])


class Leg:
    """One traced run of shells: X, T, state (0 through, 1 turned, 2 blocked), turn index."""

    def __init__(self, shells, p, first, last):
        self.X, self.T, self.state, self.turn = trace(shells, p, first, last)
        self.jump = shells.jump
        self.through = self.state == 0
        self.turned = self.state == 1


def same_branch(turn, jump):
    """Neighbouring rays share a branch when they turn in the same or adjoining shells without a
    discontinuity between them (rays that do not turn share one)."""
    step = np.abs(turn[:-1] - turn[1:])
    k = np.clip(np.maximum(turn[:-1], turn[1:]), 0, len(jump) - 1)
    return (step == 0) | ((step == 1) & ~jump[k])


def arrivals(X, T, valid, branch, dist):
    ok = valid[:-1] & valid[1:] & branch
    # a path may run past the antipode: it arrives at 2*pi - X as well
    near = segment_arrivals(X, T, ok, dist)
    far = segment_arrivals(X, T, ok, 2 * math.pi - dist)
    return np.minimum(near, far)


def phase_times(model, depth, distances_deg, phases=PHASES):
    depths, vp, vs = model
    cmb = core_depth(depths, vs)
    icb = inner_core_depth(depths, vs, cmb)
    P = Shells(depths, vp, EARTH_RADIUS - 1.0, depth)
    S = Shells(depths, vs, cmb, depth)
    p = np.unique(np.concatenate([ray_fan(P), ray_fan(S)]))
    cP, iP = shell_index(P, cmb), shell_index(P, icb)
    sp, ss = P.source_index, S.source_index
    Pu, Pm = Leg(P, p, 0, sp), Leg(P, p, sp, cP)
    Pk, Pi = Leg(P, p, cP, iP), Leg(P, p, iP, len(P.r_top))
    # a ray through the whole inner core crosses the small central sphere on a straight line
    r0, v0 = P.r_bot[-1], P.v_bot[-1]
    centre = Pi.through & (p * v0 < r0)
    c = np.minimum(p * v0 / r0, 1.0)
    Pi.X = Pi.X + np.where(centre, np.arccos(c), 0.0)
    Pi.T = Pi.T + np.where(centre, np.sqrt(np.maximum(r0 * r0 - (p * v0) ** 2, 0.0)) / v0, 0.0)
    Pi.turn = np.where(centre, len(P.r_top) - 1, Pi.turn)
    Pi.turned = Pi.turned | centre
    Su, Sm = Leg(S, p, 0, ss), Leg(S, p, ss, len(S.r_top))
    dist = np.radians(distances_deg)
    none = np.ones(p.shape[0] - 1, dtype=bool)
    mb = same_branch(Pm.turn, Pm.jump)
    sb = same_branch(Sm.turn, Sm.jump)
    kb = same_branch(Pk.turn, Pk.jump)
    ib = same_branch(Pi.turn, Pi.jump)
    up_p, up_s = Pu.through, Su.through
    # at the surface a depth phase merges with its main phase: its limit is kept there so that
    # shallow depths interpolate
    legs = {
        "pP": (3 * Pu.X + 2 * Pm.X, 3 * Pu.T + 2 * Pm.T, up_p & Pm.turned, mb),
        "sP": (Su.X + 2 * (Pu.X + Pm.X), Su.T + 2 * (Pu.T + Pm.T), up_s & up_p & Pm.turned, mb),
        "sS": (3 * Su.X + 2 * Sm.X, 3 * Su.T + 2 * Sm.T, up_s & Sm.turned, sb),
        "PP": (3 * Pu.X + 4 * Pm.X, 3 * Pu.T + 4 * Pm.T, up_p & Pm.turned, mb),
        "SS": (3 * Su.X + 4 * Sm.X, 3 * Su.T + 4 * Sm.T, up_s & Sm.turned, sb),
        "PcP": (Pu.X + 2 * Pm.X, Pu.T + 2 * Pm.T, up_p & Pm.through, none),
        "ScS": (Su.X + 2 * Sm.X, Su.T + 2 * Sm.T, up_s & Sm.through, none),
        "ScP": (Sm.X + Pu.X + Pm.X, Sm.T + Pu.T + Pm.T, up_p & Pm.through & Sm.through, none),
        "PKP": (Pu.X + 2 * (Pm.X + Pk.X), Pu.T + 2 * (Pm.T + Pk.T), up_p & Pm.through & Pk.turned, kb),
        "PKiKP": (Pu.X + 2 * (Pm.X + Pk.X), Pu.T + 2 * (Pm.T + Pk.T), up_p & Pm.through & Pk.through, none),
        "PKIKP": (Pu.X + 2 * (Pm.X + Pk.X + Pi.X), Pu.T + 2 * (Pm.T + Pk.T + Pi.T),
                  up_p & Pm.through & Pk.through & Pi.turned, ib),
        "SKS": (Su.X + 2 * (Sm.X + Pk.X), Su.T + 2 * (Sm.T + Pk.T), up_s & Sm.through & Pk.turned, kb),
    }
    out = {}
    for name in phases:
        if name in ("P", "S"):
            t = direct_times(model, name, depth, distances_deg)
            t[distances_deg > DIFFRACTED_LIMIT] = np.inf
        else:
            X, T, valid, branch = legs[name]
            t = arrivals(X, T, valid, branch, dist)
        out[name] = t
    return out


def write_file(path, model):
    distances = np.arange(NX, dtype=float) * DX
    table = np.full((len(PHASES), NX, NH), -1.0, dtype=np.float32)
    for k in range(NH):
        times = phase_times(model, float(k * DH), distances)
        for j, name in enumerate(PHASES):
            t = times[name]
            table[j, :, k] = np.where(np.isfinite(t), t, -1.0)
        print("depth %d km done" % (k * DH), file=sys.stderr)
    head = struct.pack("<5i", len(PHASES), NX, NH, DX, DH)
    names = b"".join(n.encode("ascii").ljust(10, b"\0") for n in PHASES)
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(head + names + table.astype("<f4").tobytes())
    os.replace(tmp, path)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("model")
    ap.add_argument("out", nargs="?")
    ap.add_argument("--phase", action="append")
    ap.add_argument("--depth", type=float, default=0.0)
    ap.add_argument("--dist", type=float, nargs="+")
    args = ap.parse_args()
    model = load_model(args.model)
    if args.phase:
        times = phase_times(model, args.depth, np.array(args.dist), args.phase)
        for name in args.phase:
            for d, t in zip(args.dist, times[name]):
                print("%-6s %8.2f %10.3f" % (name, d, t))
        return
    if not args.out:
        ap.error("OUT or --phase needed")
    write_file(args.out, model)


if __name__ == "__main__":
    main()
