#!/usr/bin/python3
"""Files that our jet tool writes must read back as written, by mdbtools and mdb-reader too.

    /usr/bin/python3 written_file_test.py [--jet PATH]

Makes a database the way the program does (`jet create`), then changes it step by step: appends
rows full of awkward text, grows and shrinks rows, deletes rows. After each
step jet must export exactly the rows the test expects, `jet check` must find no damage, and
compare_readers.py must find mdbtools and mdb-reader agreeing with jet.
"""

from __future__ import annotations

import argparse
import json
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
JET = HERE.parents[1] / "build" / "bin" / "jet"
PASSWORD = "test-password"
TABLE = "inr"  # 11 memo columns

# Values that readers tend to get wrong, each in a row of its own.
AWKWARD = [
    "张三",  # Chinese: stored as UTF-16, not compressible
    "",  # empty, not null
    None,
    'quote " backslash \\ newline \n tab \t',
    "\u0001\u001f control characters",
    "😀 beyond U+FFFF",
    "  leading and trailing spaces  ",
    "a" * 4000,  # past a page: a long value on pages of its own
    "中" * 3000,
    "北京市朝阳区 " * 2000,
    "0",
    "ÄÖÜ é ß",  # compressible into one byte a character
]


def row_of(i: int, value: str | None) -> list[str | None]:
    return [f"row {i}", value, *[f"{i}:{c}" for c in range(2, 11)]]


class WrittenFileTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.file = Path(self.tmp.name) / "data.mdb"
        self.jet_run("create")
        self.expected: list[list[str | None]] = []

    def tearDown(self):
        self.tmp.cleanup()

    def jet_run(self, command: str, *args: str, stdin: str = "") -> str:
        done = subprocess.run([str(JET), command, str(self.file), *args, "--password", PASSWORD],
                              input=stdin, capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, f"jet {command}: {done.stderr}")
        return done.stdout

    def export(self) -> list[list[str | None]]:
        return [list(json.loads(line).values()) for line in self.jet_run("export", TABLE).splitlines()]

    def check_file(self, step: str):
        with self.subTest(step=step):
            self.assertEqual(self.export(), self.expected)
            self.jet_run("check")
            done = subprocess.run(
                ["/usr/bin/python3", str(HERE / "compare_readers.py"), str(self.file),
                 "--password", PASSWORD, "--jet", str(JET)], capture_output=True, text=True)
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)

    def append(self, rows):
        self.jet_run("append", TABLE, stdin="".join(json.dumps(r) + "\n" for r in rows))
        self.expected += rows

    def test_append_grow_delete(self):
        self.append([row_of(i, value) for i, value in enumerate(AWKWARD)])
        self.check_file("awkward values appended")

        # Enough short rows to fill several data pages.
        self.append([row_of(i, f"short {i}") for i in range(len(AWKWARD), 400)])
        self.check_file("400 rows")

        # Rows that grow past their page keep their place; their long values go to pages of
        # their own, and shrinking them again frees those.
        for position, size in ((20, 5000), (150, 300), (151, 5000), (20, 1)):
            grown = [f"grown {position}", *["x" * size] * 10]
            self.jet_run("update", TABLE, str(position), json.dumps(grown))
            self.expected[position] = grown
        self.check_file("rows grown and shrunk")

        self.jet_run("delete", TABLE, "0", "5", "399")
        for position in (399, 5, 0):
            del self.expected[position]
        self.check_file("rows deleted")


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--jet", type=Path, default=JET)
    args, rest = parser.parse_known_args()
    JET = args.jet
    unittest.main(argv=[sys.argv[0], *rest])
