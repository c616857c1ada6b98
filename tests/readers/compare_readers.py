#!/usr/bin/python3
"""Reads a Jet 4 database with several independent readers and checks that they all see the same.

    compare_readers.py FILE... [--password P] [--jet PATH] [--only mdbtools|mdbreader] [--no-jet]

The readers:
  jet        our engine: `build/bin/jet tables FILE` and `jet export FILE TABLE` (JSON Lines)
  mdbtools   `mdb-tables -1`, `mdb-schema` for the columns and `mdb-json` for the rows
  mdbreader  the npm package mdb-reader through tests/readers/mdbreader-export.mjs

The first reader chosen is the reference (jet, or mdbtools with --no-jet) and every other one is
held against it: the list of user tables, then per table the column names in order, the column
types (mdbtools against mdbreader), the number of rows, and every value row by row in storage
order. It prints the first mismatches and exits 1 if there were any, 0 if all agree, 2 if a
reader could not be run at all. mdbtools ignores the password; the others are given it.

Each reader writes some types its own way, so every value is first turned into one canonical form
for its column type, and only canonical forms are compared. Each reader's decoder insists on the
JSON shape that reader is known to write, so a number where text belongs is a mismatch, not
something to be coerced. The rules:

  text, memo   the string as it is.
  byte, integer, long
               an int; JSON true/false is not accepted.
  boolean      a bool. mdb-json writes 1 and 0.
  double       the IEEE double, compared exactly.
  single       the value rounded to single precision, compared exactly; a reader may write the
               single's shortest form ("1.1") or its widened double (1.100000023841858).
  currency, numeric
               the exact decimal; "3.5000", 3.5 and 3.50 are one value. mdb-json writes currency
               as a bare number with 4 decimals, which is read as a decimal, never via a double.
  datetime     "YYYY-MM-DDTHH:MM:SS", rounded to the nearest second as mdbtools does (mdb-reader
               has milliseconds); mdbtools' "24:00:00" for the last half second of a day is the
               next day's midnight. mdb-json is run with -T '%Y-%m-%dT%H:%M:%S'.
  binary, ole  the bytes. jet and mdbreader write base64; mdb-json writes {"$binary": base64}.
  replication ID
               the GUID as lower-case "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx". mdbreader writes
               that; mdb-json writes the base64 of "{XXXXXXXX-...}"; jet may write either form,
               with or without braces, or the 16 stored bytes in base64.
  null         None. mdb-json leaves null columns out of the row.

What mdbtools cannot tell or keep is applied to both sides of a comparison with mdbtools, so that
the check is as strict as mdbtools allows and no stricter:
  - it leaves out empty text and memo values as if they were null, so "" counts as null;
  - it writes "?" for each half of a character beyond U+FFFF (an emoji, say), so such a
    character counts as "??";
  - it keeps binary (not OLE) values up to their first zero byte only, and a value cut to nothing
    counts as null;
  - it prints doubles with 16 and singles with 8 significant digits, so both sides are compared
    at that many digits.
mdbtools prints dates before 1899-12-30 wrongly; a file with such dates disagrees with it.
"""

from __future__ import annotations

import argparse
import base64
import binascii
import datetime as dt
import json
import math
import os
import re
import struct
import subprocess
import sys
from dataclasses import dataclass, field
from decimal import Decimal, InvalidOperation
from pathlib import Path

REPO_ROOT = Path(__file__).resolve().parents[2]
MDBREADER_SCRIPT = Path(__file__).resolve().with_name("mdbreader-export.mjs")
MAX_DIFFS_DEFAULT = 10

# mdb-schema's names for the column types (its "access" backend), as mdb-reader names them.
MDB_SCHEMA_TYPES = {
    "Boolean": "boolean",
    "Byte": "byte",
    "Integer": "integer",
    "Long Integer": "long",
    "Currency": "currency",
    "Single": "float",
    "Double": "double",
    "DateTime": "datetime",
    "Binary": "binary",
    "Text": "text",
    "OLE": "ole",
    "Memo/Hyperlink": "memo",
    "Replication ID": "repid",
    "Numeric": "numeric",
}

ISO_SECONDS = re.compile(r"\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}(\.\d{1,6})?")
ASTRAL = re.compile("[\U00010000-\U0010FFFF]")  # characters stored as two UTF-16 units
GUID = re.compile(r"\{?([0-9a-fA-F]{8}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{12})\}?")


class ReaderError(Exception):
    """A reader could not be run, or failed on this file or table."""


@dataclass(frozen=True)
class Bad:
    """A value in a shape its reader should never write; equal to nothing else."""

    why: str

    def __repr__(self) -> str:
        return f"<bad: {self.why}>"


