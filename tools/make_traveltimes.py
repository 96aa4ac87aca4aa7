#!/usr/bin/python3
"""Travel-time tables for a spherically layered earth, written as the program's *.JB tables.

The velocity model (TauP .tvel or .nd text: depth km, Vp, Vs, ...; a repeated depth marks a
discontinuity) is cut into thin shells; within a shell the velocity follows v = a * r**b, for which
the ray integrals of distance and time have closed forms. For each source depth a fan of rays
(ray parameter p = r sin(i) / v, s/rad) is traced, up-going and down-going, and the earliest arrival
at each table distance is taken over every branch (triplications included). Beyond the distance of
the ray that grazes the core, the arrival is diffracted along the core-mantle boundary.

Phases are described by a wave type and where the ray may go; `PHASES` lists the ones this tool
knows ("P", "S": first-arriving direct waves with their up-going and diffracted parts).

usage:
  make_traveltimes.py MODEL OUTDIR                      write the shipped tables into OUTDIR
  make_traveltimes.py MODEL --phase P --depth 33 --dist 35   print one time
"""
import argparse
import math
import os
import sys

import numpy as np

EARTH_RADIUS = 6371.0
MAX_SHELL_KM = 5.0


def load_model(path):
    """Returns (depths, vp, vs) with repeated depths at discontinuities."""
    depths, vp, vs = [], [], []
    with open(path) as f:
        for line in f:
            fields = line.split()
            if len(fields) < 3:
                continue
            try:
                d, p, s = float(fields[0]), float(fields[1]), float(fields[2])
            except ValueError:
                continue  # title lines of .tvel files
            depths.append(d)
            vp.append(p)
            vs.append(s)
    return np.array(depths), np.array(vp), np.array(vs)


def core_depth(depths, vs):
    """Depth where the shear velocity first drops to zero below the crust (the outer core)."""
    for k in range(1, len(depths)):
        if depths[k] > 100.0 and vs[k] == 0.0 and vs[k - 1] > 0.0:
            return depths[k]
    raise SystemExit("model has no fluid outer core")


class Shells:
    """Thin shells from the surface down to `bottom` km for one wave type, split at the source."""

    def __init__(self, depths, v, bottom, source):
        tops, bots, vt, vb, jump = [], [], [], [], []
        n = len(depths)
        for k in range(n - 1):
            d1, d2 = depths[k], depths[k + 1]
            if d2 <= d1 or d1 >= bottom:
                continue
            d2c = min(d2, bottom)
            cuts = max(1, int(math.ceil((d2c - d1) / MAX_SHELL_KM)))
            edges = list(np.linspace(d1, d2c, cuts + 1))
            if d1 < source < d2c:
                edges = sorted(set(edges + [source]))
            for a, b in zip(edges[:-1], edges[1:]):
                va = v[k] + (v[k + 1] - v[k]) * (a - d1) / (d2 - d1)
                vb_ = v[k] + (v[k + 1] - v[k]) * (b - d1) / (d2 - d1)
                # a shell starts below a discontinuity when the previous shell ended at another speed
                jump.append(bool(vt) and abs(vb[-1] - va) > 1e-9)
                tops.append(a)
                bots.append(b)
                vt.append(va)
                vb.append(vb_)
        self.r_top = EARTH_RADIUS - np.array(tops)
        self.r_bot = EARTH_RADIUS - np.array(bots)
        self.v_top = np.array(vt)
        self.v_bot = np.array(vb)
        self.jump = np.array(jump)
        self.eta_top = self.r_top / self.v_top
        self.eta_bot = self.r_bot / self.v_bot
        # the source sits on the shell boundary at depth `source` (at the lower side of a discontinuity)
        self.source_index = int(np.searchsorted(np.array(tops), source - 1e-9))
        if self.source_index >= len(tops):
            raise SystemExit("source below the model bottom")
        # a source on a discontinuity radiates from its upper side
        s = self.source_index
        self.eta_source = self.eta_bot[s - 1] if s > 0 else self.eta_top[0]


