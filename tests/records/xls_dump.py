#!/usr/bin/python3
"""Prints the first sheet of an .xls file as JSON, read by xlrd:
{"name": ..., "rows": [[...]], "kinds": [[...]]} where a kind is xlrd's
cell type (1 text, 0 empty, 2 number ...)."""
import json
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1])
sheet = book.sheet_by_index(0)
rows = [[sheet.cell_value(r, c) for c in range(sheet.ncols)] for r in range(sheet.nrows)]
kinds = [[sheet.cell_type(r, c) for c in range(sheet.ncols)] for r in range(sheet.nrows)]
json.dump({"name": sheet.name, "rows": rows, "kinds": kinds}, sys.stdout, ensure_ascii=False)