@dataclass
class TableData:
    columns: list[str] | None  # None: this reader cannot tell (jet, for an empty table)
    types: list[str] | None  # mdb-reader's type names, in column order
    rows: list[list[object]] = field(default_factory=list)  # raw JSON values, in column order


# ---------------------------------------------------------------------------------------------
# Running the readers


def run(argv: list[str]) -> str:
    env = dict(os.environ, LC_ALL="C.UTF-8")
    try:
        done = subprocess.run(argv, capture_output=True, env=env, check=False)
    except FileNotFoundError as error:
        raise ReaderError(f"cannot run {argv[0]}: {error.strerror}") from error
    if done.returncode != 0:
        stderr = done.stderr.decode("utf-8", "replace").strip()
        raise ReaderError(f"`{' '.join(argv)}` exited {done.returncode}: {stderr}")
    try:
        return done.stdout.decode("utf-8")
    except UnicodeDecodeError as error:
        raise ReaderError(f"`{' '.join(argv)}` wrote invalid UTF-8: {error}") from error


def lines(text: str) -> list[str]:
    return [line for line in text.split("\n") if line != ""]


class Pairs(list):
    """A JSON object as its (key, value) pairs in written order."""


def json_lines(text: str, who: str) -> list[Pairs]:
    """Each line as a JSON object; numbers with a fraction are kept as exact decimals."""
    rows = []
    for number, line in enumerate(lines(text), 1):
        try:
            rows.append(json.loads(line, object_pairs_hook=Pairs, parse_float=Decimal))
        except json.JSONDecodeError as error:
            raise ReaderError(f"{who}: line {number} is not JSON ({error}): {line[:200]}") from error
        if not isinstance(rows[-1], Pairs):
            raise ReaderError(f"{who}: line {number} is not a JSON object: {line[:200]}")
    return rows


class Reader:
    name = ""

    def tables(self, file: Path) -> list[str]:
        raise NotImplementedError

    def table(self, file: Path, table: str) -> TableData:
        raise NotImplementedError

    def decode(self, value: object, column_type: str) -> object:
        """The canonical form of one value as this reader writes it."""
        raise NotImplementedError


class JetReader(Reader):
    name = "jet"

    def __init__(self, binary: Path, password: str | None):
        self.binary = binary
        self.password = ["--password", password] if password is not None else []

    def tables(self, file: Path) -> list[str]:
        return lines(run([str(self.binary), "tables", str(file), *self.password]))

    def table(self, file: Path, table: str) -> TableData:
        out = run([str(self.binary), "export", str(file), table, *self.password])
        objects = json_lines(out, f"jet export {table}")
        columns = [key for key, _ in objects[0]] if objects else None
        rows = []
        for number, pairs in enumerate(objects, 1):
            keys = [key for key, _ in pairs]
            if keys != columns:
                raise ReaderError(f"jet export {table}: row {number} has keys {keys}, row 1 {columns}")
            rows.append([value for _, value in pairs])
        return TableData(columns, None, rows)

    def decode(self, value: object, column_type: str) -> object:
        if value is None:
            return None
        if column_type in ("binary", "ole"):
            return from_base64(value)
        if column_type == "repid":
            if isinstance(value, str) and GUID.fullmatch(value):
                return guid_text(value)
            raw = from_base64(value)
            return guid_from_bytes(raw) if isinstance(raw, bytes) else raw
        return decode_common(value, column_type, decimal_strings=True)


class MdbReader(Reader):
    name = "mdbreader"

    def __init__(self, password: str | None):
        self.password = ["--password", password] if password is not None else []
        self.base = ["node", str(MDBREADER_SCRIPT)]
        if not (MDBREADER_SCRIPT.parent / "node_modules" / "mdb-reader").is_dir():
            raise ReaderError("mdb-reader is not installed: run tools/install-deps.sh")

    def tables(self, file: Path) -> list[str]:
        return lines(run([*self.base, str(file), "--tables", *self.password]))

    def table(self, file: Path, table: str) -> TableData:
        columns, types = [], []
        for line in lines(run([*self.base, str(file), table, "--columns", *self.password])):
            column = json.loads(line)
            columns.append(column["name"])
            types.append(column["type"])
        out = run([*self.base, str(file), table, *self.password])
        rows = []
        for number, pairs in enumerate(json_lines(out, f"mdbreader {table}"), 1):
            if [key for key, _ in pairs] != columns:
                raise ReaderError(f"mdbreader {table}: row {number} keys are not the columns")
            rows.append([value for _, value in pairs])
        return TableData(columns, types, rows)

    def decode(self, value: object, column_type: str) -> object:
        if value is None:
            return None
        if column_type in ("binary", "ole"):
            return from_base64(value)
        if column_type == "repid":
            return guid_text(value) if isinstance(value, str) and GUID.fullmatch(value) else bad(value)
        if column_type in ("currency", "numeric") and not isinstance(value, str):
            return bad(value, "a decimal string")
        return decode_common(value, column_type, decimal_strings=True)


