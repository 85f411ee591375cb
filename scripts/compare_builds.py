#!/usr/bin/env python3
"""Runs two builds of korund side by side and reports every difference.

A refactoring or a speed-up must not move a result. This script runs the
old and the new `korund` on copies of the same notebooks -- the examples and
worksheets made by a seeded generator, with unit words, notes, bad values,
tags, stored options and edited style codes -- with several option sets, and
compares the written notebook byte for byte, the transcript, standard output,
standard error and the exit status.

With --numbers-by-value the notebooks' fractional numbers are compared as
the doubles they read back as, for builds that write other (equally exact)
digits; everything else in the file must still agree byte for byte.

With --without-notes the worksheets' analysis stamps and the notes on data
that look wrong are left out of both sides, for comparing with a build made
before them.

With --layout-free the notebooks are compared as the JSON values they hold,
not as text: for comparing with a build that laid out kept members
otherwise (one that re-indented the members it does not know).

Usage: scripts/compare_builds.py OLD_BIN_DIR NEW_BIN_DIR [--runs N] [--seed S]
                                 [--numbers-by-value] [--without-notes] [--layout-free]
Exit status 0 when every run agrees, 1 otherwise.
"""
import argparse
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, "..", "examples")

UNIT_WEIBULL = ["GPA", "MPA", "KSI", "KPSI", "gpa", " Mpa ", "FACTOR"]
UNIT_TIME = ["S", "MIN", "HOUR", "DAY", "hour"]
NOTES = ["note", "", "x", "-1.#QNAN", "12.5", "1e400", "abc def", "\u00e9t\u00e9"]


def weibull_column(rng):
    cells = []
    if rng.random() < 0.7:
        cells.append(rng.choice(["Fibre A", "lot 7", "", "desc"]))
    count = rng.choice([0, 1, 2, 3, 5, 12, 30, 60])
    scale = rng.choice([1.0, 4.5, 4500.0, 650.0])
    for _ in range(count):
        r = rng.random()
        if r < 0.06:
            word = rng.choice(UNIT_WEIBULL)
            cells.append(word)
            if word == "FACTOR":
                cells.append(rng.choice([2, 0.001, "MPA", None, "x"]))
        elif r < 0.09:
            cells.append(rng.choice(NOTES))
        elif r < 0.10:
            cells.append(None)
        elif r < 0.11:
            cells.append(rng.choice([0, -1.5]))
        elif r < 0.13:
            cells.append(str(round(rng.weibullvariate(scale, 6.0), 3)))
        else:
            cells.append(round(rng.weibullvariate(scale, rng.choice([3.0, 6.0, 12.0])), rng.choice([0, 2, 4, 9])))
    return cells


def weibull_notebook(rng):
    columns = {}
    for c in range(1, 11):
        if rng.random() < 0.6:
            columns[str(c)] = {"title": "raw %d" % c, "cells": weibull_column(rng)}
    if rng.random() < 0.3:
        columns["12"] = {"cells": rng.sample([1, 2, 5, 10, 25, 50, 63.2, 75, 90, 95, 99, "50"], 7)}
    if rng.random() < 0.3:
        columns["13"] = {"cells": ["@symbol(3,1,0)"]}
    if rng.random() < 0.2:
        columns["14"] = {"cells": ["@RGB(1,2,3)"]}
    if rng.random() < 0.3:
        columns["56"] = {"cells": [None, 2, rng.choice([0, -1]), rng.choice([0, 1, 3])]}
    if rng.random() < 0.1:
        columns["11"] = {"cells": ["a"] * 11 + ["F opt", rng.choice([0, 1])]}
    if rng.random() < 0.1:
        columns["184"] = {"cells": [0, rng.choice([0, 1])]}
    return columns


