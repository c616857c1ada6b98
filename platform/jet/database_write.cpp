// The writing half of Database: transactions, rows, long values, pages and
// usage maps, and the creation of new files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "platform/jet/data_page.h"
#include "platform/jet/database_internal.h"
#include "platform/jet/format.h"
#include "platform/jet/header.h"
#include "platform/jet/row.h"
#include "platform/jet/text.h"

namespace jet {

using namespace format;
using namespace detail;

namespace {

Status tooLong(const Column& c, size_t have) {
  return Status::InvalidArgument("the value for column " + c.name + " has " + std::to_string(have) +
                                 " characters; the column holds at most " + std::to_string(c.length / 2));
}

Status wrongType(const Column& c, const char* want) {
  return Status::InvalidArgument("column " + c.name + " takes " + want);
}

// Days since 1899-12-30 of a civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = unsigned(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + int64_t(doe) - 719468 + 25569;
}

bool parseIsoDate(const std::string& s, double& out) {
  int y, mo, d, h = 0, mi = 0;
  double sec = 0;
  int n = std::sscanf(s.c_str(), "%d-%d-%dT%d:%d:%lf", &y, &mo, &d, &h, &mi, &sec);
  if (n < 3) n = std::sscanf(s.c_str(), "%d-%d-%d %d:%d:%lf", &y, &mo, &d, &h, &mi, &sec);
  if (n < 3 || mo < 1 || mo > 12 || d < 1 || d > 31) return false;
  int64_t days = daysFromCivil(y, unsigned(mo), unsigned(d));
  double frac = (h * 3600.0 + mi * 60.0 + sec) / 86400.0;
  // Access stores times before 1899-12-30 with the fraction's sign kept
  // positive: -1.25 is 1899-12-29 06:00.
  out = days >= 0 ? double(days) + frac : double(days) - frac;
  return true;
}

bool asInteger(const Value& v, int64_t& out) {
  switch (v.kind) {
    case Value::Kind::kInt: out = v.i; return true;
    case Value::Kind::kBool: out = v.b; return true;
    case Value::Kind::kFloat:
      if (std::floor(v.d) != v.d) return false;
      out = int64_t(v.d);
      return true;
    case Value::Kind::kText: {
      char* end = nullptr;
      errno = 0;
      long long x = std::strtoll(v.s.c_str(), &end, 10);
      if (v.s.empty() || *end != 0 || errno) return false;
      out = x;
      return true;
    }
    default: return false;
  }
}

bool asReal(const Value& v, double& out) {
  switch (v.kind) {
    case Value::Kind::kInt: out = double(v.i); return true;
    case Value::Kind::kFloat:
    case Value::Kind::kDateTime: out = v.d; return true;
    case Value::Kind::kCurrency: out = double(v.i) / 10000.0; return true;
    case Value::Kind::kText: {
      char* end = nullptr;
      out = std::strtod(v.s.c_str(), &end);
      return !v.s.empty() && *end == 0;
    }
    default: return false;
  }
}

bool parseGuid(const std::string& s, uint8_t* out) {
  unsigned a, b, c, d[8];
  if (std::sscanf(s.c_str(), "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &a, &b, &c, &d[0], &d[1], &d[2], &d[3],
                  &d[4], &d[5], &d[6], &d[7]) != 11)
    return false;
  put32(out, a);
  put16(out + 4, uint16_t(b));
  put16(out + 6, uint16_t(c));
  for (int i = 0; i < 8; ++i) out[8 + i] = uint8_t(d[i]);
  return true;
}

bool parseNumeric(const std::string& text, unsigned scale, uint8_t* out) {
  std::string s = text;
  bool negative = !s.empty() && s[0] == '-';
  if (negative || (!s.empty() && s[0] == '+')) s.erase(0, 1);
  auto dot = s.find('.');
  std::string whole = s.substr(0, dot), frac = dot == std::string::npos ? "" : s.substr(dot + 1);
  if (frac.size() > scale) return false;
  frac.append(scale - frac.size(), '0');
  std::string digits = whole + frac;
  if (digits.empty()) return false;
  unsigned __int128 v = 0;
  for (char ch : digits) {
    if (ch < '0' || ch > '9') return false;
    v = v * 10 + unsigned(ch - '0');
  }
  out[0] = negative ? 0x80 : 0x00;
  for (int w = 3; w >= 0; --w) {
    put32(out + 1 + 4 * w, uint32_t(v));
    v >>= 32;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Transactions

template <class F>
auto Database::autocommit(F&& body) -> decltype(body()) {
  if (explicitTransaction_) {
    auto result = body();
    // A failed step may have changed some pages: the transaction can only
    // be rolled back now.
    if (!result.ok()) failed_ = true;
    return result;
  }
  Status s = pager_->beginWrite();
  if (!s.ok()) return s;
  states_.clear();
  freePages_.reset();
  globalMapDirty_ = false;
  auto result = body();
  if (!result.ok()) {
    rollback();
    return result;
  }
  Status c = commit();
  if (!c.ok()) return c;
  return result;
}

Status Database::begin() {
  if (pager_->inTransaction()) return Status::InvalidArgument("a transaction is already open");
  JET_RETURN_IF_ERROR(pager_->beginWrite());
  states_.clear();
  freePages_.reset();
  globalMapDirty_ = false;
  failed_ = false;
  explicitTransaction_ = true;
  return Status::Ok();
}

Status Database::commit() {
  if (!pager_->inTransaction()) return Status::InvalidArgument("no transaction to commit");
  explicitTransaction_ = false;
  if (failed_) {
    rollback();
    return Status::InvalidArgument("the transaction was rolled back because one of its changes failed");
  }
  Status s = flush();
  if (!s.ok()) {
    rollback();
    return s;
  }
  states_.clear();
  freePages_.reset();
  return pager_->commit();
}

void Database::rollback() {
  explicitTransaction_ = false;
  failed_ = false;
  states_.clear();
  freePages_.reset();
  globalMapDirty_ = false;
  pager_->rollback();
}

// ---------------------------------------------------------------------------
// Pages and usage maps

Result<std::vector<uint32_t>*> Database::freePages() {
  if (!freePages_) {
    JET_ASSIGN_OR_RETURN(std::vector<uint32_t> bits, readUsageMap(packRowPointer(kGlobalMapPage, 0)));
    auto list = std::make_unique<std::vector<uint32_t>>();
    for (uint32_t p : bits)
      if (p > kCatalogPage && p < pager_->pageCount()) list->push_back(p);
    freePages_ = std::move(list);
  }
  return freePages_.get();
}

Result<uint32_t> Database::allocatePage(uint32_t above) {
  JET_ASSIGN_OR_RETURN(std::vector<uint32_t>* free, freePages());
  globalMapDirty_ = true;
  auto it = std::upper_bound(free->begin(), free->end(), above);
  if (it != free->end()) {
    uint32_t p = *it;
    free->erase(it);
    return p;
  }
  if (pager_->pageCount() >= 0x7FFFF) return Status::InvalidArgument("the database has reached its size limit of 2 GB");
  return pager_->appendPage();
}

Status Database::freePage(uint32_t p) {
  JET_ASSIGN_OR_RETURN(std::vector<uint32_t>* free, freePages());
  setMember(*free, p, true);
  globalMapDirty_ = true;
  return Status::Ok();
}

// Rewrites a usage map row in place, keeping its length.  A map is inline
// (a start page and a bitmap) while its pages fit the row's bits, and
// otherwise refers to map pages of 32736 pages each.  `global` maps mark
// free pages and also every page past the file end, as Access does.
Status Database::writeUsageMap(uint32_t pointer, const std::vector<uint32_t>& pages, bool global) {
  uint32_t mapPage = pointer >> 8;
  uint8_t mapSlot = uint8_t(pointer);
  const uint8_t* p = pager_->page(mapPage);
  page::SlotInfo s;
  if (!p || p[0] != kPageData || !page::slot(p, mapSlot, s) || s.length < 5)
    return Status::Corruption("usage map row on page " + std::to_string(mapPage) + " is missing");
  const size_t len = s.length;
  const uint16_t flags = s.flags;
  std::vector<uint32_t> oldMapPages;
  if (p[s.start] == kMapReference)
    for (size_t k = 0; 1 + 4 * k + 4 <= len; ++k)
      if (uint32_t mp = get32(p + s.start + 1 + 4 * k)) oldMapPages.push_back(mp);

  Bytes row(len, 0);
  const size_t inlineBits = (len - 5) * 8;
  uint32_t limit = global ? pager_->pageCount() : (pages.empty() ? 0 : pages.back() + 1);
  uint32_t start = global || pages.empty() ? 0 : pages.front() / 8 * 8;
  if (size_t(limit - start) <= inlineBits) {
    row[0] = kMapInline;
    put32(&row[1], start);
    for (uint32_t pg : pages) row[5 + (pg - start) / 8] |= uint8_t(1 << ((pg - start) % 8));
    if (global)
      for (size_t b = limit - start; b < inlineBits; ++b) row[5 + b / 8] |= uint8_t(1 << (b % 8));
    for (uint32_t mp : oldMapPages) JET_RETURN_IF_ERROR(freePage(mp));
  } else {
    row[0] = kMapReference;
    const size_t slots = (len - 1) / 4;
    std::vector<uint32_t> mapPages(slots, 0);
    for (size_t k = 0; k < oldMapPages.size() && k < slots; ++k) mapPages[k] = get32(p + s.start + 1 + 4 * k);
    // Map pages of the global map come from the file end, so that making
    // them does not change the free list being written.
    for (;;) {
      size_t need = (size_t(global ? pager_->pageCount() : limit) + kMapPageBits - 1) / kMapPageBits;
      if (need > slots) return Status::InvalidArgument("the database has grown too large for its usage maps");
      bool added = false;
      for (size_t k = 0; k < need; ++k)
        if (mapPages[k] == 0) {
          if (global) {
            mapPages[k] = pager_->appendPage();
          } else {
            JET_ASSIGN_OR_RETURN(mapPages[k], allocatePage(0));
          }
          added = true;
        }
      if (!added) break;
    }
    for (size_t k = 0; k < slots; ++k) {
      put32(&row[1 + 4 * k], mapPages[k]);
      if (mapPages[k] == 0) continue;
      uint8_t* m = pager_->writable(mapPages[k]);
      std::memset(m, 0, kPageSize);
      m[0] = kPageUsageMap;
      m[1] = 0x01;
      uint32_t base = uint32_t(k) * kMapPageBits;
      auto lo = std::lower_bound(pages.begin(), pages.end(), base);
      for (auto it = lo; it != pages.end() && *it < base + kMapPageBits; ++it)
        m[4 + (*it - base) / 8] |= uint8_t(1 << ((*it - base) % 8));
      if (global)
        for (uint32_t b = std::max(base, pager_->pageCount()); b < base + kMapPageBits; ++b)
          m[4 + (b - base) / 8] |= uint8_t(1 << ((b - base) % 8));
    }
  }
  page::replace(pager_->writable(mapPage), mapSlot, row.data(), row.size(), flags);
  return Status::Ok();
}

Status Database::flush() {
  for (auto& [name, st] : states_) {
    TableState& s = *st;
    if (s.defDirty) {
      uint8_t* t = pager_->writable(s.def.tdefPage);
      put32(t + kTdefRowCountOffset, s.def.rowCount);
      put32(t + kTdefAutonumberOffset, s.def.nextAutonumber);
    }
    if (s.mapsDirty) {
      JET_RETURN_IF_ERROR(writeUsageMap(s.def.ownedMap, s.owned, false));
      JET_RETURN_IF_ERROR(writeUsageMap(s.def.freeMap, s.withSpace, false));
    }
  }
  if (globalMapDirty_ && freePages_) {
    // Writing the global map may add map pages at the end; write it until
    // the page count it describes stops changing.
    for (int round = 0; round < 4; ++round) {
      uint32_t before = pager_->pageCount();
      JET_RETURN_IF_ERROR(writeUsageMap(packRowPointer(kGlobalMapPage, 0), *freePages_, true));
      if (pager_->pageCount() == before) break;
    }
  }
  return Status::Ok();
}

// ---------------------------------------------------------------------------
// Tables being written

Result<Database::TableState*> Database::tableState(const std::string& name) {
  // Within a transaction no other writer can change the catalogue, so a
  // table met before needs no second look-up: appending a long list row by
  // row would otherwise read the catalogue once a row.
  if (auto known = states_.find(name); known != states_.end()) return known->second.get();
  JET_ASSIGN_OR_RETURN(CatalogEntry e, findTable(name));
  auto it = states_.find(e.name);
  if (it != states_.end()) return it->second.get();
  auto st = std::make_unique<TableState>();
  JET_ASSIGN_OR_RETURN(st->def, readTableDef(e.tdefPage));
  st->def.name = e.name;
  if (st->def.realIndexCount > 0 || !st->def.indexes.empty())
    return Status::NotSupported("table " + e.name +
                                " has indexes; changing an indexed table is not supported, so that no index is left stale");
  JET_ASSIGN_OR_RETURN(st->owned, readUsageMap(st->def.ownedMap));
  JET_ASSIGN_OR_RETURN(st->withSpace, readUsageMap(st->def.freeMap));
  for (uint32_t p : st->owned)
    if (p >= pager_->pageCount()) return Status::Corruption("table " + e.name + " owns a page beyond the file end");
  return states_.emplace(e.name, std::move(st)).first->second.get();
}

Result<uint32_t> Database::storeLongValue(TableState& s, const Bytes& data, bool& single) {
  if (data.size() <= kMaxRowSize) {
    single = true;
    const uint8_t* lp = s.longValuePage ? pager_->page(s.longValuePage) : nullptr;
    if (!lp || !page::fitsNew(lp, data.size())) {
      JET_ASSIGN_OR_RETURN(s.longValuePage, allocatePage(0));
      page::init(pager_->writable(s.longValuePage), kLongValueOwner);
    }
    unsigned slot = page::insert(pager_->writable(s.longValuePage), data.data(), data.size(), 0);
    return packRowPointer(s.longValuePage, uint8_t(slot));
  }
  single = false;
  const size_t chunk = kMaxRowSize - 4;
  size_t count = (data.size() + chunk - 1) / chunk;
  std::vector<uint32_t> pages(count);
  uint32_t last = 0;
  for (size_t i = 0; i < count; ++i) {
    JET_ASSIGN_OR_RETURN(pages[i], allocatePage(last));
    last = pages[i];
  }
  for (size_t i = 0; i < count; ++i) {
    uint8_t* p = pager_->writable(pages[i]);
    page::init(p, kLongValueOwner);
    size_t from = i * chunk, n = std::min(chunk, data.size() - from);
    Bytes row(4 + n);
    put32(row.data(), i + 1 < count ? packRowPointer(pages[i + 1], 0) : 0);
    std::memcpy(row.data() + 4, data.data() + from, n);
    page::insert(p, row.data(), row.size(), 0);
  }
  return packRowPointer(pages[0], 0);
}

// Removes a row's slot: flags it deleted and empty, and frees the page once
// nothing is left on it.
Status Database::removeSlot(TableState& s, uint32_t pageNo, uint8_t slot, bool ownedPage) {
  uint8_t* p = pager_->writable(pageNo);
  page::replace(p, slot, nullptr, 0, kSlotDeleted);
  if (page::empty(p)) {
    if (ownedPage) {
      setMember(s.owned, pageNo, false);
      setMember(s.withSpace, pageNo, false);
      s.mapsDirty = true;
    }
    if (s.longValuePage == pageNo) s.longValuePage = 0;
    return freePage(pageNo);
  }
  if (ownedPage && page::freeSpace(p) >= kUsefulSpace && !member(s.withSpace, pageNo)) {
    setMember(s.withSpace, pageNo, true);
    s.mapsDirty = true;
  }
  return Status::Ok();
}

Status Database::freeLongValues(TableState& s, const uint8_t* row, size_t len) {
  std::vector<Field> fields;
  JET_RETURN_IF_ERROR(crackRow(s.def, row, len, fields));
  // Collect first: freeing rewrites pages that `row` may point into.
  std::vector<uint32_t> pointers;
  for (size_t k = 0; k < fields.size(); ++k) {
    const Column& c = s.def.columns[k];
    const Field& f = fields[k];
    if (!c.longValue() || !f.present || f.size < kLongValueHeaderSize) continue;
    uint32_t word = get32(f.data);
    if (word & kLongValueInline) continue;
    uint32_t ptr = get32(f.data + 4);
    if (word & kLongValueSingle) {
      pointers.push_back(ptr);
      continue;
    }
    for (int guard = 0; ptr != 0 && guard < 1 << 20; ++guard) {
      pointers.push_back(ptr);
      JET_ASSIGN_OR_RETURN(auto r, rowBytes(ptr >> 8, uint8_t(ptr)));
      if (r.second < 4) return Status::Corruption("long value chain row too short");
      ptr = get32(r.first);
    }
  }
  for (uint32_t ptr : pointers) JET_RETURN_IF_ERROR(removeSlot(s, ptr >> 8, uint8_t(ptr), false));
  return Status::Ok();
}

Result<Bytes> Database::encodeRow(TableState& s, const std::vector<Value>& values, size_t limit) {
  const TableDef& t = s.def;
  if (values.size() > t.columns.size())
    return Status::InvalidArgument("table " + t.name + " has " + std::to_string(t.columns.size()) + " columns, not " +
                                   std::to_string(values.size()));
  std::vector<FieldBytes> fields(t.columns.size());
  struct Long {
    size_t column;
    Bytes data;
  };
  std::vector<Long> longs;
  for (size_t k = 0; k < t.columns.size(); ++k) {
    const Column& c = t.columns[k];
    Value v = k < values.size() ? values[k] : Value::null();
    FieldBytes& f = fields[k];
    if (c.autoNumber() && c.type == ColumnType::kLong) {
      int64_t n;
      if (v.isNull()) {
        v = Value::integer(t.nextAutonumber == 0 ? 1 : t.nextAutonumber);
      } else if (!asInteger(v, n)) {
        return wrongType(c, "a whole number");
      }
      asInteger(v, n);
      if (n >= int64_t(s.def.nextAutonumber)) {
        s.def.nextAutonumber = uint32_t(n + 1);
        s.defDirty = true;
      }
    }
    if (v.isNull()) continue;
    if (c.type == ColumnType::kBool) {
      int64_t n;
      if (!asInteger(v, n)) return wrongType(c, "true or false");
      f.boolValue = n != 0;
      continue;
    }
    f.present = true;
    if (c.fixed()) f.data.assign(c.length, 0);
    uint8_t* d = f.data.data();
    int64_t n = 0;
    double x = 0;
    switch (c.type) {
      case ColumnType::kByte:
        if (!asInteger(v, n) || n < 0 || n > 255) return wrongType(c, "a whole number from 0 to 255");
        d[0] = uint8_t(n);
        break;
      case ColumnType::kInt:
        if (!asInteger(v, n) || n < -32768 || n > 32767) return wrongType(c, "a whole number from -32768 to 32767");
        put16(d, uint16_t(int16_t(n)));
        break;
      case ColumnType::kLong:
        if (!asInteger(v, n) || n < INT32_MIN || n > INT32_MAX) return wrongType(c, "a 32-bit whole number");
        put32(d, uint32_t(int32_t(n)));
        break;
      case ColumnType::kMoney:
        if (v.kind == Value::Kind::kCurrency) {
          n = v.i;
        } else if (asReal(v, x)) {
          n = int64_t(std::llround(x * 10000.0));
        } else {
          return wrongType(c, "an amount of money");
        }
        put64(d, uint64_t(n));
        break;
      case ColumnType::kFloat:
        if (!asReal(v, x)) return wrongType(c, "a number");
        putFloat(d, float(x));
        break;
      case ColumnType::kDouble:
        if (!asReal(v, x)) return wrongType(c, "a number");
        putDouble(d, x);
        break;
      case ColumnType::kDateTime:
        if (v.kind == Value::Kind::kText) {
          if (!parseIsoDate(v.s, x)) return wrongType(c, "a date as yyyy-mm-ddThh:mm:ss");
        } else if (!asReal(v, x)) {
          return wrongType(c, "a date");
        }
        putDouble(d, x);
        break;
      case ColumnType::kGuid:
        if (!parseGuid(v.asText(), d)) return wrongType(c, "a GUID like {00000000-0000-0000-0000-000000000000}");
        break;
      case ColumnType::kNumeric:
        if (!parseNumeric(v.asText(), c.scale, d)) return wrongType(c, "a decimal number");
        break;
      case ColumnType::kText: {
        std::u16string u = utf8ToUtf16(v.asText());
        if (u.size() * 2 > c.length) return tooLong(c, u.size());
        f.data = encodeText(u, c.compressedUnicode());
        break;
      }
      case ColumnType::kBinary: {
        std::string b = v.asText();
        if (b.size() > c.length) return wrongType(c, ("at most " + std::to_string(c.length) + " bytes").c_str());
        f.data.assign(b.begin(), b.end());
        break;
      }
      case ColumnType::kMemo: {
        std::u16string u = utf8ToUtf16(v.asText());
        longs.push_back({k, encodeText(u, c.compressedUnicode() && u.size() <= kMaxCompressedMemoChars)});
        break;
      }
      case ColumnType::kOle: {
        std::string b = v.asText();
        longs.push_back({k, Bytes(b.begin(), b.end())});
        break;
      }
      default: return Status::NotSupported("writing column " + c.name + " of this type is not supported");
    }
  }
  // Long values stand in the row until the row would not fit a page; then
  // the largest go to long-value pages, one at a time.
  for (Long& l : longs) {
    Bytes h(kLongValueHeaderSize, 0);
    put32(h.data(), uint32_t(l.data.size()) | kLongValueInline);
    h.insert(h.end(), l.data.begin(), l.data.end());
    fields[l.column].data = std::move(h);
    if (l.data.size() > kLongValueLengthMask) return Status::InvalidArgument("the value for column " +
                                                                             t.columns[l.column].name + " is too long");
  }
  Bytes row = buildRow(t, fields);
  if (row.size() > limit && limit < kMaxRowSize) {
    // Even with every long value moved out the row may not fit `limit`:
    // then it is only bound by the page size.
    std::vector<FieldBytes> least = fields;
    for (Long& l : longs) least[l.column].data.resize(kLongValueHeaderSize);
    if (buildRow(t, least).size() > limit) limit = kMaxRowSize;
  }
  std::vector<bool> moved(longs.size(), false);
  while (row.size() > limit) {
    size_t best = longs.size();
    for (size_t i = 0; i < longs.size(); ++i)
      if (!moved[i] && (best == longs.size() || longs[i].data.size() > longs[best].data.size())) best = i;
    if (best == longs.size())
      return Status::InvalidArgument("the row is too large for table " + t.name + " even with its long values moved out");
    moved[best] = true;
    bool single = false;
    JET_ASSIGN_OR_RETURN(uint32_t ptr, storeLongValue(s, longs[best].data, single));
    Bytes h(kLongValueHeaderSize, 0);
    put32(h.data(), uint32_t(longs[best].data.size()) | (single ? kLongValueSingle : 0));
    put32(h.data() + 4, ptr);
    fields[longs[best].column].data = std::move(h);
    row = buildRow(t, fields);
  }
  return row;
}

Result<RowId> Database::placeRow(TableState& s, const Bytes& row, uint16_t flags) {
  // New rows go to the table's last page or to a page after it, so that the
  // storage order stays the order of insertion.
  uint32_t last = s.owned.empty() ? 0 : s.owned.back();
  const uint8_t* lp = last ? pager_->page(last) : nullptr;
  if (!lp || lp[0] != kPageData || get32(lp + kDataOwnerOffset) != s.def.tdefPage || !page::fitsNew(lp, row.size())) {
    JET_ASSIGN_OR_RETURN(uint32_t fresh, allocatePage(last));
    page::init(pager_->writable(fresh), s.def.tdefPage);
    setMember(s.owned, fresh, true);
    setMember(s.withSpace, fresh, true);
    s.mapsDirty = true;
    if (lp && member(s.withSpace, last)) setMember(s.withSpace, last, false);
    last = fresh;
  }
  uint8_t* p = pager_->writable(last);
  unsigned slot = page::insert(p, row.data(), row.size(), flags);
  if (page::freeSpace(p) < kUsefulSpace && member(s.withSpace, last)) {
    setMember(s.withSpace, last, false);
    s.mapsDirty = true;
  }
  return RowId{last, uint8_t(slot)};
}

// ---------------------------------------------------------------------------
// Row operations

Result<RowId> Database::append(const std::string& table, const std::vector<Value>& values) {
  return autocommit([&]() -> Result<RowId> {
    JET_ASSIGN_OR_RETURN(TableState * s, tableState(table));
    JET_ASSIGN_OR_RETURN(Bytes row, encodeRow(*s, values));
    JET_ASSIGN_OR_RETURN(RowId id, placeRow(*s, row, 0));
    s->def.rowCount++;
    s->defDirty = true;
    return id;
  });
}

Status Database::update(const std::string& table, const RowId& id, const std::vector<Value>& values) {
  return autocommit([&]() -> Status {
    JET_ASSIGN_OR_RETURN(TableState * s, tableState(table));
    const uint8_t* home = pager_->page(id.page);
    page::SlotInfo hs;
    if (!home || !member(s->owned, id.page) || !page::slot(home, id.slot, hs) || hs.deleted())
      return Status::NotFound("the row no longer exists in table " + table);
    // Where the row's bytes are now: at home, or where its pointer leads.
    bool moved = hs.pointer();
    uint32_t targetPage = id.page;
    uint8_t targetSlot = id.slot;
    if (moved) {
      if (hs.length < 4) return Status::Corruption("bad overflow pointer on page " + std::to_string(id.page));
      targetSlot = home[hs.start];
      targetPage = get24(home + hs.start + 1);
    }
    JET_ASSIGN_OR_RETURN(auto old, rowBytes(targetPage, targetSlot));
    Bytes oldRow(old.first, old.first + old.second);
    // The row stays in its place whenever it can, with its long values
    // moved out to long-value pages if need be: a moved row changes its
    // place in the order readers return rows.
    size_t homeRoom = page::freeSpace(pager_->page(id.page)) + hs.length;
    JET_ASSIGN_OR_RETURN(Bytes row, encodeRow(*s, values, homeRoom));
    JET_RETURN_IF_ERROR(freeLongValues(*s, oldRow.data(), oldRow.size()));

    homeRoom = page::freeSpace(pager_->page(id.page)) + hs.length;
    if (row.size() <= homeRoom) {
      // Fits at home (again): the row stands in its own slot.
      page::replace(pager_->writable(id.page), id.slot, row.data(), row.size(), moved ? 0 : hs.flags);
      if (moved) JET_RETURN_IF_ERROR(removeSlot(*s, targetPage, targetSlot, true));
    } else if (moved && row.size() <= page::freeSpace(pager_->page(targetPage)) + oldRow.size()) {
      page::replace(pager_->writable(targetPage), targetSlot, row.data(), row.size(), kSlotMoved);
    } else {
      // Moves as Access moves a row: it goes elsewhere, flagged as moved,
      // and its first slot keeps a pointer to it.
      JET_ASSIGN_OR_RETURN(RowId there, placeRow(*s, row, kSlotMoved));
      uint8_t ptr[4];
      ptr[0] = there.slot;
      put24(ptr + 1, there.page);
      if (moved) JET_RETURN_IF_ERROR(removeSlot(*s, targetPage, targetSlot, true));
      page::replace(pager_->writable(id.page), id.slot, ptr, 4, kSlotPointer);
    }
    uint8_t* p = pager_->writable(id.page);
    bool roomy = page::freeSpace(p) >= kUsefulSpace;
    if (roomy != member(s->withSpace, id.page)) {
      setMember(s->withSpace, id.page, roomy);
      s->mapsDirty = true;
    }
    return Status::Ok();
  });
}

Status Database::remove(const std::string& table, const RowId& id) {
  return autocommit([&]() -> Status {
    JET_ASSIGN_OR_RETURN(TableState * s, tableState(table));
    const uint8_t* home = pager_->page(id.page);
    page::SlotInfo hs;
    if (!home || !member(s->owned, id.page) || !page::slot(home, id.slot, hs) || hs.deleted())
      return Status::NotFound("the row no longer exists in table " + table);
    uint32_t targetPage = id.page;
    uint8_t targetSlot = id.slot;
    if (hs.pointer()) {
      if (hs.length < 4) return Status::Corruption("bad overflow pointer on page " + std::to_string(id.page));
      targetSlot = home[hs.start];
      targetPage = get24(home + hs.start + 1);
    }
    JET_ASSIGN_OR_RETURN(auto old, rowBytes(targetPage, targetSlot));
    Bytes oldRow(old.first, old.first + old.second);
    JET_RETURN_IF_ERROR(freeLongValues(*s, oldRow.data(), oldRow.size()));
    if (targetPage != id.page || targetSlot != id.slot) JET_RETURN_IF_ERROR(removeSlot(*s, targetPage, targetSlot, true));
    JET_RETURN_IF_ERROR(removeSlot(*s, id.page, id.slot, true));
    if (s->def.rowCount > 0) s->def.rowCount--;
    s->defDirty = true;
    return Status::Ok();
  });
}

Status Database::clear(const std::string& table) {
  return autocommit([&]() -> Status {
    JET_ASSIGN_OR_RETURN(TableState * s, tableState(table));
    // Every page of the table and every long value it refers to goes back
    // to the free list; the table keeps its definition and maps.
    // Live rows, and moved rows through their pointers; a deleted row's
    // long values may already belong to somebody else.
    std::vector<Bytes> rows;
    JET_RETURN_IF_ERROR(scanLocked(s->def, s->owned, [&](const RowId&, const uint8_t* row, size_t len, bool&) {
      rows.emplace_back(row, row + len);
      return Status::Ok();
    }));
    for (const Bytes& row : rows) JET_RETURN_IF_ERROR(freeLongValues(*s, row.data(), row.size()));
    for (uint32_t pageNo : s->owned) JET_RETURN_IF_ERROR(freePage(pageNo));
    s->owned.clear();
    s->withSpace.clear();
    s->mapsDirty = true;
    s->def.rowCount = 0;
    s->defDirty = true;
    return Status::Ok();
  });
}

// ---------------------------------------------------------------------------
// Creating a database

Status Database::createTable(const TableSpec& spec, uint32_t mapPage) {
  // Two usage map rows (owned pages, pages with space) on the map page.
  uint8_t* mp = pager_->writable(mapPage);
  Bytes emptyMap(kUsageMapRowSize, 0);
  if (!page::fitsNew(mp, emptyMap.size() * 2 + 2)) return Status::InvalidArgument("too many tables for one map page");
  unsigned owned = page::insert(mp, emptyMap.data(), emptyMap.size(), 0);
  unsigned withSpace = page::insert(mp, emptyMap.data(), emptyMap.size(), 0);
  JET_ASSIGN_OR_RETURN(uint32_t tdefPage, allocatePage(0));
  JET_ASSIGN_OR_RETURN(Bytes def, encodeTableDef(spec.columns, false, packRowPointer(mapPage, uint8_t(owned)),
                                                 packRowPointer(mapPage, uint8_t(withSpace))));
  std::memcpy(pager_->writable(tdefPage), def.data(), kPageSize);

  double now = nowAsAccessDate();
  std::vector<Value> entry(17);
  entry[0] = Value::integer(int32_t(tdefPage));
  entry[1] = Value::integer(int32_t(kTablesId));
  entry[2] = Value::text(spec.name);
  entry[3] = Value::integer(1);
  entry[4] = Value::dateTime(now);
  entry[5] = Value::dateTime(now);
  entry[7] = Value::integer(0);
  JET_ASSIGN_OR_RETURN(TableState * sys, tableState("MSysObjects"));
  JET_ASSIGN_OR_RETURN(Bytes row, encodeRow(*sys, entry));
  JET_RETURN_IF_ERROR(placeRow(*sys, row, 0).status());
  sys->def.rowCount++;
  sys->defDirty = true;
  return Status::Ok();
}

Status Database::create(const std::string& path, const std::string& password, const std::vector<TableSpec>& tables) {
  if (::access(path.c_str(), F_OK) == 0) return Status::InvalidArgument(path + " already exists");
  const std::string temp = path + ".new";
  ::unlink(temp.c_str());

  // The skeleton: header, global map, the catalogue's definition and the
  // page that holds usage map rows.  Everything else is written through the
  // engine itself.
  double now = nowAsAccessDate();
  JET_ASSIGN_OR_RETURN(Bytes header, encodeHeader(password, now));
  Bytes file(kPageSize * 4, 0);
  std::memcpy(file.data(), header.data(), kPageSize);

  uint8_t* global = &file[kPageSize * kGlobalMapPage];
  page::init(global, kGlobalMapPage);
  Bytes map(kUsageMapRowSize, 0);
  for (size_t b = 4; b < (kUsageMapRowSize - 5) * 8; ++b) map[5 + b / 8] |= uint8_t(1 << (b % 8));
  page::insert(global, map.data(), map.size(), 0);
  Bytes zeros(kUsageMapRowSize, 0);
  page::insert(global, zeros.data(), zeros.size(), 0);

  const uint32_t mapPage = 3;
  uint8_t* maps = &file[kPageSize * mapPage];
  page::init(maps, 0);
  page::insert(maps, zeros.data(), zeros.size(), 0);
  page::insert(maps, zeros.data(), zeros.size(), 0);

  std::vector<ColumnSpec> catalog = {
      {"Id", ColumnType::kLong},           {"ParentId", ColumnType::kLong},     {"Name", ColumnType::kText, 255},
      {"Type", ColumnType::kInt},          {"DateCreate", ColumnType::kDateTime}, {"DateUpdate", ColumnType::kDateTime},
      {"Owner", ColumnType::kBinary, 255}, {"Flags", ColumnType::kLong},        {"Database", ColumnType::kMemo},
      {"Connect", ColumnType::kMemo},      {"ForeignName", ColumnType::kText, 255}, {"RmtInfoShort", ColumnType::kBinary, 255},
      {"RmtInfoLong", ColumnType::kOle},   {"Lv", ColumnType::kOle},           {"LvProp", ColumnType::kOle},
      {"LvModule", ColumnType::kOle},      {"LvExtra", ColumnType::kOle},
  };
  JET_ASSIGN_OR_RETURN(Bytes sysDef, encodeTableDef(catalog, true, packRowPointer(mapPage, 0), packRowPointer(mapPage, 1)));
  std::memcpy(&file[kPageSize * kCatalogPage], sysDef.data(), kPageSize);

  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return Status::IOError("cannot create " + temp + ": " + std::strerror(errno));
  bool written = ::write(fd, file.data(), file.size()) == ssize_t(file.size());
  ::close(fd);
  if (!written) {
    ::unlink(temp.c_str());
    return Status::IOError("cannot write " + temp);
  }

  auto fill = [&]() -> Status {
    JET_ASSIGN_OR_RETURN(std::unique_ptr<Database> db, open(temp, password));
    JET_RETURN_IF_ERROR(db->begin());
    JET_ASSIGN_OR_RETURN(TableState * sys, db->tableState("MSysObjects"));
    struct Entry {
      uint32_t id, parent;
      const char* name;
      int type;
      uint32_t flags;
    };
    const Entry fixed[] = {
        {kTablesId, kRootId, "Tables", 3, 0x80000000},
        {kDatabasesId, kRootId, "Databases", 3, 0x80000000},
        {kRelationshipsId, kRootId, "Relationships", 3, 0x80000000},
        {kMSysDbId, kDatabasesId, "MSysDb", 2, 0x80000000},
        {kCatalogPage, kTablesId, "MSysObjects", 1, 0x80000000},
    };
    for (const Entry& e : fixed) {
      std::vector<Value> v(17);
      v[0] = Value::integer(int32_t(e.id));
      v[1] = Value::integer(int32_t(e.parent));
      v[2] = Value::text(e.name);
      v[3] = Value::integer(e.type);
      v[4] = Value::dateTime(now);
      v[5] = Value::dateTime(now);
      v[7] = Value::integer(int32_t(e.flags));
      JET_ASSIGN_OR_RETURN(Bytes row, db->encodeRow(*sys, v));
      JET_RETURN_IF_ERROR(db->placeRow(*sys, row, 0).status());
      sys->def.rowCount++;
      sys->defDirty = true;
    }
    for (const TableSpec& t : tables) JET_RETURN_IF_ERROR(db->createTable(t, mapPage));
    return db->commit();
  };
  Status s = fill();
  if (s.ok()) {
    int tfd = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
    if (tfd < 0 || ::fsync(tfd) != 0) s = Status::IOError("cannot sync " + temp);
    if (tfd >= 0) ::close(tfd);
  }
  if (s.ok() && ::link(temp.c_str(), path.c_str()) != 0)
    s = Status::IOError(errno == EEXIST ? path + " already exists" : "cannot create " + path + ": " + std::strerror(errno));
  ::unlink(temp.c_str());
  if (s.ok()) {
    std::string dir = path.find('/') == std::string::npos ? "." : path.substr(0, path.rfind('/') + 1);
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
      ::fsync(dfd);
      ::close(dfd);
    }
  }
  return s;
}

}  // namespace jet