class MdbTools(Reader):
    name = "mdbtools"
    SCHEMA_OPTIONS = ["--no-drop-table", "--no-not-null", "--no-default-values", "--no-not_empty",
                      "--no-comments", "--no-indexes", "--no-relations"]
    COLUMN_LINE = re.compile(r"\t\[([^\]]*)\]\t+([A-Za-z /]+?)(?: \([0-9, ]+\))?,? *")

    def tables(self, file: Path) -> list[str]:
        return lines(run(["mdb-tables", "-1", str(file)]))

    def schema(self, file: Path, table: str) -> tuple[list[str], list[str]]:
        ddl = run(["mdb-schema", "-T", table, *self.SCHEMA_OPTIONS, str(file), "access"])
        columns, types = [], []
        for line in ddl.split("\n"):
            match = self.COLUMN_LINE.fullmatch(line)
            if match:
                columns.append(match.group(1))
                kind = match.group(2)
                types.append(MDB_SCHEMA_TYPES.get(kind, f"unknown {kind}"))
        return columns, types

    def table(self, file: Path, table: str) -> TableData:
        columns, types = self.schema(file, table)
        out = run(["mdb-json", "-T", "%Y-%m-%dT%H:%M:%S", str(file), table])
        position = {name: i for i, name in enumerate(columns)}
        rows = []
        for number, pairs in enumerate(json_lines(out, f"mdb-json {table}"), 1):
            row: list[object] = [None] * len(columns)
            last = -1
            for key, value in pairs:
                # mdb-json leaves out null columns but keeps the others in column order.
                if key not in position or position[key] <= last:
                    raise ReaderError(f"mdb-json {table}: row {number} has key {key!r} out of place")
                last = position[key]
                row[last] = value
            rows.append(row)
        return TableData(columns, types, rows)

    def decode(self, value: object, column_type: str) -> object:
        if value is None:
            return None
        if column_type == "boolean":
            return value == 1 if type(value) is int and value in (0, 1) else bad(value, "0 or 1")
        if column_type in ("binary", "ole", "repid"):
            if not (isinstance(value, Pairs) and len(value) == 2 and value[0][0] == "$binary"):
                return bad(value, '{"$binary": ...}')
            raw = from_base64(value[0][1])
            if column_type == "repid" and isinstance(raw, bytes):
                text = raw.decode("ascii", "replace")
                return guid_text(text) if GUID.fullmatch(text) else bad(text, "a GUID")
            return raw
        if column_type in ("currency", "numeric") and not isinstance(value, (int, Decimal)):
            return bad(value, "a bare number")
        return decode_common(value, column_type, decimal_strings=False)


# ---------------------------------------------------------------------------------------------
# Canonical forms


def bad(value: object, wanted: str = "") -> Bad:
    return Bad(f"{value!r}" + (f", expected {wanted}" if wanted else ""))


def is_number(value: object) -> bool:
    return isinstance(value, (int, Decimal)) and not isinstance(value, bool)


def decimal_text(value: Decimal) -> str:
    return format((value + 0).normalize(), "f")  # + 0 turns -0 into 0


def as_float(value: object) -> float:
    return float(value)  # a Decimal converts correctly rounded, as a double parser would


def single(value: float) -> float:
    try:
        return struct.unpack("<f", struct.pack("<f", value))[0]
    except OverflowError:
        return math.copysign(math.inf, value)


def from_base64(value: object) -> bytes | Bad:
    if not isinstance(value, str):
        return bad(value, "base64 text")
    try:
        return base64.b64decode(value, validate=True)
    except binascii.Error:
        return bad(value, "base64 text")


def guid_text(text: str) -> str:
    return GUID.fullmatch(text).group(1).lower()


def guid_from_bytes(raw: bytes) -> str | Bad:
    if len(raw) != 16:
        return bad(raw, "16 bytes")
    a, b, c = struct.unpack("<IHH", raw[:8])
    return f"{a:08x}-{b:04x}-{c:04x}-{raw[8:10].hex()}-{raw[10:].hex()}"


