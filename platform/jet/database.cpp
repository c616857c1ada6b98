#include "platform/jet/database.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include "platform/jet/data_page.h"
#include "platform/jet/database_internal.h"
#include "platform/jet/format.h"
#include "platform/jet/header.h"
#include "platform/jet/row.h"
#include "platform/jet/text.h"

namespace jet {

using namespace format;

// ---------------------------------------------------------------------------
// Values

std::string Value::asText() const {
  switch (kind) {
    case Kind::kNull: return {};
    case Kind::kBool: return b ? "1" : "0";
    case Kind::kInt: return std::to_string(i);
    case Kind::kFloat: {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.15g", d);
      return buf;
    }
    case Kind::kCurrency: {
      char buf[40];
      int64_t whole = i / 10000, frac = std::llabs(i % 10000);
      std::snprintf(buf, sizeof buf, "%s%lld.%04lld", (i < 0 && whole == 0) ? "-" : "", (long long)whole,
                    (long long)frac);
      return buf;
    }
    case Kind::kDateTime: {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.10g", d);
      return buf;
    }
    default: return s;
  }
}

bool Value::operator==(const Value& o) const {
  if (kind != o.kind) return false;
  switch (kind) {
    case Kind::kNull: return true;
    case Kind::kBool: return b == o.b;
    case Kind::kInt:
    case Kind::kCurrency: return i == o.i;
    case Kind::kFloat:
    case Kind::kDateTime: return d == o.d;
    default: return s == o.s;
  }
}

namespace {

std::string guidText(const uint8_t* p) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", get32(p), get16(p + 4),
                get16(p + 6), p[8], p[9], p[10], p[11], p[12], p[13], p[14], p[15]);
  return buf;
}

std::string numericText(const uint8_t* p, unsigned scale) {
  // A sign byte, then a 128-bit magnitude stored as four 32-bit words, the
  // most significant word first, each word little-endian.
  unsigned __int128 v = 0;
  for (int w = 0; w < 4; ++w) v = (v << 32) | get32(p + 1 + 4 * w);
  std::string digits;
  do {
    digits.insert(digits.begin(), char('0' + int(v % 10)));
    v /= 10;
  } while (v != 0);
  if (scale > 0) {
    while (digits.size() <= scale) digits.insert(digits.begin(), '0');
    digits.insert(digits.end() - scale, '.');
  }
  if (p[0] & 0x80) digits.insert(digits.begin(), '-');
  return digits;
}

}  // namespace

// ---------------------------------------------------------------------------
// Opening

Database::Database(std::unique_ptr<Pager> pager) : pager_(std::move(pager)) {}

Database::~Database() {
  if (pager_ && pager_->inTransaction()) rollback();
}

// Keeps a read snapshot open for one public call, unless a transaction
// already gives a consistent view.
class ReadScope {
 public:
  explicit ReadScope(Pager& p) : pager_(p), own_(!p.inTransaction()) {
    if (own_) status_ = pager_.beginRead();
  }
  ~ReadScope() {
    if (own_ && status_.ok()) pager_.endRead();
  }
  const Status& status() const { return status_; }

 private:
  Pager& pager_;
  bool own_;
  Status status_;
};

Result<std::unique_ptr<Database>> Database::open(const std::string& path, const std::string& password,
                                                 OpenOptions options) {
  JET_ASSIGN_OR_RETURN(std::unique_ptr<Pager> pager, Pager::open(path, options.readOnly));
  pager->setBusyTimeoutMs(options.busyTimeoutMs);
  {
    ReadScope scope(*pager);
    JET_RETURN_IF_ERROR(scope.status());
    const uint8_t* p0 = pager->page(0);
    if (!p0) return Status::Corruption(path + " is too short to be an Access database");
    JET_ASSIGN_OR_RETURN(Header h, decodeHeader(p0));
    if (h.pagesEncrypted) return Status::NotSupported(path + " is an encrypted database, which is not supported");
    if (h.password != password)
      return Status::PermissionDenied(password.empty() ? path + " is protected by a password"
                                                       : "wrong password for " + path);
    if (pager->pageCount() <= kCatalogPage) return Status::Corruption(path + " is truncated: it has no catalogue");
  }
  JET_RETURN_IF_ERROR(pager->recoverIfNeeded());
  std::unique_ptr<Database> db(new Database(std::move(pager)));
  {
    // Fail now, not at the first query, when the catalogue is unreadable.
    ReadScope scope(*db->pager_);
    JET_RETURN_IF_ERROR(scope.status());
    JET_RETURN_IF_ERROR(db->readCatalog().status());
  }
  return db;
}

