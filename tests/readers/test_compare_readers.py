#!/usr/bin/python3
"""Checks that compare_readers.py notices when a reader gets a database wrong.

A stand-in for our jet tool answers from mdb-reader's reading of a real fixture, written the way
jet writes it (currency and numeric as bare numbers). Told nothing, it must agree with mdbtools
and mdb-reader; with one fault put in, compare_readers.py must exit 1 and name the place. For the
types the fixtures lack, a table of values as each reader writes them checks the canonical forms.

    /usr/bin/python3 test_compare_readers.py [--fixtures DIR]

The same file is the stand-in: `test_compare_readers.py fake-jet tables|export ...`, with the
fault in $FAKE_JET_FAULT.
"""

from __future__ import annotations

import argparse
import json
import math
import os
import subprocess
import sys
import tempfile
import unittest
from decimal import Decimal
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
FIXTURES = HERE.parents[1].parent / "shared" / "fixtures" / "jet"  # shared/ lies beside the repository


# ---------------------------------------------------------------------------------------------
# The stand-in jet tool


def mdbreader(*args: str) -> list[str]:
    out = subprocess.run(["node", str(HERE / "mdbreader-export.mjs"), *args],
                         capture_output=True, text=True, check=True).stdout
    return [line for line in out.split("\n") if line]


def read_as_jet(file: Path) -> dict:
    """{"tables": [...], "rows": {table: [row, ...]}} as jet would print them."""
    tables = mdbreader(str(file), "--tables")
    rows = {}
    for table in tables:
        types = {c["name"]: c["type"] for c in map(json.loads, mdbreader(str(file), table, "--columns"))}
        rows[table] = [json.loads(line) for line in mdbreader(str(file), table)]
        for row in rows[table]:
            for name, value in row.items():
                if types[name] in ("currency", "numeric") and value is not None:
                    row[name] = float(value) if "." in value else int(value)
    return {"tables": tables, "rows": rows}


def set_value(row, column, value):
    row[column] = value


# Each fault: (what it changes, a table name or "tables"; how it changes that list in place).
FAULTS = {
    "none": ("tables", lambda tables: None),
    "text changed": ("Table1", lambda rows: set_value(rows[0], "A", "abcdefh")),
    "rows swapped": ("Table1", lambda rows: rows.reverse()),
    "row lost": ("Table1", lambda rows: rows.pop()),
    "columns swapped": ("Table1", lambda rows: rows.__setitem__(
        slice(None), [{"B": r["B"], "A": r["A"], **r} for r in rows])),
    "table missing": ("tables", lambda tables: tables.remove("Table4")),
    "integer as text": ("Table1", lambda rows: set_value(rows[0], "C", "2")),
    "boolean as number": ("Table1", lambda rows: set_value(rows[0], "I", 1)),
    "date one second late": ("Table1", lambda rows: set_value(rows[1], "G", "1981-12-12T00:00:01")),
    "currency off": ("Table1", lambda rows: set_value(rows[0], "H", 3.5001)),
    "double one ulp off": ("Table1", lambda rows: set_value(rows[0], "F", math.nextafter(444.555, 0))),
    "numeric off": ("test", lambda rows: set_value(rows[0], "col5", 5)),
    "null for text": ("Table1", lambda rows: set_value(rows[0], "data1", None)),
    "empty text for null": ("Table1", lambda rows: set_value(rows[0], "data3", "")),
    "deleted row back": ("Table", lambda rows: rows.insert(1, {"a": "x", "b": "w"})),
}


def fake_jet(argv: list[str]) -> int:
    command, file, rest = argv[0], Path(argv[1]), argv[2:]
    data = json.loads((Path(os.environ["FAKE_JET_DATA"]) / f"{file.name}.json").read_text())
    target, change = FAULTS[os.environ.get("FAKE_JET_FAULT", "none")]
    if command == "tables":
        printed = data["tables"]
        if target == "tables":
            change(printed)
    else:
        printed = data["rows"][rest[0]]
        if target == rest[0]:
            change(printed)
        printed = [json.dumps(row, ensure_ascii=False) for row in printed]
    if printed:
        print("\n".join(printed))
    return 0


# ---------------------------------------------------------------------------------------------
# The test