def fatigue_block(rng, static):
    n = rng.choice([0, 1, 3, 8, 20, 45])
    ids, ys, xs = [], [], []
    rates = [rng.choice([0.01, 0.1, 1, 2, 5, 20, 100]) for _ in range(rng.choice([1, 2, 4]))]
    for i in range(n):
        r = rng.random()
        x = rng.choice(rates) * (1 + (rng.random() * 0.05 if rng.random() < 0.3 else 0))
        y = round(rng.lognormvariate(1.5, 0.2), 4)
        if static:
            x, y = round(rng.uniform(1, 4), 3), round(rng.lognormvariate(5, 2), 2)
        ident = rng.choice(["", "", "", "#bad", "!x", "ok", "a"])
        if r < 0.05:
            y = rng.choice(UNIT_TIME if static else UNIT_WEIBULL[:4])
        elif r < 0.07:
            y, x = "FACTOR", rng.choice([2, 1000])
        elif r < 0.09:
            y = rng.choice([None, "n/a", -2, 0])
        elif r < 0.10:
            x = rng.choice([None, 0, "q"])
        elif r < 0.12:
            y = str(y)
        ids.append(ident)
        ys.append(y)
        xs.append(x)
    if rng.random() < 0.2 and n > 0:
        xs = xs[:-1]
    return ids, ys, xs


def fatigue_notebook(rng, static):
    columns = {}
    for s in range(1, 7):
        if rng.random() < 0.55:
            ids, ys, xs = fatigue_block(rng, static)
            base = 30 * s - 29
            columns[str(base)] = {"cells": ids}
            columns[str(base + 1)] = {"cells": ys}
            columns[str(base + 2)] = {"cells": xs}
            if rng.random() < 0.2:
                columns[str(base + 10)] = {"cells": ["X", None, "x"]}
            if rng.random() < 0.2:
                columns[str(base + 13)] = {"cells": ["@symbol(4,1,0)"]}
    if rng.random() < 0.5:
        cells = [rng.choice([0, 1]), 1 if static else 0, rng.choice([0, -1]), None,
                 rng.choice([0, -1]), rng.choice([0, -1]), rng.choice([1.2, 1.5, 200, "2"]),
                 rng.choice([0, -1]), rng.choice(["#", "#!", "9", ""]), '"2.00"',
                 rng.choice([0, -1]), rng.choice([1, 3, 7, 2.5]), rng.choice([0, -1])]
        columns["184"] = {"cells": cells}
    if rng.random() < 0.1:
        columns["56"] = {"cells": [None, 2]}
    return columns


def notebook(columns, extra=False):
    items = [{"type": "section", "name": "Section 1"},
             {"type": "worksheet", "name": "Data 1", "columns": columns}]
    nb = {"format": "korund-notebook", "version": 1, "current": "Data 1", "items": items}
    if extra:
        nb["app"] = {"zoom": 1.5, "list": [1, "a", None]}
        items[1]["colour"] = "blue"
        items.append({"type": "graph", "name": "G", "data": {"a": [1, 2]}})
        items.append({"type": "section", "name": "Section 2"})
    return nb


# A JSON string token or a number with a fraction or an exponent.
TOKEN = re.compile(rb'"(?:[^"\\]|\\.)*"|-?\d+(?:\.\d+)?(?:[eE][+-]?\d+)?')


def numbers_by_value(text):
    """The text with every fractional number written as Python's shortest
    form of the double it reads back as ("0.41007314499999997" and
    "0.410073145" both become the latter)."""
    def canon(m):
        token = m.group(0)
        if token.startswith(b'"') or not re.search(rb"[.eE]", token):
            return token
        return repr(float(token)).encode()
    return TOKEN.sub(canon, text)


STAMP = re.compile(rb',\n *"analysis": "[^"]*"|\n *"analysis": "[^"]*",')
NOTE = re.compile(rb"korund: set \d+: (?:\w+ up to .*|only \d+ .*|all \d+ .* are equal .*)\n")


def without_notes(result):
    if result["notebook"] is not None:
        result["notebook"] = STAMP.sub(b"", result["notebook"])
    result["stderr"] = NOTE.sub(b"", result["stderr"])