def trace(shells, p, first, last):
    """Integrates rays with parameters p down through shells first..last-1.

    Returns X (rad), T (s), state (0 passed through, 1 turned, 2 reflected/blocked) and the index of
    the shell where the ray turned (-1 when it did not)."""
    X = np.zeros_like(p)
    T = np.zeros_like(p)
    alive = np.ones(p.shape, dtype=bool)
    state = np.zeros(p.shape, dtype=np.int8)
    turn = np.full(p.shape, -1, dtype=np.int32)
    for k in range(first, last):
        e1, e2 = shells.eta_top[k], shells.eta_bot[k]
        blocked = alive & (p >= e1)
        state[blocked] = 2
        alive &= ~blocked
        if not alive.any():
            break
        r1, r2 = shells.r_top[k], shells.r_bot[k]
        v1, v2 = shells.v_top[k], shells.v_bot[k]
        if v1 <= 0 or v2 <= 0:
            state[alive] = 2
            alive[:] = False
            break
        b = math.log(v1 / v2) / math.log(r1 / r2)
        q = p[alive]
        through = q < e2
        if abs(1.0 - b) < 1e-9:  # eta constant in the shell
            lr = math.log(r1 / r2)
            s = np.sqrt(e1 * e1 - q * q)
            dx, dt = q * lr / s, e1 * e1 * lr / s
        else:
            c = 1.0 / (1.0 - b)
            s1 = np.sqrt(np.maximum(e1 * e1 - q * q, 0.0))
            s2 = np.where(through, np.sqrt(np.maximum(e2 * e2 - q * q, 0.0)), 0.0)
            a1 = np.arccos(np.minimum(q / e1, 1.0))
            a2 = np.where(through, np.arccos(np.minimum(q / e2, 1.0)), 0.0)
            dx, dt = c * (a1 - a2), c * (s1 - s2)
        idx = np.nonzero(alive)[0]
        X[idx] += dx
        T[idx] += dt
        turned = idx[~through]
        state[turned] = 1
        turn[turned] = k
        alive[turned] = False
    return X, T, state, turn


def ray_fan(shells):
    """Ray parameters that resolve every shell: points between the sorted eta values of all
    shell boundaries below the source, and a plain fan below the smallest of them."""
    s = shells.source_index
    eta_s = shells.eta_source
    etas = np.concatenate([shells.eta_top[s:], shells.eta_bot[s:], [eta_s, 0.0]])
    etas = np.unique(etas[etas <= eta_s])
    pts = [np.linspace(0.0, etas[0], 200, endpoint=False)]
    for a, b in zip(etas[:-1], etas[1:]):
        t = 0.5 - 0.5 * np.cos(np.linspace(0.0, math.pi, 8))
        seg = a + (b - a) * t
        seg[0] = a + (b - a) * 1e-7
        seg[-1] = b - (b - a) * 1e-7
        pts.append(seg)
    return np.unique(np.concatenate(pts))


def direct_times(model, wave, depth, distances_deg):
    """First-arriving direct wave (up-going, diving and core-diffracted) at the given distances."""
    depths, vp, vs = model
    v = vp if wave == "P" else vs
    shells = Shells(depths, v, core_depth(depths, vs), depth)
    s = shells.source_index
    n = len(shells.r_top)
    p = ray_fan(shells)
    xa, ta, sa, _ = trace(shells, p, 0, s)          # surface down to the source
    xb, tb, sb, turn = trace(shells, p, s, n)       # source down to the turning point
    dist = np.radians(distances_deg)
    best = np.full(dist.shape, np.inf)
    if s == 0:
        best[dist == 0.0] = 0.0
    up_ok = sa == 0
    if s > 0:
        best = np.minimum(best, segment_arrivals(xa, ta, up_ok[:-1] & up_ok[1:], dist))
    down_ok = up_ok & (sb == 1)
    X, T = xa + 2 * xb, ta + 2 * tb
    # neighbouring rays belong to one branch only when they turn in the same or adjoining shells
    # with no discontinuity between them
    same = np.zeros(p.shape, dtype=bool)
    step = np.abs(turn[:-1] - turn[1:])
    same[:-1] = (step == 0) | ((step == 1) & ~shells.jump[np.maximum(turn[:-1], turn[1:])])
    ok_pairs = down_ok[:-1] & down_ok[1:] & same[:-1]
    best = np.minimum(best, segment_arrivals(X, T, ok_pairs, dist))
    # the ray grazing the core, continued as a diffracted wave
    g = np.nonzero(down_ok)[0]
    if len(g):
        j = g[np.argmin(p[g])]
        if turn[j] == n - 1:
            tail = dist > X[j]
            best[tail] = np.minimum(best[tail], T[j] + p[j] * (dist[tail] - X[j]))
    return best


