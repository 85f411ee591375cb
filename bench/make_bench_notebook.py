#!/usr/bin/env python3
"""Writes a notebook for the end-to-end benchmark, from a fixed seed.

  weibull N OUT   ten Weibull sets of N strengths each (columns 1-10, GPa)
  fatigue N OUT   six dynamic-fatigue blocks of N measurements each, at five
                  stress rates (offsets 1 and 2 of each 30-column block)
"""
import json
import random
import sys


def weibull(n, rng):
    return {str(c): {"title": "raw %d" % c,
                     "cells": ["set %d" % c] + [round(rng.weibullvariate(4.5, 5.0 + c), 6)
                                                 for _ in range(n)]}
            for c in range(1, 11)}


def fatigue(n, rng):
    columns = {}
    rates = [0.01, 0.1, 1.0, 10.0, 100.0]
    for s in range(1, 7):
        base = 30 * s - 29
        xs = [rates[i % len(rates)] for i in range(n)]
        ys = [round(4.0 * r ** (1 / 21.0) * rng.weibullvariate(1.0, 12.0), 6) for r in xs]
        columns[str(base)] = {"cells": [""] * n}
        columns[str(base + 1)] = {"cells": ys}
        columns[str(base + 2)] = {"cells": xs}
    return columns


def main():
    kind, n, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    rng = random.Random(20261207 + n)
    cols = weibull(n, rng) if kind == "weibull" else fatigue(n, rng)
    nb = {"format": "korund-notebook", "version": 1, "current": "Data 1",
          "items": [{"type": "section", "name": "Section 1"},
                    {"type": "worksheet", "name": "Data 1", "columns": cols}]}
    with open(out, "w") as f:
        json.dump(nb, f)


if __name__ == "__main__":
    main()