// ---------------------------------------------------------------------------
// Reading

Result<std::pair<const uint8_t*, size_t>> Database::rowBytes(uint32_t pageNo, uint8_t slotNo) {
  const uint8_t* p = pager_->page(pageNo);
  if (!p) return Status::Corruption("row pointer to page " + std::to_string(pageNo) + " beyond the file end");
  if (p[0] != kPageData) return Status::Corruption("row pointer to page " + std::to_string(pageNo) + ", not a data page");
  page::SlotInfo s;
  if (!page::slot(p, slotNo, s))
    return Status::Corruption("row pointer to a missing slot " + std::to_string(slotNo) + " on page " +
                              std::to_string(pageNo));
  return std::make_pair(p + s.start, s.length);
}

Result<TableDef> Database::readTableDef(uint32_t tdefPage) {
  Bytes def;
  uint32_t next = tdefPage;
  for (int hops = 0; next != 0; ++hops) {
    const uint8_t* p = pager_->page(next);
    if (!p || p[0] != kPageTableDef || hops > 64)
      return Status::Corruption("table definition chain from page " + std::to_string(tdefPage) + " is broken");
    if (def.empty())
      def.assign(p, p + kPageSize);
    else
      def.insert(def.end(), p + 8, p + kPageSize);
    next = get32(p + kTdefNextPageOffset);
  }
  return decodeTableDef(def, tdefPage);
}

Result<std::vector<uint32_t>> Database::readUsageMap(uint32_t pointer, std::vector<uint32_t>* mapPages) {
  JET_ASSIGN_OR_RETURN(auto row, rowBytes(pointer >> 8, uint8_t(pointer & 0xFF)));
  auto [b, n] = row;
  std::vector<uint32_t> pages;
  if (n < 5) return Status::Corruption("usage map row too short");
  if (b[0] == kMapInline) {
    uint32_t start = get32(b + 1);
    for (size_t i = 0; i < (n - 5) * 8; ++i)
      if (b[5 + i / 8] >> (i % 8) & 1) pages.push_back(start + uint32_t(i));
  } else if (b[0] == kMapReference) {
    for (size_t k = 0; 1 + 4 * k + 4 <= n; ++k) {
      uint32_t mp = get32(b + 1 + 4 * k);
      if (mp == 0) continue;
      const uint8_t* m = pager_->page(mp);
      if (!m || m[0] != kPageUsageMap) return Status::Corruption("usage map points to page " + std::to_string(mp) + ", not a map page");
      if (mapPages) mapPages->push_back(mp);
      for (uint32_t i = 0; i < kMapPageBits; ++i)
        if (m[4 + i / 8] >> (i % 8) & 1) pages.push_back(uint32_t(k) * kMapPageBits + i);
    }
  } else {
    return Status::Corruption("unknown usage map type " + std::to_string(b[0]));
  }
  return pages;
}

Result<Bytes> Database::readLongValue(const uint8_t* h, size_t size) {
  if (size < kLongValueHeaderSize) return Status::Corruption("long value shorter than its header");
  uint32_t word = get32(h);
  uint32_t length = word & kLongValueLengthMask;
  if (word & kLongValueInline) {
    if (length > size - kLongValueHeaderSize) return Status::Corruption("inline long value longer than its row");
    return Bytes(h + kLongValueHeaderSize, h + kLongValueHeaderSize + length);
  }
  uint32_t ptr = get32(h + 4);
  if (word & kLongValueSingle) {
    JET_ASSIGN_OR_RETURN(auto row, rowBytes(ptr >> 8, uint8_t(ptr)));
    if (row.second < length) return Status::Corruption("long value row shorter than its length");
    return Bytes(row.first, row.first + length);
  }
  Bytes out;
  out.reserve(length);
  std::set<uint32_t> seen;
  while (out.size() < length) {
    if (ptr == 0 || !seen.insert(ptr).second)
      return Status::Corruption("long value chain ends early or loops");
    JET_ASSIGN_OR_RETURN(auto row, rowBytes(ptr >> 8, uint8_t(ptr)));
    if (row.second < 4) return Status::Corruption("long value chain row too short");
    size_t take = std::min<size_t>(row.second - 4, length - out.size());
    out.insert(out.end(), row.first + 4, row.first + 4 + take);
    ptr = get32(row.first);
  }
  return out;
}