def segment_arrivals(X, T, ok_pairs, distances):
    """Earliest time at each distance over the segments between neighbouring valid rays."""
    best = np.full(distances.shape, np.inf)
    xa, xb, ta, tb = X[:-1][ok_pairs], X[1:][ok_pairs], T[:-1][ok_pairs], T[1:][ok_pairs]
    lo, hi = np.minimum(xa, xb), np.maximum(xa, xb)
    for i, d in enumerate(distances):
        m = (lo <= d) & (d <= hi)
        if not m.any():
            continue
        dx = xb[m] - xa[m]
        w = np.where(dx != 0, (d - xa[m]) / np.where(dx != 0, dx, 1.0), 0.0)
        best[i] = np.min(ta[m] + w * (tb[m] - ta[m]))
    return best


# The shipped tables: file name, phase, title, depths (km), distances (degrees).
TELE_DEPTHS = [0, 5, 10, 15, 20, 25, 30, 33, 35, 40, 50, 60, 70, 80, 100, 120, 150, 175, 200,
               250, 300, 350, 400, 450, 500, 550, 600, 650, 700]
REG_DEPTHS = list(range(0, 105, 5))
TABLES = [
    ("P.JB", "P", "teleseismic", TELE_DEPTHS, np.round(np.arange(0, 105.01, 0.5), 2)),
    ("S.JB", "S", "teleseismic", TELE_DEPTHS, np.round(np.arange(0, 105.01, 0.5), 2)),
    ("P_b.JB", "P", "regional", REG_DEPTHS, np.round(np.arange(0, 20.001, 0.1), 2)),
    ("S_b.JB", "S", "regional", REG_DEPTHS, np.round(np.arange(0, 20.001, 0.1), 2)),
]


def fmt_numbers(values, per_line=10):
    out = []
    for i in range(0, len(values), per_line):
        out.append(" ".join(values[i:i + per_line]))
    return "\n".join(out) + "\n"


def write_table(path, phase, kind, model_name, model, depths, distances):
    lines = ["n # %s travel-time table, %s, model %s (tools/make_traveltimes.py)\n"
             % (phase, kind, model_name)]
    lines.append("%d\n" % len(depths))
    lines.append(fmt_numbers(["%g" % d for d in depths]))
    lines.append("%d\n" % len(distances))
    lines.append(fmt_numbers(["%.2f" % d for d in distances]))
    for h in depths:
        times = direct_times(model, phase, float(h), distances)
        lines.append("# depth %g km\n" % h)
        for t in times:
            lines.append("%.3f\n" % t if np.isfinite(t) else "-1\n")
    tmp = path + ".tmp"
    with open(tmp, "w", newline="\n") as f:
        f.write("".join(lines))
    os.replace(tmp, path)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("model")
    ap.add_argument("outdir", nargs="?")
    ap.add_argument("--phase", choices=["P", "S"])
    ap.add_argument("--depth", type=float, default=0.0)
    ap.add_argument("--dist", type=float, nargs="+")
    args = ap.parse_args()
    model = load_model(args.model)
    if args.phase:
        for d, t in zip(args.dist, direct_times(model, args.phase, args.depth, np.array(args.dist))):
            print("%8.2f %10.3f" % (d, t))
        return
    if not args.outdir:
        ap.error("OUTDIR or --phase needed")
    name = os.path.splitext(os.path.basename(args.model))[0]
    for fname, phase, kind, depths, distances in TABLES:
        write_table(os.path.join(args.outdir, fname), phase, kind, name, model, depths, distances)


if __name__ == "__main__":
    main()
