// Table definitions: columns, indexes, usage map pointers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/jet/coding.h"
#include "platform/jet/status.h"

namespace jet {

enum class ColumnType : uint8_t {
  kBool = 0x01,
  kByte = 0x02,
  kInt = 0x03,
  kLong = 0x04,
  kMoney = 0x05,
  kFloat = 0x06,
  kDouble = 0x07,
  kDateTime = 0x08,
  kBinary = 0x09,
  kText = 0x0A,
  kOle = 0x0B,
  kMemo = 0x0C,
  kGuid = 0x0F,
  kNumeric = 0x10,
};

// The type's name as `jet schema` prints it ("Text", "Memo", ...).
std::string columnTypeName(ColumnType t);
// Size in bytes of a fixed-length type, 0 for variable-length ones.
uint16_t fixedSizeOf(ColumnType t);

struct Column {
  std::string name;
  ColumnType type = ColumnType::kMemo;
  uint16_t number = 0;       // position in the null mask
  uint16_t varIndex = 0;     // slot in the row's variable offset table
  uint16_t fixedOffset = 0;  // offset in the fixed area
  uint16_t length = 0;       // bytes: 2 per character for text
  uint8_t flags = 0;
  uint8_t miscFlags = 0;
  uint8_t precision = 0, scale = 0;

  bool fixed() const { return flags & 0x01; }
  bool autoNumber() const { return flags & 0x04; }
  bool compressedUnicode() const { return miscFlags & 0x01; }
  bool longValue() const { return type == ColumnType::kMemo || type == ColumnType::kOle; }
};

struct Index {
  std::string name;
  std::vector<uint16_t> columns;  // column numbers
  uint8_t flags = 0;              // 0x01 unique, 0x02 ignore nulls, 0x08 required
  uint8_t type = 0;               // 0x01 primary key, 0x02 foreign key
  uint32_t realIndex = 0;
  uint32_t firstPage = 0;
};

struct TableDef {
  std::string name;
  uint32_t tdefPage = 0;
  uint32_t rowCount = 0;
  uint32_t nextAutonumber = 0;
  uint8_t tableType = 0;
  uint16_t maxColumns = 0;
  uint16_t varColumns = 0;
  uint32_t realIndexCount = 0;
  uint32_t ownedMap = 0;  // row pointer of the owned-pages usage map
  uint32_t freeMap = 0;   // row pointer of the free-space usage map
  std::vector<Column> columns;  // in column-number order
  std::vector<Index> indexes;

  // Index of the column named `name`, or -1.
  int find(const std::string& name) const;
  // Bytes of the fixed area of a row (known once the columns are).
  uint16_t fixedAreaSize() const { return fixedBytes; }
  uint16_t fixedBytes = 0;
};

// Decodes a table definition from its pages (the first page whole, the
// following ones from byte 8), as concatenated by the caller.
Result<TableDef> decodeTableDef(const Bytes& definition, uint32_t tdefPage);

// A column of a table to create.
struct ColumnSpec {
  std::string name;
  ColumnType type;
  uint16_t textLength = 0;  // characters, for kText
  bool autoNumber = false;
};

// Encodes the definition of a new table without indexes into one page.
// Fails with InvalidArgument when it does not fit one page.
Result<Bytes> encodeTableDef(const std::vector<ColumnSpec>& columns, bool system, uint32_t ownedMap,
                             uint32_t freeMap);

}  // namespace jet