Result<Value> Database::decodeValue(const Column& c, const Field& f) {
  if (c.type == ColumnType::kBool) return Value::boolean(f.boolValue);
  if (!f.present) return Value::null();
  const uint8_t* p = f.data;
  auto need = [&](size_t n) { return f.size >= n; };
  switch (c.type) {
    case ColumnType::kByte:
      if (need(1)) return Value::integer(p[0]);
      break;
    case ColumnType::kInt:
      if (need(2)) return Value::integer(int16_t(get16(p)));
      break;
    case ColumnType::kLong:
      if (need(4)) return Value::integer(int32_t(get32(p)));
      break;
    case ColumnType::kMoney:
      if (need(8)) return Value::currency(int64_t(get64(p)));
      break;
    case ColumnType::kFloat:
      if (need(4)) return Value::real(getFloat(p));
      break;
    case ColumnType::kDouble:
      if (need(8)) return Value::real(getDouble(p));
      break;
    case ColumnType::kDateTime:
      if (need(8)) return Value::dateTime(getDouble(p));
      break;
    case ColumnType::kGuid:
      if (need(16)) {
        Value v;
        v.kind = Value::Kind::kGuid;
        v.s = guidText(p);
        return v;
      }
      break;
    case ColumnType::kNumeric:
      if (need(17)) {
        Value v;
        v.kind = Value::Kind::kNumeric;
        v.s = numericText(p, c.scale);
        return v;
      }
      break;
    case ColumnType::kText: return Value::text(decodeText(p, f.size));
    case ColumnType::kBinary: return Value::binary(std::string(p, p + f.size));
    case ColumnType::kBool: break;
    case ColumnType::kMemo:
      if (f.size >= kLongValueHeaderSize && (get32(p) & kLongValueInline)) {
        size_t n = get32(p) & kLongValueLengthMask;
        if (n > f.size - kLongValueHeaderSize) return Status::Corruption("inline long value longer than its row");
        return Value::text(decodeText(p + kLongValueHeaderSize, n));
      }
      [[fallthrough]];
    case ColumnType::kOle: {
      JET_ASSIGN_OR_RETURN(Bytes b, readLongValue(p, f.size));
      if (c.type == ColumnType::kMemo) return Value::text(decodeText(b.data(), b.size()));
      return Value::binary(std::string(b.begin(), b.end()));
    }
    default:
      // Types of later Access versions: handed out as their bytes.
      return Value::binary(std::string(p, p + f.size));
  }
  return Status::Corruption("column " + c.name + " holds too few bytes for its type");
}

Result<std::vector<Value>> Database::decodeRow(const TableDef& t, const uint8_t* row, size_t len,
                                               const std::vector<int>* only) {
  thread_local std::vector<Field> fields;
  JET_RETURN_IF_ERROR(crackRow(t, row, len, fields));
  std::vector<Value> values(t.columns.size());
  if (only) {
    for (int k : *only) {
      JET_ASSIGN_OR_RETURN(values[size_t(k)], decodeValue(t.columns[size_t(k)], fields[size_t(k)]));
    }
  } else {
    for (size_t k = 0; k < fields.size(); ++k) {
      JET_ASSIGN_OR_RETURN(values[k], decodeValue(t.columns[k], fields[k]));
    }
  }
  return values;
}

