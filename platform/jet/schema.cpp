#include "platform/jet/schema.h"

#include <algorithm>

#include "platform/jet/format.h"
#include "platform/jet/text.h"

namespace jet {

using namespace format;

std::string columnTypeName(ColumnType t) {
  switch (t) {
    case ColumnType::kBool: return "Boolean";
    case ColumnType::kByte: return "Byte";
    case ColumnType::kInt: return "Integer";
    case ColumnType::kLong: return "Long Integer";
    case ColumnType::kMoney: return "Currency";
    case ColumnType::kFloat: return "Single";
    case ColumnType::kDouble: return "Double";
    case ColumnType::kDateTime: return "DateTime";
    case ColumnType::kBinary: return "Binary";
    case ColumnType::kText: return "Text";
    case ColumnType::kOle: return "OLE";
    case ColumnType::kMemo: return "Memo";
    case ColumnType::kGuid: return "Replication ID";
    case ColumnType::kNumeric: return "Numeric";
  }
  return "Unknown type " + std::to_string(int(t));
}

uint16_t fixedSizeOf(ColumnType t) {
  switch (t) {
    case ColumnType::kBool: return 0;
    case ColumnType::kByte: return 1;
    case ColumnType::kInt: return 2;
    case ColumnType::kLong: return 4;
    case ColumnType::kMoney: return 8;
    case ColumnType::kFloat: return 4;
    case ColumnType::kDouble: return 8;
    case ColumnType::kDateTime: return 8;
    case ColumnType::kGuid: return 16;
    case ColumnType::kNumeric: return 17;
    default: return 0;
  }
}


int TableDef::find(const std::string& n) const {
  for (size_t i = 0; i < columns.size(); ++i)
    if (columns[i].name == n) return int(i);
  return -1;
}


Result<TableDef> decodeTableDef(const Bytes& d, uint32_t tdefPage) {
  const std::string where = "table definition on page " + std::to_string(tdefPage);
  if (d.size() < kTdefBlockEnd || d[0] != kPageTableDef) return Status::Corruption(where + " is not a table definition");
  TableDef t;
  t.tdefPage = tdefPage;
  t.rowCount = get32(&d[kTdefRowCountOffset]);
  t.nextAutonumber = get32(&d[kTdefAutonumberOffset]);
  t.tableType = d[kTdefTableTypeOffset];
  t.maxColumns = get16(&d[kTdefMaxColsOffset]);
  t.varColumns = get16(&d[kTdefVarColsOffset]);
  uint16_t columnCount = get16(&d[kTdefColsOffset]);
  uint32_t indexCount = get32(&d[kTdefIndexCountOffset]);
  t.realIndexCount = get32(&d[kTdefRealIndexCountOffset]);
  t.ownedMap = get32(&d[kTdefOwnedMapOffset]);
  t.freeMap = get32(&d[kTdefFreeMapOffset]);
  if (indexCount > 1000 || t.realIndexCount > 1000 || columnCount > 4096)
    return Status::Corruption(where + " has impossible column or index counts");

  size_t pos = kTdefBlockEnd + size_t(t.realIndexCount) * kTdefRealIndexEntrySize;
  size_t names = pos + size_t(columnCount) * kTdefColumnEntrySize;
  if (names > d.size()) return Status::Corruption(where + " is truncated in its columns");
  for (uint16_t i = 0; i < columnCount; ++i) {
    const uint8_t* c = &d[pos + size_t(i) * kTdefColumnEntrySize];
    Column col;
    col.type = ColumnType(c[0]);
    col.number = get16(c + 5);
    col.varIndex = get16(c + 7);
    col.precision = c[11];
    col.scale = c[12];
    col.flags = c[15];
    col.miscFlags = c[16];
    col.fixedOffset = get16(c + 21);
    col.length = get16(c + 23);
    t.columns.push_back(col);
  }
  pos = names;
  for (Column& col : t.columns) {
    if (pos + 2 > d.size()) return Status::Corruption(where + " is truncated in its column names");
    uint16_t n = get16(&d[pos]);
    pos += 2;
    if (pos + n > d.size()) return Status::Corruption(where + " is truncated in its column names");
    col.name = decodeText(&d[pos], n);
    pos += n;
  }
  // Physical index definitions: ten (column, order) pairs each.
  std::vector<std::vector<uint16_t>> realColumns;
  std::vector<uint32_t> realFirstPage;
  std::vector<uint8_t> realFlags;
  for (uint32_t i = 0; i < t.realIndexCount; ++i) {
    if (pos + kTdefRealIndexDefSize > d.size()) return Status::Corruption(where + " is truncated in its indexes");
    const uint8_t* r = &d[pos + 4];
    std::vector<uint16_t> cols;
    for (int k = 0; k < 10; ++k) {
      uint16_t cn = get16(r + 3 * k);
      if (cn != 0xFFFF) cols.push_back(cn);
    }
    realColumns.push_back(cols);
    realFirstPage.push_back(get32(r + 34));
    realFlags.push_back(r[38]);
    pos += kTdefRealIndexDefSize;
  }
  for (uint32_t i = 0; i < indexCount; ++i) {
    if (pos + kTdefLogicalIndexDefSize > d.size()) return Status::Corruption(where + " is truncated in its indexes");
    const uint8_t* l = &d[pos];
    Index ix;
    ix.realIndex = get32(l + 8);
    ix.type = l[23];
    if (ix.realIndex < realColumns.size()) {
      ix.columns = realColumns[ix.realIndex];
      ix.firstPage = realFirstPage[ix.realIndex];
      ix.flags = realFlags[ix.realIndex];
    }
    t.indexes.push_back(ix);
    pos += kTdefLogicalIndexDefSize;
  }
  for (Index& ix : t.indexes) {
    if (pos + 2 > d.size()) return Status::Corruption(where + " is truncated in its index names");
    uint16_t n = get16(&d[pos]);
    pos += 2;
    if (pos + n > d.size()) return Status::Corruption(where + " is truncated in its index names");
    ix.name = decodeText(&d[pos], n);
    pos += n;
  }
  std::sort(t.columns.begin(), t.columns.end(), [](const Column& a, const Column& b) { return a.number < b.number; });
  for (const Column& c : t.columns)
    if (c.fixed() && c.type != ColumnType::kBool)
      t.fixedBytes = std::max<uint16_t>(t.fixedBytes, uint16_t(c.fixedOffset + c.length));
  for (const Column& c : t.columns) {
    if (c.fixed() && c.type != ColumnType::kBool && size_t(c.fixedOffset) + c.length > kMaxRowSize)
      return Status::Corruption(where + ": column " + c.name + " lies outside any row");
    if (c.number >= std::max<uint16_t>(t.maxColumns, uint16_t(t.columns.size())) + 256u)
      return Status::Corruption(where + ": column " + c.name + " has an impossible number");
  }
  return t;
}

Result<Bytes> encodeTableDef(const std::vector<ColumnSpec>& specs, bool system, uint32_t ownedMap, uint32_t freeMap) {
  Bytes d(kTdefBlockEnd, 0);
  d[0] = kPageTableDef;
  d[1] = 0x01;
  uint16_t varCount = 0, fixedOffset = 0;
  Bytes entries, names;
  for (size_t i = 0; i < specs.size(); ++i) {
    const ColumnSpec& s = specs[i];
    uint16_t fixedSize = fixedSizeOf(s.type);
    bool fixed = fixedSize > 0 || s.type == ColumnType::kBool;
    uint8_t e[kTdefColumnEntrySize] = {};
    e[0] = uint8_t(s.type);
    put16(e + 5, uint16_t(i));
    put16(e + 9, uint16_t(i));
    if (fixed) {
      put16(e + 7, 0);
      put16(e + 21, fixedOffset);
      put16(e + 23, fixedSize);
      e[15] = kColumnFixed | kColumnNullable | (s.autoNumber ? kColumnAutoLong : 0);
      fixedOffset = uint16_t(fixedOffset + fixedSize);
    } else {
      put16(e + 7, varCount++);
      uint16_t len = s.type == ColumnType::kText ? uint16_t(s.textLength * 2)
                     : s.type == ColumnType::kBinary ? uint16_t(s.textLength) : 0;
      put16(e + 23, len);
      e[15] = kColumnNullable;
    }
    if (s.type == ColumnType::kText || s.type == ColumnType::kMemo) {
      put16(e + 11, 0x0409);  // General sort order
      e[16] = kColumnCompressedUnicode;
    }
    entries.insert(entries.end(), e, e + kTdefColumnEntrySize);
    Bytes n = encodeUtf16le(utf8ToUtf16(s.name));
    append16(names, uint16_t(n.size()));
    names.insert(names.end(), n.begin(), n.end());
  }
  d.insert(d.end(), entries.begin(), entries.end());
  d.insert(d.end(), names.begin(), names.end());
  append16(d, 0xFFFF);  // no per-column usage maps follow
  if (d.size() > kPageSize) return Status::InvalidArgument("the table definition does not fit one page");
  put32(&d[kTdefLengthOffset], uint32_t(d.size()));
  d[kTdefTableTypeOffset] = system ? kTableTypeSystem : kTableTypeUser;
  d[24] = 0x01;  // autonumbers enabled
  put16(&d[kTdefMaxColsOffset], uint16_t(specs.size()));
  put16(&d[kTdefVarColsOffset], varCount);
  put16(&d[kTdefColsOffset], uint16_t(specs.size()));
  put32(&d[kTdefOwnedMapOffset], ownedMap);
  put32(&d[kTdefFreeMapOffset], freeMap);
  put32(&d[kTdefAutonumberOffset], 1);
  d.resize(kPageSize, 0);
  put16(&d[2], uint16_t(kPageSize - get32(&d[kTdefLengthOffset]) - 8));
  return d;
}

}  // namespace jet
