// The layout of one row on a data page.
//
//   column count (2) | fixed area | variable data | end of data (2) |
//   variable offsets, last column first (2 each) | variable count (2) |
//   null mask (1 bit per column, 1 = present; booleans keep their value here)
//
// A table without variable columns stores neither the offsets nor the
// counts between the fixed area and the null mask.
#pragma once

#include <vector>

#include "platform/jet/coding.h"
#include "platform/jet/schema.h"
#include "platform/jet/status.h"

namespace jet {

// Where a column's stored bytes lie inside a row.
struct Field {
  bool present = false;   // false: null
  bool boolValue = false; // for Boolean columns, their value
  const uint8_t* data = nullptr;
  size_t size = 0;
};

// Splits a row into one Field per column of `t` (in t.columns order).
// Fails with Corruption when the row's structure does not fit its bytes.
Status crackRow(const TableDef& t, const uint8_t* row, size_t length, std::vector<Field>& out);

// The stored form of one column for buildRow.
struct FieldBytes {
  bool present = false;
  bool boolValue = false;
  Bytes data;  // fixed columns: exactly the column's size
};

// Lays out a row from stored column values (in t.columns order).
Bytes buildRow(const TableDef& t, const std::vector<FieldBytes>& fields);

}  // namespace jet