Status Database::scanLocked(const TableDef& t, const std::vector<uint32_t>& pages,
                            const std::function<Status(const RowId&, const uint8_t*, size_t, bool&)>& visit) {
  // Rows come in the order of their bytes on the table's pages, as Access,
  // mdbtools and mdb-reader return them: a moved row where it now stands.
  // It keeps the identity of its first place, where its pointer is, so
  // that the caller's RowId survives the move.
  auto isOwnDataPage = [&](const uint8_t* p) { return p[0] == kPageData && get32(p + kDataOwnerOffset) == t.tdefPage; };
  std::map<uint32_t, RowId> homeOf;  // moved row -> its pointer's slot
  for (uint32_t pageNo : pages) {
    const uint8_t* p = pager_->page(pageNo);
    if (!p) return Status::Corruption("table " + t.name + " owns page " + std::to_string(pageNo) + " beyond the file end");
    if (!isOwnDataPage(p)) {
      if (p[0] == kPageData && get32(p + kDataOwnerOffset) == kLongValueOwner) continue;
      return Status::Corruption("page " + std::to_string(pageNo) + " in the map of table " + t.name +
                                " is not one of its data pages");
    }
    uint16_t n = page::rowCount(p);
    for (unsigned i = 0; i < n; ++i) {
      page::SlotInfo s;
      if (!page::slot(p, i, s))
        return Status::Corruption("bad row offset in slot " + std::to_string(i) + " of page " + std::to_string(pageNo));
      if (s.pointer() && s.length >= 4)
        homeOf[packRowPointer(get24(p + s.start + 1), p[s.start])] = RowId{pageNo, uint8_t(i)};
    }
  }
  bool stop = false;
  for (uint32_t pageNo : pages) {
    const uint8_t* p = pager_->page(pageNo);
    if (!isOwnDataPage(p)) continue;
    uint16_t n = page::rowCount(p);
    for (unsigned i = 0; i < n; ++i) {
      page::SlotInfo s;
      page::slot(p, i, s);
      if (s.deleted() || s.pointer()) continue;
      RowId id{pageNo, uint8_t(i)};
      if (s.moved()) {
        auto home = homeOf.find(packRowPointer(pageNo, uint8_t(i)));
        if (home != homeOf.end()) id = home->second;
      }
      JET_RETURN_IF_ERROR(visit(id, p + s.start, s.length, stop));
      if (stop) return Status::Ok();
    }
  }
  return Status::Ok();
}

Result<std::vector<Database::CatalogEntry>> Database::readCatalog() {
  JET_ASSIGN_OR_RETURN(TableDef sys, readTableDef(kCatalogPage));
  sys.name = "MSysObjects";
  int idCol = sys.find("Id"), nameCol = sys.find("Name"), typeCol = sys.find("Type"), flagsCol = sys.find("Flags");
  if (idCol < 0 || nameCol < 0 || typeCol < 0 || flagsCol < 0)
    return Status::Corruption("the catalogue lacks one of its columns Id, Name, Type, Flags");
  JET_ASSIGN_OR_RETURN(std::vector<uint32_t> pages, readUsageMap(sys.ownedMap));
  std::vector<int> only{idCol, nameCol, typeCol, flagsCol};
  std::vector<CatalogEntry> entries;
  JET_RETURN_IF_ERROR(scanLocked(sys, pages, [&](const RowId&, const uint8_t* row, size_t len, bool&) -> Status {
    JET_ASSIGN_OR_RETURN(std::vector<Value> v, decodeRow(sys, row, len, &only));
    entries.push_back(CatalogEntry{v[size_t(nameCol)].s, uint32_t(v[size_t(idCol)].i) & 0x00FFFFFF,
                                   int(v[size_t(typeCol)].i) & 0x7F, uint32_t(v[size_t(flagsCol)].i)});
    return Status::Ok();
  }));
  return entries;
}

Result<Database::CatalogEntry> Database::findTable(const std::string& name) {
  // The catalogue describes itself, but is found at its fixed page even
  // before its own entry exists (while a new file is being made).
  if (name == "MSysObjects") return CatalogEntry{name, kCatalogPage, 1, 0x80000000};
  JET_ASSIGN_OR_RETURN(std::vector<CatalogEntry> entries, readCatalog());
  auto lower = [](std::string s) {
    for (char& c : s) c = char(std::tolower(uint8_t(c)));
    return s;
  };
  for (auto& e : entries)
    if (e.type == 1 && e.name == name) return e;
  for (auto& e : entries)
    if (e.type == 1 && lower(e.name) == lower(name)) return e;
  return Status::NotFound("no table named " + name);
}

