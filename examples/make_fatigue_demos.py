#!/usr/bin/env python3
"""Writes examples/dynamic-demo.json and examples/static-demo.json: notebooks
with one fatigue worksheet each, drawn with a fixed seed so the files are the
same on every run.

Dynamic worksheet (analyse with "korund dynamic"), data set s in columns
30s-29 (ID), 30s-28 (strength), 30s-27 (stress rate):
  set 1  fibre A, n = 20: 10 breaks at each of the rates 0.001, 0.01, 0.1,
         1 and 10 GPa/s; strengths in GPa (median 5.0 GPa at 1 GPa/s),
         Weibull scatter of modulus 30;
  set 2  fibre B, n = 23: 8 to 14 breaks at 0.002, 0.02, 0.2 and 2 GPa/s,
         typed in MPa below the unit word "MPA"; two breaks carry an ID
         starting with "#" (grip breaks) for the ignore-by-ID rule.
  Dynamic fatigue gives log S = log S0 + log(rate) / (n + 1).

Static worksheet (analyse with "korund static"), data set s in columns
30s-28 (time to failure) and 30s-27 (applied stress):
  set 1  n = 20: 8 fibres at each of 2.0, 2.4, 2.8, 3.2 and 3.6 GPa, times
         in seconds (about 10 s to 10^5 s);
  set 2  n = 18: 6 to 9 fibres at 1.8, 2.2 and 2.6 GPa, times typed in hours
         below the unit word "HOUR".
  Static fatigue gives log t = log t0 - n log(stress); the scatter of the
  times follows from a Weibull strength scatter of modulus 25 raised to
  the power n.

Usage: python3 examples/make_fatigue_demos.py [OUTPUT_DIR]
"""
import json
import math
import os
import random
import sys

SEED = 1018


def notebook(columns):
    return {
        "format": "korund-notebook",
        "version": 1,
        "current": "Data 1",
        "items": [
            {"type": "section", "name": "Section 1"},
            {"type": "worksheet", "name": "Data 1", "columns": columns},
        ],
    }


def scatter(rng, modulus):
    """A Weibull factor of median 1."""
    return rng.weibullvariate(1.0, modulus) / math.log(2.0) ** (1.0 / modulus)


def put_set(columns, s, ids, ys, xs, y_name, x_name):
    b = 30 * s - 29
    columns[str(b)] = {"title": "ID %d" % s, "cells": ids}
    columns[str(b + 1)] = {"title": "raw %s %d" % (y_name, s), "cells": ys}
    columns[str(b + 2)] = {"title": "raw %s %d" % (x_name, s), "cells": xs}


def dynamic(rng):
    columns = {}
    ids, ys, xs = [], [], []
    for rate in (0.001, 0.01, 0.1, 1.0, 10.0):
        for _ in range(10):
            ids.append("A%d" % (len(ids) + 1))
            ys.append(round(5.0 * rate ** (1 / 21) * scatter(rng, 30), 3))
            xs.append(rate)
    put_set(columns, 1, ids, ys, xs, "str", "rate")

    ids, ys, xs = ["units"], ["MPA"], [None]
    for rate, count in ((0.002, 8), (0.02, 14), (0.2, 11), (2.0, 9)):
        for k in range(count):
            grip = rng.random() < 0.05 or (rate == 0.02 and k == 3) or (rate == 2.0 and k == 0)
            ids.append(("#grip B%d" if grip else "B%d") % len(ids))
            ys.append(round(4800.0 * (rate / 0.2) ** (1 / 24) * scatter(rng, 30)))
            xs.append(rate)
    put_set(columns, 2, ids, ys, xs, "str", "rate")
    return notebook(columns)


def static(rng):
    columns = {}
    ids, ys, xs = [], [], []
    for stress in (2.0, 2.4, 2.8, 3.2, 3.6):
        for _ in range(8):
            t = 1.0e5 * (stress / 2.0) ** -20 * scatter(rng, 25) ** 20
            ids.append("S%d" % (len(ids) + 1))
            ys.append(float("%.4g" % t))
            xs.append(stress)
    put_set(columns, 1, ids, ys, xs, "ttf", "str")

    ids, ys, xs = ["units"], ["HOUR"], [None]
    for stress, count in ((1.8, 9), (2.2, 6), (2.6, 7)):
        for _ in range(count):
            hours = 200.0 * (stress / 1.8) ** -18 * scatter(rng, 25) ** 18
            ids.append("T%d" % len(ids))
            ys.append(float("%.4g" % hours))
            xs.append(stress)
    put_set(columns, 2, ids, ys, xs, "ttf", "str")
    return notebook(columns)


def write(path, data):
    with open(path, "w", encoding="utf-8") as f:
        json.dump(data, f, indent=1)
        f.write("\n")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "examples"
    rng = random.Random(SEED)
    write(os.path.join(out, "dynamic-demo.json"), dynamic(rng))
    write(os.path.join(out, "static-demo.json"), static(rng))


if __name__ == "__main__":
    main()
