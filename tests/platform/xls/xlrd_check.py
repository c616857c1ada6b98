#!/usr/bin/python3
"""Checks an .xls file we wrote with xlrd, a reader independent of ours.

Usage: /usr/bin/python3 xlrd_check.py FILE.xls SHEET EXPECTED.json

EXPECTED.json holds the rows written, a list of lists of strings.  The first
sheet must carry the name SHEET and hold exactly those rows: every
non-empty value as a text cell (never a number: "010" must stay "010"),
every empty value as an empty cell, nothing beyond; the cells in the
cell XF 15 among the 21 standard XFs.  Anything xlrd says
about inconsistencies of the compound file fails the check too.  Prints
what differs and exits 1, or exits 0 in silence.
"""
import io
import json
import sys

import xlrd


def main():
    path, sheet_name, expected_path = sys.argv[1:4]
    with open(expected_path, encoding="utf-8") as f:
        expected = json.load(f)
    log = io.StringIO()
    # With the formatting read as well: fonts, XFs, styles, column widths.
    book = xlrd.open_workbook(path, logfile=log, verbosity=0, formatting_info=True)
    problems = []
    if "WARNING" in log.getvalue() or "inconsisten" in log.getvalue():
        problems.append("xlrd complained: " + log.getvalue().strip())
    if book.biff_version != 80:
        problems.append("BIFF version %s, not 8" % book.biff_version)
    if len(book.xf_list) < 21 or book.xf_list[15].is_style or not all(x.is_style for x in book.xf_list[:15]):
        problems.append("not the 21 standard XFs with cell XF 15")
    if book.codepage != 1200:
        problems.append("code page %s, not 1200" % book.codepage)
    names = book.sheet_names()
    if names[:1] != [sheet_name]:
        problems.append("sheet names %r, wanted %r first" % (names, sheet_name))
    sheet = book.sheet_by_index(0)

    rows = [list(r) for r in expected]
    while rows and not any(rows[-1]):
        rows.pop()
    width = max((max((i + 1 for i, v in enumerate(r) if v), default=0) for r in rows), default=0)
    if sheet.nrows != len(rows) or sheet.ncols != width:
        problems.append("xlrd sees %d x %d cells, wanted %d x %d" % (sheet.nrows, sheet.ncols, len(rows), width))
    for r in range(min(sheet.nrows, len(rows))):
        for c in range(sheet.ncols):
            want = rows[r][c] if c < len(rows[r]) else ""
            cell = sheet.cell(r, c)
            if want:
                ok = cell.ctype == xlrd.XL_CELL_TEXT and cell.value == want and cell.xf_index == 15
            else:
                ok = cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK) or (
                    cell.ctype == xlrd.XL_CELL_TEXT and cell.value == "")
            if not ok and len(problems) < 12:
                problems.append("cell (%d, %d): xlrd reads type %d %r, wanted text %r" %
                                (r, c, cell.ctype, cell.value, want))
    if problems:
        print("\n".join(problems))
        sys.exit(1)


if __name__ == "__main__":
    main()
