#!/usr/bin/env python3
"""Writes two_sheets.xlsx: a workbook as another program would store it, its
XML parts written by hand. Sheet "Notes" holds one text; sheet "Fibres"
holds shared strings, inline strings, a boolean, a date serial number, a
formula string, gaps, a row and a cell without a reference, and a prefixed
relationship attribute."""
import zipfile

CT = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
<Override PartName="/xl/worksheets/data.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>
</Types>"""

RELS = """<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>"""

WORKBOOK = """<?xml version="1.0" encoding="UTF-8"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"
 xmlns:rel="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets>
<sheet name="Notes" sheetId="1" rel:id="rId7"/>
<sheet name="Fibres" sheetId="2" rel:id="rId3"/>
</sheets>
</workbook>"""

WORKBOOK_RELS = """<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/data.xml"/>
<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>
</Relationships>"""

SHARED = """<?xml version="1.0" encoding="UTF-8"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="4" uniqueCount="4">
<si><t>Strength (MPa)</t></si>
<si><r><t>Fibre </t></r><r><rPr><b/></rPr><t>B</t></r><rPh sb="0" eb="1"><t>x</t></rPh></si>
<si><t>2185,2</t></si>
<si><t xml:space="preserve"> line one_x000D_
line two </t></si>
</sst>"""

NOTES = """<?xml version="1.0" encoding="UTF-8"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<sheetData><row r="2"><c r="B2" t="inlineStr"><is><t>not this sheet</t></is></c></row></sheetData>
</worksheet>"""

FIBRES = """<?xml version="1.0" encoding="UTF-8"?>
<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<x:sheetData>
<x:row r="1"><x:c r="A1" t="s"><x:v>0</x:v></x:c><x:c r="B1" t="s"><x:v>1</x:v></x:c><x:c r="D1" t="inlineStr"><x:is><x:t>Tested</x:t></x:is></x:c></x:row>
<x:row r="2"><x:c r="A2"><x:v>3120.5</x:v></x:c><x:c r="B2" t="s"><x:v>2</x:v></x:c><x:c r="D2" s="1"><x:v>45000</x:v></x:c></x:row>
<x:row><x:c><x:v>2.5E+3</x:v></x:c><x:c t="b"><x:v>1</x:v></x:c></x:row>
<x:row r="5"><x:c r="A5" t="s"><x:v>3</x:v></x:c><x:c r="B5" t="str"><x:f>"MP"&amp;"A"</x:f><x:v>MPA</x:v></x:c><x:c r="C5"/></x:row>
<x:row r="6"><x:c r="B6"><x:v>-0.001</x:v></x:c></x:row>
</x:sheetData>
</x:worksheet>"""

with zipfile.ZipFile("two_sheets.xlsx", "w", zipfile.ZIP_DEFLATED) as z:
    for name, text in [("[Content_Types].xml", CT), ("_rels/.rels", RELS),
                       ("xl/workbook.xml", WORKBOOK), ("xl/_rels/workbook.xml.rels", WORKBOOK_RELS),
                       ("xl/sharedStrings.xml", SHARED), ("xl/worksheets/sheet1.xml", NOTES),
                       ("xl/worksheets/data.xml", FIBRES)]:
        z.writestr(zipfile.ZipInfo(name, (2024, 1, 1, 0, 0, 0)), text, zipfile.ZIP_DEFLATED)
