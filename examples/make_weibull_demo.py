#!/usr/bin/env python3
"""Writes examples/weibull-demo.json: a notebook with one Weibull worksheet.

Three sets of fibre strengths drawn from Weibull distributions with a fixed
seed, so the file is the same on every run:
  column 1  30 strengths in GPa (shape 6, scale 5.2 GPa), unmarked;
  column 2  25 strengths typed in MPa below the unit word "MPA"
            (shape 8, scale 4.6 GPa);
  column 3  35 strengths typed in ksi below the unit word "KSI"
            (shape 5, scale 4.0 GPa = 580 ksi).
Row 1 of each column describes the set, as the analysis expects.

Usage: python3 examples/make_weibull_demo.py [OUTPUT]
"""
import json
import random
import sys

SEED = 1047


def sample(rng, count, shape, scale, digits):
    return [round(rng.weibullvariate(scale, shape), digits) for _ in range(count)]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "examples/weibull-demo.json"
    rng = random.Random(SEED)
    gpa = sample(rng, 30, 6.0, 5.2, 3)
    mpa = [int(v) for v in sample(rng, 25, 8.0, 4600.0, 0)]
    ksi = sample(rng, 35, 5.0, 4.0 * 145.0, 1)
    notebook = {
        "format": "korund-notebook",
        "version": 1,
        "current": "Data 1",
        "items": [
            {"type": "section", "name": "Section 1"},
            {
                "type": "worksheet",
                "name": "Data 1",
                "columns": {
                    "1": {"title": "raw 1", "cells": ["Fibre A, GPa"] + gpa},
                    "2": {"title": "raw 2", "cells": ["Fibre B", "MPA"] + mpa},
                    "3": {"title": "raw 3", "cells": ["Fibre C", "KSI"] + ksi},
                },
            },
        ],
    }
    with open(out, "w", encoding="utf-8") as f:
        json.dump(notebook, f, indent=1)
        f.write("\n")


if __name__ == "__main__":
    main()