Result<std::vector<std::string>> Database::tableNames() {
  ReadScope scope(*pager_);
  JET_RETURN_IF_ERROR(scope.status());
  JET_ASSIGN_OR_RETURN(std::vector<CatalogEntry> entries, readCatalog());
  std::vector<std::string> names;
  for (auto& e : entries)
    if (e.type == 1 && !(e.flags & detail::kSystemFlags)) names.push_back(e.name);
  return names;
}

Result<TableDef> Database::table(const std::string& name) {
  ReadScope scope(*pager_);
  JET_RETURN_IF_ERROR(scope.status());
  JET_ASSIGN_OR_RETURN(CatalogEntry e, findTable(name));
  JET_ASSIGN_OR_RETURN(TableDef t, readTableDef(e.tdefPage));
  t.name = e.name;
  return t;
}

Status Database::scan(const std::string& name, const std::function<bool(const RowId&, std::vector<Value>&)>& visit) {
  ReadScope scope(*pager_);
  JET_RETURN_IF_ERROR(scope.status());
  JET_ASSIGN_OR_RETURN(CatalogEntry e, findTable(name));
  JET_ASSIGN_OR_RETURN(TableDef t, readTableDef(e.tdefPage));
  t.name = e.name;
  JET_ASSIGN_OR_RETURN(std::vector<uint32_t> pages, readUsageMap(t.ownedMap));
  return scanLocked(t, pages, [&](const RowId& id, const uint8_t* row, size_t len, bool& stop) -> Status {
    JET_ASSIGN_OR_RETURN(std::vector<Value> v, decodeRow(t, row, len));
    stop = !visit(id, v);
    return Status::Ok();
  });
}

Result<std::vector<StoredRow>> Database::selectAll(const std::string& name) {
  std::vector<StoredRow> rows;
  JET_RETURN_IF_ERROR(scan(name, [&](const RowId& id, std::vector<Value>& v) {
    rows.push_back(StoredRow{id, std::move(v)});
    return true;
  }));
  return rows;
}

Result<std::vector<StoredRow>> Database::selectContaining(const std::string& name, const std::string& column,
                                                          const std::string& needle) {
  ReadScope scope(*pager_);
  JET_RETURN_IF_ERROR(scope.status());
  JET_ASSIGN_OR_RETURN(CatalogEntry e, findTable(name));
  JET_ASSIGN_OR_RETURN(TableDef t, readTableDef(e.tdefPage));
  t.name = e.name;
  int col = t.find(column);
  if (col < 0) return Status::NotFound("table " + name + " has no column " + column);
  JET_ASSIGN_OR_RETURN(std::vector<uint32_t> pages, readUsageMap(t.ownedMap));
  std::vector<Field> fields;
  FoldedNeedle folded(needle);
  std::vector<StoredRow> rows;
  JET_RETURN_IF_ERROR(scanLocked(t, pages, [&](const RowId& id, const uint8_t* row, size_t len, bool&) -> Status {
    JET_RETURN_IF_ERROR(crackRow(t, row, len, fields));
    JET_ASSIGN_OR_RETURN(Value v, decodeValue(t.columns[size_t(col)], fields[size_t(col)]));
    if (!folded.foundIn(v.kind == Value::Kind::kText ? v.s : v.asText())) return Status::Ok();
    JET_ASSIGN_OR_RETURN(std::vector<Value> all, decodeRow(t, row, len));
    rows.push_back(StoredRow{id, std::move(all)});
    return Status::Ok();
  }));
  return rows;
}

Status Database::appendRowText(const TableDef& t, const uint8_t* row, size_t len, TextSnapshot& out) {
  thread_local std::vector<Field> fields;
  JET_RETURN_IF_ERROR(crackRow(t, row, len, fields));
  for (size_t k = 0; k < fields.size(); ++k) {
    const Column& c = t.columns[k];
    const Field& f = fields[k];
    if (!f.present && c.type != ColumnType::kBool) {
      // nothing: null reads as empty text
    } else if (c.type == ColumnType::kText) {
      appendDecodedText(out.text, f.data, f.size);
    } else if (c.type == ColumnType::kMemo && f.size >= kLongValueHeaderSize && (get32(f.data) & kLongValueInline)) {
      size_t n = get32(f.data) & kLongValueLengthMask;
      if (n > f.size - kLongValueHeaderSize) return Status::Corruption("inline long value longer than its row");
      appendDecodedText(out.text, f.data + kLongValueHeaderSize, n);
    } else {
      JET_ASSIGN_OR_RETURN(Value v, decodeValue(c, f));
      out.text += v.asText();
    }
    out.ends.push_back(out.text.size());
  }
  return Status::Ok();
}

