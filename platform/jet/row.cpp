#include "platform/jet/row.h"

#include <algorithm>

#include "platform/jet/format.h"

namespace jet {

Status crackRow(const TableDef& t, const uint8_t* row, size_t len, std::vector<Field>& out) {
  out.assign(t.columns.size(), Field{});
  if (len < 2) return Status::Corruption("row shorter than its column count");
  uint16_t columnCount = get16(row);
  size_t maskSize = (size_t(columnCount) + 7) / 8;
  if (maskSize + 2 > len) return Status::Corruption("row too short for its null mask");
  const uint8_t* mask = row + len - maskSize;

  // The variable offsets are read where they lie, last column first, just
  // before the variable count; each is checked as it is used.
  uint16_t varCount = 0;
  const uint8_t* offsetsEnd = nullptr;
  size_t varLimit = 0;
  if (t.varColumns > 0) {
    if (len < maskSize + 4) return Status::Corruption("row too short for its variable columns");
    varCount = get16(row + len - maskSize - 2);
    size_t tableBytes = 2 * (size_t(varCount) + 1);
    if (len < maskSize + 2 + tableBytes + 2) return Status::Corruption("row too short for its offset table");
    offsetsEnd = row + len - maskSize - 2;
    varLimit = len - maskSize - 2 - tableBytes;
  }
  const size_t fixedEnd = 2 + size_t(t.fixedAreaSize());
  for (size_t k = 0; k < t.columns.size(); ++k) {
    const Column& c = t.columns[k];
    Field& f = out[k];
    bool bit = c.number < columnCount && (mask[c.number / 8] >> (c.number % 8)) & 1;
    if (c.type == ColumnType::kBool) {
      f.present = true;
      f.boolValue = bit;
      continue;
    }
    if (!bit) continue;
    if (c.fixed()) {
      size_t start = 2 + size_t(c.fixedOffset);
      if (start + c.length > len - maskSize || fixedEnd > len) return Status::Corruption("fixed column outside the row");
      f.present = true;
      f.data = row + start;
      f.size = c.length;
    } else {
      if (c.varIndex >= varCount) continue;  // added after this row was written: null
      size_t begin = get16(offsetsEnd - 2 * (size_t(c.varIndex) + 1));
      size_t end = get16(offsetsEnd - 2 * (size_t(c.varIndex) + 2));
      if (begin < 2 || begin > end || end > varLimit) return Status::Corruption("row variable offset outside the row");
      f.present = true;
      f.data = row + begin;
      f.size = end - begin;
    }
  }
  return Status::Ok();
}

Bytes buildRow(const TableDef& t, const std::vector<FieldBytes>& fields) {
  uint16_t columnCount = t.maxColumns;
  for (const Column& c : t.columns) columnCount = std::max<uint16_t>(columnCount, uint16_t(c.number + 1));
  size_t maskSize = (size_t(columnCount) + 7) / 8;
  Bytes row(2 + t.fixedAreaSize(), 0);
  put16(row.data(), columnCount);
  Bytes mask(maskSize, 0);

  std::vector<const Column*> vars;
  std::vector<const FieldBytes*> varFields;
  for (size_t k = 0; k < t.columns.size(); ++k) {
    const Column& c = t.columns[k];
    const FieldBytes& f = fields[k];
    bool bit = c.type == ColumnType::kBool ? f.boolValue : f.present;
    if (bit) mask[c.number / 8] |= uint8_t(1 << (c.number % 8));
    if (c.type == ColumnType::kBool) continue;
    if (c.fixed()) {
      if (f.present) std::copy(f.data.begin(), f.data.begin() + std::min<size_t>(f.data.size(), c.length),
                               row.begin() + 2 + c.fixedOffset);
    } else {
      vars.push_back(&c);
      varFields.push_back(&f);
    }
  }
  if (t.varColumns > 0) {
    uint16_t varCount = 0;
    for (const Column* c : vars) varCount = std::max<uint16_t>(varCount, uint16_t(c->varIndex + 1));
    std::vector<const FieldBytes*> bySlot(varCount, nullptr);
    for (size_t i = 0; i < vars.size(); ++i) bySlot[vars[i]->varIndex] = varFields[i];
    std::vector<uint16_t> offsets;
    for (uint16_t i = 0; i < varCount; ++i) {
      offsets.push_back(uint16_t(row.size()));
      if (bySlot[i] && bySlot[i]->present) row.insert(row.end(), bySlot[i]->data.begin(), bySlot[i]->data.end());
    }
    offsets.push_back(uint16_t(row.size()));  // end of data
    for (size_t i = offsets.size(); i-- > 0;) append16(row, offsets[i]);
    append16(row, varCount);
  }
  row.insert(row.end(), mask.begin(), mask.end());
  return row;
}

}  // namespace jet
