#!/usr/bin/env python3
"""Writes the inputs of the peak-memory benchmark (scripts/bench.sh memory).

  csv OUT        40 MB of CSV, one number a line (4 million lines)
  xlsx OUT       a workbook of 1,000,000 rows x 4 numbers (4 million cells)
  unknown OUT    a notebook of about 64 MB: ten Weibull sets of 1,000 values
                 and a member this program does not know holding 32 million
                 zeros
"""
import random
import sys
import zipfile


def csv(out):
    rng = random.Random(26)
    with open(out, "w") as f:
        for _ in range(4_000_000):
            f.write("%.4f\n" % rng.uniform(1000, 9999))


def xlsx(out):
    rows = 1_000_000
    parts = {
        "[Content_Types].xml":
            '<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/'
            'package/2006/content-types"><Default Extension="rels" ContentType="application/'
            'vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType='
            '"application/xml"/></Types>',
        "_rels/.rels":
            '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.'
            'openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://'
            'schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" '
            'Target="xl/workbook.xml"/></Relationships>',
        "xl/workbook.xml":
            '<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.'
            'org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/'
            'officeDocument/2006/relationships"><sheets><sheet name="Data" sheetId="1" '
            'r:id="rId1"/></sheets></workbook>',
        "xl/_rels/workbook.xml.rels":
            '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.'
            'openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://'
            'schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" '
            'Target="worksheets/sheet1.xml"/></Relationships>',
    }
    rng = random.Random(26)
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in parts.items():
            z.writestr(name, text)
        with z.open("xl/worksheets/sheet1.xml", "w", force_zip64=True) as f:
            f.write(b'<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.'
                    b'openxmlformats.org/spreadsheetml/2006/main"><sheetData>')
            for _ in range(rows):
                cells = "".join("<c><v>%.1f</v></c>" % rng.uniform(1, 9) for _ in range(4))
                f.write(("<row>%s</row>" % cells).encode())
            f.write(b"</sheetData></worksheet>")


def unknown(out):
    rng = random.Random(26)
    columns = ", ".join(
        '"%d": {"title": "raw %d", "cells": [%s]}' %
        (c, c, ", ".join("%.6f" % rng.weibullvariate(4.5, 5.0 + c) for _ in range(1000)))
        for c in range(1, 11))
    with open(out, "w") as f:
        f.write('{"format": "korund-notebook", "version": 1, "current": "Data 1", "log": [')
        f.write("0," * (32_000_000 - 1) + "0")
        f.write('], "items": [{"type": "section", "name": "Section 1"}, '
                '{"type": "worksheet", "name": "Data 1", "columns": {%s}}]}\n' % columns)


if __name__ == "__main__":
    {"csv": csv, "xlsx": xlsx, "unknown": unknown}[sys.argv[1]](sys.argv[2])