def run(bin_dir, args, nb_path, work):
    transcript = os.path.join(work, "transcript.jsonl")
    clip = os.path.join(work, "clip.txt")
    cmd = [os.path.join(bin_dir, "korund")] + args + [
        "--batch", "--notebook", nb_path, "--transcript", transcript, "--clipboard-file", clip]
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"))
    p = subprocess.run(cmd, capture_output=True, env=env, stdin=subprocess.DEVNULL)
    out = {"status": p.returncode, "stdout": p.stdout, "stderr": p.stderr}
    for name, path in (("notebook", nb_path), ("transcript", transcript), ("clipboard", clip)):
        out[name] = open(path, "rb").read() if os.path.exists(path) else None
    return out


OPTION_SETS = {
    "weibull": [[], ["--rank-function", "0"], ["--lock"], ["--answer",
                "CHECK THIS WORKSHEET IS FOR WEIBULL ANALYSIS=&Continue", "--unlock"]],
    "dynamic": [[], ["--mode", "velocity", "--ignore-weakest"], ["--group-rates", "1.5",
                "--ignore-ids", "#!", "--copy-set", "1"], ["--unlock", "--answer",
                "CHECK THIS WORKSHEET IS FOR DYNAMIC FATIGUE ANALYSIS=&Continue"]],
    "static": [[], ["--lock"], ["--unlock", "--answer",
               "CHECK THIS WORKSHEET IS FOR STATIC FATIGUE ANALYSIS=&Continue"]],
}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("old")
    ap.add_argument("new")
    ap.add_argument("--runs", type=int, default=60)
    ap.add_argument("--seed", type=int, default=20261207)
    ap.add_argument("--numbers-by-value", action="store_true")
    ap.add_argument("--without-notes", action="store_true")
    ap.add_argument("--layout-free", action="store_true")
    a = ap.parse_args()
    rng = random.Random(a.seed)
    cases = []
    for name, word in (("weibull-demo.json", "weibull"), ("dynamic-demo.json", "dynamic"),
                       ("static-demo.json", "static")):
        with open(os.path.join(EXAMPLES, name), "rb") as f:
            cases.append((name, word, f.read()))
    for i in range(a.runs):
        word = ["weibull", "dynamic", "static"][i % 3]
        cols = weibull_notebook(rng) if word == "weibull" else fatigue_notebook(rng, word == "static")
        text = json.dumps(notebook(cols, extra=rng.random() < 0.3), indent=1).encode()
        cases.append(("generated-%d" % i, word, text))
    failures = 0
    runs = 0
    with tempfile.TemporaryDirectory() as tmp:
        for name, word, text in cases:
            for k, options in enumerate(OPTION_SETS[word]):
                results = []
                for side, bin_dir in (("old", a.old), ("new", a.new)):
                    work = os.path.join(tmp, "run")  # same path: messages name it
                    shutil.rmtree(work, ignore_errors=True)
                    os.makedirs(work)
                    nb = os.path.join(work, "nb.json")
                    with open(nb, "wb") as f:
                        f.write(text)
                    results.append(run(bin_dir, [word] + options, nb, work))
                runs += 1
                if a.numbers_by_value:
                    for r in results:
                        if r["notebook"] is not None:
                            r["notebook"] = numbers_by_value(r["notebook"])
                if a.without_notes:
                    for r in results:
                        without_notes(r)
                if a.layout_free:
                    for r in results:
                        if r["notebook"] is not None:
                            r["notebook"] = json.dumps(json.loads(r["notebook"])).encode()
                diff = [key for key in results[0] if results[0][key] != results[1][key]]
                if diff:
                    failures += 1
                    print("DIFFERENT %s %s %s: %s" % (name, word, options, ", ".join(diff)))
                    for key in diff[:2]:
                        for side, r in (("old", results[0]), ("new", results[1])):
                            value = r[key]
                            shown = value[:400] if isinstance(value, bytes) else value
                            print("  %s %s: %r" % (side, key, shown))
    print("%d runs compared, %d differ" % (runs, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
