#!/usr/bin/env node
// Prints a Jet database's tables through the npm package mdb-reader, as an independent reader
// that tests hold our own engine against.
//
//   node mdbreader-export.mjs FILE TABLE [--password P]    rows as JSON Lines, keys in column order
//   node mdbreader-export.mjs FILE --tables [--password P] user table names, one a line
//   node mdbreader-export.mjs FILE TABLE --columns [...]   one JSON object a column: name, type,
//                                                          size and, for numeric, precision/scale
//
// Values: text as strings, integers and floating point as numbers, booleans as booleans, dates as
// ISO 8601 without a zone ("2004-06-05T13:04:17", with ".mmm" only when there are milliseconds),
// binary and OLE as base64, null as null. Currency, numeric and replication IDs stay the exact
// strings that mdb-reader makes of them, since a number could not hold every currency value.
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

function usage(message) {
  process.stderr.write(
    `${message}\nusage: mdbreader-export.mjs FILE (TABLE [--columns] | --tables) [--password P]\n`,
  );
  process.exit(2);
}

function parseArgs(argv) {
  const args = { password: undefined, tables: false, columns: false, positional: [] };
  for (let i = 0; i < argv.length; i++) {
    const arg = argv[i];
    if (arg === "--password") {
      if (i + 1 >= argv.length) usage("--password needs a value");
      args.password = argv[++i];
    } else if (arg === "--tables") {
      args.tables = true;
    } else if (arg === "--columns") {
      args.columns = true;
    } else if (arg.startsWith("--")) {
      usage(`unknown option ${arg}`);
    } else {
      args.positional.push(arg);
    }
  }
  const wanted = args.tables ? 1 : 2;
  if (args.positional.length !== wanted) usage("wrong number of arguments");
  return args;
}

// mdb-reader turns the stored day count into a Date as if it were UTC, so the UTC fields are the
// wall-clock time that Access shows.
function isoDate(date) {
  const text = date.toISOString(); // 2004-06-05T13:04:17.000Z
  const withoutZone = text.slice(0, -1);
  return withoutZone.endsWith(".000") ? withoutZone.slice(0, -4) : withoutZone;
}

function jsonValue(value) {
  if (value === null || value === undefined) return null;
  if (value instanceof Date) return isoDate(value);
  if (Buffer.isBuffer(value)) return value.toString("base64");
  if (typeof value === "bigint") return value.toString();
  if (Array.isArray(value)) {
    // attachments (Access 2007 and later only)
    return value.map((item) => Object.fromEntries(
      Object.entries(item).map(([key, inner]) => [key, jsonValue(inner)]),
    ));
  }
  return value;
}

const args = parseArgs(process.argv.slice(2));
const [file, tableName] = args.positional;
const options = args.password === undefined ? {} : { password: args.password };
const reader = new MDBReader(readFileSync(file), options);

const out = [];
if (args.tables) {
  for (const name of reader.getTableNames()) out.push(name);
} else {
  const table = reader.getTable(tableName);
  if (args.columns) {
    for (const column of table.getColumns()) {
      const { name, type, size, precision, scale } = column;
      out.push(JSON.stringify({ name, type, size, precision, scale }));
    }
  } else {
    const names = table.getColumnNames();
    // Written by hand: a JavaScript object would put keys like "1" ahead of the others.
    const keys = names.map((name) => JSON.stringify(name));
    for (const row of table.getData()) {
      const fields = names.map((name, i) => `${keys[i]}:${JSON.stringify(jsonValue(row[name]))}`);
      out.push(`{${fields.join(",")}}`);
    }
  }
}
if (out.length) process.stdout.write(out.join("\n") + "\n");