class CompareReadersTest(unittest.TestCase):
    # (fault, fixture, what the report must name)
    CASES = [
        ("text changed", "V2000_test.mdb", "row 1 column 'A'"),
        ("rows swapped", "V2000_test.mdb", "row 1 column 'A'"),
        ("row lost", "V2000_test.mdb", "jet has 1 rows"),
        ("columns swapped", "V2000_test.mdb", "columns differ"),
        ("table missing", "V2000_test.mdb", "table lists differ"),
        ("integer as text", "V2000_test.mdb", "expected an integer"),
        ("boolean as number", "V2000_test.mdb", "expected true or false"),
        ("date one second late", "V2000_test.mdb", "row 2 column 'G'"),
        ("currency off", "V2000_test.mdb", "row 1 column 'H'"),
        ("double one ulp off", "V2000_test.mdb", "row 1 column 'F'"),
        ("numeric off", "V2000_numeric.mdb", "row 1 column 'col5'"),
        ("null for text", "overflowTestV2000.mdb", "row 1 column 'data1'"),
        ("empty text for null", "overflowTestV2000.mdb", "[jet vs mdbreader]"),
        ("deleted row back", "delTestV2000.mdb", "jet has 3 rows"),
    ]
    PASSWORDS = {"V2000_with-password.mdb": "password"}

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        tmp = Path(cls.tmp.name)
        cls.fixtures = sorted(FIXTURES.glob("*.mdb"))
        for fixture in cls.fixtures:
            (tmp / f"{fixture.name}.json").write_text(json.dumps(read_as_jet(fixture)))
        cls.jet = tmp / "jet"
        cls.jet.write_text(f'#!/bin/sh\nexec /usr/bin/python3 "{Path(__file__).resolve()}" fake-jet "$@"\n')
        cls.jet.chmod(0o755)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def compare(self, fault: str, fixture: str):
        env = dict(os.environ, FAKE_JET_FAULT=fault, FAKE_JET_DATA=self.tmp.name)
        password = ["--password", self.PASSWORDS[fixture]] if fixture in self.PASSWORDS else []
        return subprocess.run(
            ["/usr/bin/python3", str(HERE / "compare_readers.py"), str(FIXTURES / fixture),
             "--jet", str(self.jet), *password], capture_output=True, text=True, env=env)

    def test_faithful_reader_agrees_on_every_fixture(self):
        self.assertTrue(self.fixtures, f"no fixtures in {FIXTURES}")
        for fixture in self.fixtures:
            with self.subTest(fixture=fixture.name):
                done = self.compare("none", fixture.name)
                self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
                self.assertIn("all agree: jet, mdbtools, mdbreader", done.stdout)

    def test_each_fault_is_reported(self):
        for fault, fixture, expected in self.CASES:
            with self.subTest(fault=fault):
                done = self.compare(fault, fixture)
                self.assertEqual(done.returncode, 1, done.stdout + done.stderr)
                self.assertIn("MISMATCH", done.stdout)
                self.assertIn(expected, done.stdout)


class CanonicalFormTest(unittest.TestCase):
    """Types the fixtures lack, as each reader writes them (JSON text; None: left out)."""

    GUID_BYTES = "ABEiM0RVZneImaq7zN3u/w=="  # 00 11 22 ... ff
    # (type, jet, mdbtools, mdbreader, whether each of jet and mdbtools agrees with mdbreader)
    CASES = [
        ("float", "1.1", "1.1", "1.100000023841858", True, True),
        ("float", "1.2", "1.1", "1.100000023841858", False, True),
        ("double", "0.30000000000000004", "0.3", "0.30000000000000004", True, True),
        ("double", "0.3", "0.3", "0.30000000000000004", False, True),
        ("double", '"0.3"', "0.3", "0.3", False, True),
        ("binary", '"YWIAYw=="', '{"$binary": "YWI=", "$type": "00"}', '"YWIAYw=="', True, True),
        ("binary", '"AAE="', None, '"AAE="', True, True),
        ("binary", '"YWJj"', '{"$binary": "YWI=", "$type": "00"}', '"YWJj"', True, False),
        ("ole", '"AAECAw=="', '{"$binary": "AAECAw==", "$type": "00"}', '"AAECAw=="', True, True),
        ("repid", f'"{GUID_BYTES}"', '{"$binary": "ezMzMjIxMTAwLTU1NDQtNzc2Ni04ODk5LUFBQkJDQ0RERUVGRn0=", "$type": "00"}',
         '"33221100-5544-7766-8899-aabbccddeeff"', True, True),
        ("repid", '"{33221100-5544-7766-8899-AABBCCDDEEFF}"', None, '"33221100-5544-7766-8899-aabbccddeeff"',
         True, False),
        ("datetime", '"2004-06-05T13:04:18"', '"2004-06-05T13:04:18"', '"2004-06-05T13:04:17.600"', True, True),
        ("datetime", '"2004-06-06T00:00:00"', '"2004-06-05T24:00:00"', '"2004-06-05T23:59:59.700"', True, True),
        ("datetime", '"2004-06-05 13:04:18"', '"2004-06-05T13:04:17"', '"2004-06-05T13:04:17"', False, True),
        ("boolean", "true", "1", "true", True, True),
        ("boolean", "1", "0", "false", False, True),
        ("boolean", "false", "false", "false", True, False),
        ("currency", "922337203685477.5807", "922337203685477.5807", '"922337203685477.5807"', True, True),
        ("currency", "922337203685477.6", "-0.0001", '"-0.0001"', False, True),
        ("numeric", '"-12.50"', "-12.5", '"-12.500"', True, True),
        ("memo", '""', None, '""', True, True),
        ("memo", "null", None, '""', False, True),
        ("text", '"😀"', '"??"', '"😀"', True, True),
        ("integer", '"2"', "2", "2", False, True),
        ("long", "true", "1", "1", False, True),
    ]

    def test_readers_forms_meet(self):
        import compare_readers as cr

        def parse(text):
            return None if text is None else json.loads(text, object_pairs_hook=cr.Pairs, parse_float=Decimal)

        jet, mdbtools, mdbreader = cr.JetReader(Path("jet"), None), cr.MdbTools(), cr.MdbReader(None)
        for column_type, jet_text, tools_text, reader_text, jet_agrees, tools_agree in self.CASES:
            with self.subTest(type=column_type, jet=jet_text, mdbtools=tools_text, mdbreader=reader_text):
                b = parse(reader_text)
                self.assertEqual(cr.canonical_pair(jet, parse(jet_text), mdbreader, b, column_type)[2], jet_agrees)
                self.assertEqual(cr.canonical_pair(mdbtools, parse(tools_text), mdbreader, b, column_type)[2],
                                 tools_agree)


if __name__ == "__main__":
    if len(sys.argv) > 1 and sys.argv[1] == "fake-jet":
        sys.exit(fake_jet(sys.argv[2:]))
    parser = argparse.ArgumentParser()
    parser.add_argument("--fixtures", type=Path, default=FIXTURES)
    args, rest = parser.parse_known_args()
    FIXTURES = args.fixtures
    unittest.main(argv=[sys.argv[0], *rest])