Result<TextSnapshot> Database::selectText(const std::string& name, const std::string* column, const std::string& needle) {
  ReadScope scope(*pager_);
  JET_RETURN_IF_ERROR(scope.status());
  JET_ASSIGN_OR_RETURN(CatalogEntry e, findTable(name));
  JET_ASSIGN_OR_RETURN(TableDef t, readTableDef(e.tdefPage));
  t.name = e.name;
  int col = -1;
  if (column) {
    col = t.find(*column);
    if (col < 0) return Status::NotFound("table " + name + " has no column " + *column);
  }
  JET_ASSIGN_OR_RETURN(std::vector<uint32_t> pages, readUsageMap(t.ownedMap));
  TextSnapshot out;
  out.columns = t.columns.size();
  if (!column) {
    out.text.reserve(pages.size() * kPageSize * 3 / 2);
    out.ids.reserve(t.rowCount);
    out.ends.reserve(size_t(t.rowCount) * t.columns.size());
  }
  std::vector<Field> fields;
  FoldedNeedle folded(needle);
  std::string probe;
  JET_RETURN_IF_ERROR(scanLocked(t, pages, [&](const RowId& id, const uint8_t* row, size_t len, bool&) -> Status {
    if (column) {
      JET_RETURN_IF_ERROR(crackRow(t, row, len, fields));
      const Field& f = fields[size_t(col)];
      const Column& c = t.columns[size_t(col)];
      probe.clear();
      if (c.type == ColumnType::kMemo && f.present && f.size >= kLongValueHeaderSize &&
          (get32(f.data) & kLongValueInline)) {
        size_t n = get32(f.data) & kLongValueLengthMask;
        if (n > f.size - kLongValueHeaderSize) return Status::Corruption("inline long value longer than its row");
        appendDecodedText(probe, f.data + kLongValueHeaderSize, n);
      } else if (c.type == ColumnType::kText && f.present) {
        appendDecodedText(probe, f.data, f.size);
      } else {
        JET_ASSIGN_OR_RETURN(Value v, decodeValue(c, f));
        probe = v.asText();
      }
      if (!folded.foundIn(probe)) return Status::Ok();
    }
    out.ids.push_back(id);
    return appendRowText(t, row, len, out);
  }));
  return out;
}

Result<TextSnapshot> Database::selectAllText(const std::string& table) { return selectText(table, nullptr, ""); }

Result<TextSnapshot> Database::selectContainingText(const std::string& table, const std::string& column,
                                                    const std::string& needle) {
  return selectText(table, &column, needle);
}

Result<StoredRow> Database::fetch(const std::string& name, const RowId& id) {
  ReadScope scope(*pager_);
  JET_RETURN_IF_ERROR(scope.status());
  JET_ASSIGN_OR_RETURN(CatalogEntry e, findTable(name));
  JET_ASSIGN_OR_RETURN(TableDef t, readTableDef(e.tdefPage));
  const uint8_t* p = pager_->page(id.page);
  page::SlotInfo s;
  if (!p || p[0] != kPageData || get32(p + kDataOwnerOffset) != t.tdefPage || !page::slot(p, id.slot, s) ||
      s.deleted())
    return Status::NotFound("the row no longer exists in table " + name);
  const uint8_t* row = p + s.start;
  size_t len = s.length;
  if (s.pointer()) {
    if (len < 4) return Status::Corruption("bad overflow pointer");
    JET_ASSIGN_OR_RETURN(auto target, rowBytes(get24(row + 1), row[0]));
    row = target.first;
    len = target.second;
  }
  JET_ASSIGN_OR_RETURN(std::vector<Value> v, decodeRow(t, row, len));
  return StoredRow{id, std::move(v)};
}

}  // namespace jet

namespace jet {

Status Database::copyTo(const std::string& target) {
  if (pager_->inTransaction()) return Status::InvalidArgument("cannot copy a database in the middle of a transaction");
  if (target == path()) return Status::InvalidArgument("a database cannot be copied onto itself");
  return pager_->copySnapshotTo(target);
}

}  // namespace jet