def iso_datetime(value: object) -> str | Bad:
    if not isinstance(value, str) or not ISO_SECONDS.fullmatch(value):
        return bad(value, "YYYY-MM-DDTHH:MM:SS")
    # mdbtools rounds a time in the last half second of a day up to 24:00:00 of that day.
    day_end = value[11:19] == "24:00:00"
    try:
        moment = dt.datetime.fromisoformat(value[:11] + "00" + value[13:] if day_end else value)
    except ValueError:
        return bad(value, "a valid date")
    if day_end:
        moment += dt.timedelta(days=1)
    if moment.microsecond >= 500_000:
        moment += dt.timedelta(seconds=1)
    return moment.replace(microsecond=0).isoformat()


def decode_common(value: object, column_type: str, decimal_strings: bool) -> object:
    """Types that every reader writes alike; value is not None."""
    if column_type in ("text", "memo"):
        return value if isinstance(value, str) else bad(value, "text")
    if column_type in ("byte", "integer", "long"):
        return value if type(value) is int else bad(value, "an integer")
    if column_type == "boolean":
        return value if isinstance(value, bool) else bad(value, "true or false")
    if column_type in ("double", "float"):
        if not is_number(value):
            return bad(value, "a number")
        number = as_float(value)
        return single(number) if column_type == "float" else number
    if column_type in ("currency", "numeric"):
        if is_number(value):
            return decimal_text(Decimal(value))
        if decimal_strings and isinstance(value, str):
            try:
                return decimal_text(Decimal(value))
            except InvalidOperation:
                pass
        return bad(value, "a decimal")
    if column_type == "datetime":
        return iso_datetime(value)
    return value  # a type Jet 4 does not have; compared as written


def within_mdbtools(value: object, column_type: str) -> object:
    """A canonical value cut down to what mdbtools can show of it."""
    if isinstance(value, Bad) or value is None:
        return value
    if column_type in ("text", "memo"):
        return ASTRAL.sub("??", value) or None
    if column_type == "binary":
        value = value.split(b"\0", 1)[0]
        return value or None
    if column_type == "double":
        return float_digits(value, 16)
    if column_type == "float":
        return float_digits(value, 8)
    return value


def float_digits(value: float, digits: int) -> str:
    return "nan" if math.isnan(value) else f"{value:.{digits}g}"


def comparable(value: object) -> object:
    """NaN is a value like any other here."""
    return "nan" if isinstance(value, float) and math.isnan(value) else value


def show(value: object) -> str:
    if isinstance(value, bytes):
        return "bytes " + (value[:32].hex() + ("..." if len(value) > 32 else ""))
    if isinstance(value, Decimal):
        return str(value)
    if isinstance(value, Pairs):
        return "{" + ", ".join(f"{k}: {show(v)}" for k, v in value) + "}"
    text = json.dumps(value, ensure_ascii=False) if not isinstance(value, Bad) else repr(value)
    return text if len(text) <= 120 else text[:117] + "..."


# ---------------------------------------------------------------------------------------------
# Comparing


class Report:
    def __init__(self, max_diffs: int):
        self.max_diffs = max_diffs
        self.mismatches = 0

    def mismatch(self, where: str, message: str) -> None:
        self.mismatches += 1
        if self.mismatches <= self.max_diffs:
            print(f"MISMATCH {where}: {message}")
        elif self.mismatches == self.max_diffs + 1:
            print(f"... more mismatches not shown (--max-diffs {self.max_diffs})")


def canonical_pair(one: Reader, a: object, other: Reader, b: object,
                   column_type: str) -> tuple[object, object, bool]:
    """Two readers' values in their canonical forms, and whether they agree."""
    ca, cb = one.decode(a, column_type), other.decode(b, column_type)
    if "mdbtools" in (one.name, other.name):
        ca, cb = within_mdbtools(ca, column_type), within_mdbtools(cb, column_type)
    same = not isinstance(ca, Bad) and not isinstance(cb, Bad) and comparable(ca) == comparable(cb)
    return ca, cb, same


def compare_table(ref: Reader, ref_data: TableData, other: Reader, data: TableData,
                  types: list[str], report: Report, where: str) -> None:
    pair = f"{ref.name} vs {other.name}"
    before = report.mismatches
    if ref_data.columns is not None and data.columns is not None and ref_data.columns != data.columns:
        report.mismatch(where, f"columns differ, {pair}:\n    {ref.name}: {ref_data.columns}\n"
                               f"    {other.name}: {data.columns}")
        return
    if ref_data.types is not None and data.types is not None and ref_data.types != data.types:
        report.mismatch(where, f"column types differ, {pair}:\n    {ref.name}: {ref_data.types}\n"
                               f"    {other.name}: {data.types}")
    if len(ref_data.rows) != len(data.rows):
        report.mismatch(where, f"{ref.name} has {len(ref_data.rows)} rows, {other.name} {len(data.rows)}")
    columns = ref_data.columns or data.columns or []
    for number, (ref_row, row) in enumerate(zip(ref_data.rows, data.rows), 1):
        if len(ref_row) != len(types) or len(row) != len(types):
            report.mismatch(where, f"row {number}: {len(ref_row)} and {len(row)} values, "
                                   f"{len(types)} columns")
            continue
        for name, column_type, a, b in zip(columns, types, ref_row, row):
            ca, cb, same = canonical_pair(ref, a, other, b, column_type)
            if not same:
                report.mismatch(where, f"row {number} column {name!r} ({column_type}):\n"
                                       f"    {ref.name}: {show(a)}  -> {show(ca)}\n"
                                       f"    {other.name}: {show(b)}  -> {show(cb)}")
    if report.mismatches == before:
        print(f"ok {where}: {len(data.rows)} rows, {len(columns)} columns, {pair} agree")


def compare_file(file: Path, readers: list[Reader], report: Report) -> None:
    ref, others = readers[0], readers[1:]
    table_lists: dict[str, list[str]] = {}
    for reader in readers:
        try:
            table_lists[reader.name] = reader.tables(file)
        except ReaderError as error:
            report.mismatch(f"{file.name}", f"{reader.name} could not list the tables: {error}")
    if ref.name not in table_lists:
        return
    for other in others:
        if other.name in table_lists and table_lists[other.name] != table_lists[ref.name]:
            report.mismatch(file.name, f"table lists differ:\n    {ref.name}: {table_lists[ref.name]}\n"
                                       f"    {other.name}: {table_lists[other.name]}")
    print(f"{file.name}: tables {table_lists[ref.name]}")

    for table in table_lists[ref.name]:
        where = f"{file.name} {table}"
        data: dict[str, TableData] = {}
        for reader in readers:
            if table not in table_lists.get(reader.name, []):
                continue
            try:
                data[reader.name] = reader.table(file, table)
            except ReaderError as error:
                report.mismatch(where, f"{reader.name} could not read the table: {error}")
        if ref.name not in data:
            continue
        # The column types come from mdb-reader where it runs, else from mdb-schema.
        typed = [d for name in ("mdbreader", "mdbtools") if (d := data.get(name)) and d.types is not None]
        if not typed:
            report.mismatch(where, "no reader told the column types")
            continue
        types = typed[0].types
        for other in others:
            if other.name in data:
                compare_table(ref, data[ref.name], other, data[other.name], types, report,
                              f"{where} [{ref.name} vs {other.name}]")


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("files", nargs="+", type=Path, metavar="FILE", help="a .mdb file")
    parser.add_argument("--password", help="the database password (mdbtools ignores it)")
    parser.add_argument("--jet", type=Path, default=REPO_ROOT / "build" / "bin" / "jet",
                        help="our jet tool (default: build/bin/jet in the repository)")
    parser.add_argument("--only", choices=["mdbtools", "mdbreader"],
                        help="compare with this reader only")
    parser.add_argument("--no-jet", action="store_true",
                        help="leave our engine out and compare mdbtools with mdbreader")
    parser.add_argument("--max-diffs", type=int, default=MAX_DIFFS_DEFAULT,
                        help=f"mismatches to print (default {MAX_DIFFS_DEFAULT})")
    args = parser.parse_args(argv)

    try:
        readers: list[Reader] = []
        if not args.no_jet:
            if not os.access(args.jet, os.X_OK):
                raise ReaderError(f"no jet tool at {args.jet} (build first, or pass --jet)")
            readers.append(JetReader(args.jet, args.password))
        if args.only in (None, "mdbtools"):
            readers.append(MdbTools())
        if args.only in (None, "mdbreader"):
            readers.append(MdbReader(args.password))
    except ReaderError as error:
        print(f"compare_readers: {error}", file=sys.stderr)
        return 2
    if len(readers) < 2:
        print("compare_readers: --no-jet with --only leaves one reader; nothing to compare",
              file=sys.stderr)
        return 2

    report = Report(args.max_diffs)
    for file in args.files:
        if not file.is_file():
            print(f"compare_readers: no such file {file}", file=sys.stderr)
            return 2
        compare_file(file, readers, report)
    if report.mismatches:
        print(f"FAILED: {report.mismatches} mismatches between {', '.join(r.name for r in readers)}")
        return 1
    print(f"all agree: {', '.join(r.name for r in readers)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
