#include "platform/xls/workbook_scan.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/xls/cell_text.h"

namespace xls::scan {
namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;

uint16_t rd16(std::string_view s, std::size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8));
}
uint32_t rd32(std::string_view s, std::size_t at) { return rd16(s, at) | (uint32_t{rd16(s, at + 2)} << 16); }

Status notReadable() { return Status::InvalidFormat("the workbook's structure is not one this scan reads"); }

void appendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string utf8(const std::u16string& s) {
  std::string out;
  out.reserve(s.size() * 3);
  for (std::size_t i = 0; i < s.size(); ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
      c = 0xFFFD;  // half a pair
    appendUtf8(out, c);
  }
  return out;
}

}  // namespace

// The reading parts below are named in the header (as WorkbookScan's
// globals), so they live outside the anonymous namespace.
struct Record {
  uint16_t type;
  std::string_view data;
};

// The records of a stream one by one, from a position; false at the end or
// at a record that runs past it.
class Records {
 public:
  Records(std::string_view stream, std::size_t from) : s_(stream), at_(from) {}
  bool next(Record* r) {
    if (at_ + 4 > s_.size()) return false;
    std::size_t n = rd16(s_, at_ + 2);
    if (at_ + 4 + n > s_.size()) return false;
    r->type = rd16(s_, at_);
    r->data = s_.substr(at_ + 4, n);
    at_ += 4 + n;
    return true;
  }
  // The type of the next record, without taking it; 0 at the end.
  uint16_t peek() const { return at_ + 4 <= s_.size() ? rd16(s_, at_) : 0; }

 private:
  std::string_view s_;
  std::size_t at_;
};

// Reading across a record and the CONTINUE records after it, as strings
// are: a string's characters that go on in the next record are preceded
// there by a fresh flags byte; other bytes just go on.
class Pieces {
 public:
  void add(std::string_view p) { pieces_.push_back(p); }
  std::size_t piece() const { return piece_; }
  std::size_t left() const { return piece_ < pieces_.size() ? pieces_[piece_].size() - at_ : 0; }
  bool atEnd() const { return piece_ >= pieces_.size() || (piece_ + 1 == pieces_.size() && left() == 0); }
  // Moves to the next record when this one is used up.
  bool settle() {
    while (piece_ < pieces_.size() && at_ == pieces_[piece_].size()) {
      ++piece_;
      at_ = 0;
    }
    return piece_ < pieces_.size();
  }
  bool header(std::size_t n) { return settle() && left() >= n; }
  uint8_t u8() { return static_cast<uint8_t>(pieces_[piece_][at_++]); }
  uint16_t u16() {
    uint16_t v = rd16(pieces_[piece_], at_);
    at_ += 2;
    return v;
  }
  uint32_t u32() {
    uint32_t v = rd32(pieces_[piece_], at_);
    at_ += 4;
    return v;
  }
  bool skip(std::size_t n) {
    while (n > 0) {
      if (!settle()) return false;
      std::size_t k = std::min(n, left());
      at_ += k;
      n -= k;
    }
    return true;
  }
  // `count` characters, one or two bytes each as the flags say; into
  // `out`, or skipped when it is null.
  bool chars(std::size_t count, bool compressed, std::u16string* out) {
    if (out) out->clear();
    std::size_t done = 0;
    while (done < count) {
      if (left() == 0) {
        if (++piece_ >= pieces_.size()) return false;
        at_ = 0;
        if (left() == 0) return false;
        compressed = !(u8() & 1);
        continue;
      }
      std::string_view p = pieces_[piece_];
      std::size_t k;
      if (compressed) {
        k = std::min(count - done, left());
        if (out)
          for (std::size_t i = 0; i < k; ++i) out->push_back(static_cast<unsigned char>(p[at_ + i]));
        at_ += k;
      } else {
        k = std::min(count - done, left() / 2);
        if (k == 0) return false;  // half a character at the end of a record
        if (out)
          for (std::size_t i = 0; i < k; ++i) out->push_back(rd16(p, at_ + 2 * i));
        at_ += 2 * k;
      }
      done += k;
    }
    return true;
  }

 private:
  std::vector<std::string_view> pieces_;
  std::size_t piece_ = 0, at_ = 0;
};

// An XLUnicodeString (16-bit length) or ShortXLUnicodeString (8-bit) in
// one record, from `at`.
bool unicodeString(std::string_view d, std::size_t at, bool shortLength, std::string* out) {
  std::size_t head = shortLength ? 2 : 3;
  if (at + head > d.size()) return false;
  std::size_t n = shortLength ? static_cast<unsigned char>(d[at]) : rd16(d, at);
  uint8_t flags = static_cast<unsigned char>(d[at + head - 1]);
  std::size_t p = at + head;
  if (flags & 0x08) p += 2;  // rich text runs: their count
  if (flags & 0x04) p += 4;  // Asian phonetic data: its size
  std::u16string u;
  if (flags & 1) {
    if (p + 2 * n > d.size()) return false;
    for (std::size_t i = 0; i < n; ++i) u.push_back(rd16(d, p + 2 * i));
  } else {
    if (p + n > d.size()) return false;
    for (std::size_t i = 0; i < n; ++i) u.push_back(static_cast<unsigned char>(d[p + i]));
  }
  *out = utf8(u);
  return true;
}

// What the workbook globals say that the cells need: the date system,
// the number formats, the sheets, and where the shared strings are.
struct Globals {
  bool system1904 = false;
  std::vector<uint16_t> xfFormats;                     // each XF's number format
  std::unordered_map<uint16_t, std::string> formats;  // the FORMAT records
  struct Sheet {
    uint32_t pos;
    uint8_t type;
    std::string name;
  };
  std::vector<Sheet> sheets;
  Pieces sst;  // the SST record and its CONTINUE records
  bool haveSst = false;
};

Status readGlobals(std::string_view stream, Globals* g) {
  Records records(stream, 0);
  Record r;
  if (!records.next(&r) || r.type != 0x0809 || r.data.size() < 4 || rd16(r.data, 0) != 0x0600 ||
      rd16(r.data, 2) != 0x0005)
    return notReadable();  // not the globals of a BIFF8 workbook
  while (records.next(&r)) {
    switch (r.type) {
      case 0x000A:  // EOF
        return Status::Ok();
      case 0x002F:  // FILEPASS: the rest is encrypted
        return notReadable();
      case 0x0022:  // DATEMODE
        if (r.data.size() >= 2) g->system1904 = rd16(r.data, 0) == 1;
        break;
      case 0x041E: {  // FORMAT
        std::string f;
        if (r.data.size() >= 2 && unicodeString(r.data, 2, false, &f)) g->formats[rd16(r.data, 0)] = f;
        break;
      }
      case 0x00E0:  // XF
        if (r.data.size() >= 4) g->xfFormats.push_back(rd16(r.data, 2));
        break;
      case 0x0085: {  // BOUNDSHEET
        Globals::Sheet s;
        if (r.data.size() < 6 || !unicodeString(r.data, 6, true, &s.name)) break;
        s.pos = rd32(r.data, 0);
        s.type = static_cast<uint8_t>(r.data[5]);
        g->sheets.push_back(s);
        break;
      }
      case 0x00FC:  // SST, and the CONTINUE records after it
        g->haveSst = true;
        g->sst.add(r.data);
        while (records.peek() == 0x003C && records.next(&r)) g->sst.add(r.data);
        break;
      default:
        break;
    }
  }
  return Status::Ok();
}

// Walks the shared strings from the first; calls `each(index, pieces)`
// for every string with the number of records its characters lie in, and
// with its text when `decode` is set.  Stops early when `each` returns
// false or the table ends before its count.
template <class Each>
void walkStrings(Pieces p, bool decode, Each each) {
  if (!p.header(8)) return;
  p.u32();  // references to strings
  uint32_t unique = p.u32();
  std::u16string chars;
  for (uint32_t i = 0; i < unique; ++i) {
    if (!p.header(3)) return;
    uint16_t n = p.u16();
    uint8_t flags = p.u8();
    uint16_t runs = 0;
    uint32_t phonetic = 0;
    if ((flags & 0x08) && p.left() >= 2) runs = p.u16();  // rich text: formatting runs after the characters
    if ((flags & 0x04) && p.left() >= 4) phonetic = p.u32();  // Asian phonetic data after those
    std::size_t first = p.piece();
    if (!p.chars(n, !(flags & 1), decode ? &chars : nullptr)) return;
    if (!each(i, p.piece() - first + 1, chars)) return;
    if (!p.skip(4u * runs) || !p.skip(phonetic)) return;
  }
}

std::string errorText(uint8_t code) {
  switch (code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    case 0x2A: return "#N/A";
    default: return "#N/A";
  }
}

// Days since 1970-01-01 to a civil date (the proleptic Gregorian calendar).
void civil(int64_t z, int64_t* y, unsigned* m, unsigned* d) {
  z += 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  unsigned doe = static_cast<unsigned>(z - era * 146097);
  unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t yy = static_cast<int64_t>(yoe) + era * 400;
  unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  unsigned mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = yy + (*m <= 2);
}

bool formatDateKind(const std::string& format, DateKind* kind) {
  bool date = false, time = false, month = false;
  std::string lower;
  for (char c : format) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (lower == "general" || lower.empty()) return false;
  for (std::size_t i = 0; i < lower.size(); ++i) {
    char c = lower[i];
    if (c == '"') {  // literal text
      std::size_t end = lower.find('"', i + 1);
      if (end == std::string::npos) break;
      i = end;
    } else if (c == '\\' || c == '_' || c == '*') {  // an escaped, spaced or repeated character
      ++i;
    } else if (c == '[') {  // a colour, a condition, a locale, or elapsed time
      std::size_t end = lower.find(']', i + 1);
      if (end == std::string::npos) break;
      std::string_view inside(lower.data() + i + 1, end - i - 1);
      if (!inside.empty() && inside.find_first_not_of(inside[0]) == std::string_view::npos &&
          (inside[0] == 'h' || inside[0] == 'm' || inside[0] == 's'))
        time = true;
      i = end;
    } else if (lower.compare(i, 5, "am/pm") == 0) {
      time = true;
      i += 4;
    } else if (lower.compare(i, 3, "a/p") == 0) {
      time = true;
      i += 2;
    } else if (c == 'y' || c == 'd') {
      date = true;
    } else if (c == 'h' || c == 's') {
      time = true;
    } else if (c == 'm') {
      month = true;
    }
  }
  if (month && !time) date = true;  // "m" is a minute only beside hours or seconds
  if (!date && !time) return false;
  *kind = date && time ? DateKind::kDateTime : date ? DateKind::kDate : DateKind::kTime;
  return true;
}

std::string dateText(double serial, DateKind kind, bool system1904) {
  if (!std::isfinite(serial) || serial < 0 || serial >= 2958466) return numberText(serial);  // past 9999-12-31
  double whole = std::floor(serial);
  int64_t days = static_cast<int64_t>(whole);
  int64_t seconds = std::llround((serial - whole) * 86400);
  if (seconds >= 86400) {
    ++days;
    seconds -= 86400;
  }
  char buf[32];
  std::string out;
  if (kind != DateKind::kTime) {
    int64_t y;
    unsigned m, d;
    if (system1904) {
      civil(days - 24107, &y, &m, &d);
    } else if (days == 60) {  // Excel's 29 February 1900, a day that never was
      y = 1900, m = 2, d = 29;
    } else {
      civil(days - (days < 60 ? 25568 : 25569), &y, &m, &d);
    }
    std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u", static_cast<long long>(y), m, d);
    out = buf;
  }
  if (kind != DateKind::kDate) {
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    if (!out.empty()) out += ' ';
    out += buf;
  }
  return out;
}

Result<std::string> workbookStream(const std::string& fileBytes) {
  static const unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::string_view f(fileBytes);
  if (f.size() < 512 || std::memcmp(f.data(), kSignature, 8) != 0) return notReadable();
  unsigned shift = rd16(f, 0x1E);
  if ((shift != 9 && shift != 12) || rd16(f, 0x20) != 6) return notReadable();
  const std::size_t ss = std::size_t{1} << shift;
  if (f.size() < ss) return notReadable();
  const std::size_t sectors = (f.size() - ss + ss - 1) / ss;  // a cut last sector counts, padded
  auto sectorBytes = [&](uint32_t s, std::string* out) {
    std::size_t at = (std::size_t{s} + 1) * ss;
    std::size_t n = std::min(ss, f.size() - at);
    out->append(f.substr(at, n));
    out->append(ss - n, '\0');
  };
  auto sectorId = [&](uint32_t s, std::size_t i) -> uint32_t {
    std::size_t at = (std::size_t{s} + 1) * ss + 4 * i;
    return at + 4 <= f.size() ? rd32(f, at) : 0xFFFFFFFF;
  };

  // The FAT: its sectors' numbers are in the header and the DIFAT chain.
  const uint32_t fatCount = rd32(f, 0x2C);
  std::vector<uint32_t> fatSectors;
  for (std::size_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i) {
    uint32_t s = rd32(f, 0x4C + 4 * i);
    if (s < sectors) fatSectors.push_back(s);
  }
  uint32_t d = rd32(f, 0x44);
  for (std::size_t guard = 0; d < sectors && guard < sectors && fatSectors.size() < fatCount; ++guard) {
    for (std::size_t i = 0; i + 1 < ss / 4 && fatSectors.size() < fatCount; ++i) {
      uint32_t s = sectorId(d, i);
      if (s < sectors) fatSectors.push_back(s);
    }
    d = sectorId(d, ss / 4 - 1);
  }
  std::vector<uint32_t> fat;
  fat.reserve(fatSectors.size() * ss / 4);
  for (uint32_t s : fatSectors)
    for (std::size_t i = 0; i < ss / 4; ++i) fat.push_back(sectorId(s, i));

  auto chain = [](uint32_t start, const std::vector<uint32_t>& table, std::size_t limit,
                  std::vector<uint32_t>* out) {
    for (uint32_t s = start; s != kEndOfChain;) {
      if (s >= table.size() || s >= limit || out->size() >= limit) return false;
      out->push_back(s);
      s = table[s];
    }
    return true;
  };

  std::vector<uint32_t> dirSectors;
  if (!chain(rd32(f, 0x30), fat, sectors, &dirSectors)) return notReadable();
  std::string dir;
  for (uint32_t s : dirSectors) sectorBytes(s, &dir);
  std::size_t workbook = SIZE_MAX, book = SIZE_MAX;
  for (std::size_t e = 0; e + 128 <= dir.size(); e += 128) {
    if (dir[e + 0x42] != 2) continue;  // not a stream
    std::size_t len = rd16(dir, e + 0x40);
    if (len < 2 || len > 64) continue;
    std::string name;
    for (std::size_t i = 0; i + 2 < len; i += 2) {
      uint16_t c = rd16(dir, e + i);
      name += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c < 0x80 ? c : '?');
    }
    if (name == "workbook" && workbook == SIZE_MAX) workbook = e;
    if (name == "book" && book == SIZE_MAX) book = e;
  }
  std::size_t e = workbook != SIZE_MAX ? workbook : book;
  if (e == SIZE_MAX) return Status::NotFound("the file holds no workbook stream");
  const uint32_t start = rd32(dir, e + 0x74);
  const uint32_t size = rd32(dir, e + 0x78);

  std::string out;
  if (size < rd32(f, 0x38)) {
    // A small stream lives in the mini stream: 64-byte sectors inside the
    // root entry's stream, chained by the mini FAT.
    std::vector<uint32_t> rootSectors, miniFatSectors;
    if (!chain(rd32(dir, 0x74), fat, sectors, &rootSectors) || !chain(rd32(f, 0x3C), fat, sectors, &miniFatSectors))
      return notReadable();
    std::string mini, miniFatBytes;
    for (uint32_t s : rootSectors) sectorBytes(s, &mini);
    mini.resize(std::min<std::size_t>(mini.size(), rd32(dir, 0x78)));
    for (uint32_t s : miniFatSectors) sectorBytes(s, &miniFatBytes);
    std::vector<uint32_t> miniFat;
    for (std::size_t i = 0; i + 4 <= miniFatBytes.size(); i += 4) miniFat.push_back(rd32(miniFatBytes, i));
    std::vector<uint32_t> mine;
    if (!chain(start, miniFat, mini.size() / 64, &mine)) return notReadable();
    for (uint32_t s : mine) out.append(mini, std::size_t{s} * 64, 64);
  } else {
    std::vector<uint32_t> mine;
    if (!chain(start, fat, sectors, &mine)) return notReadable();
    out.reserve(mine.size() * ss);
    for (uint32_t s : mine) sectorBytes(s, &out);
  }
  if (out.size() < size) return notReadable();
  out.resize(size);
  return out;
}

Result<WorkbookScan> WorkbookScan::read(std::string stream) {
  WorkbookScan w;
  w.stream_ = std::make_unique<const std::string>(std::move(stream));
  w.globals_ = std::make_unique<Globals>();
  XLS_RETURN_IF_ERROR(readGlobals(*w.stream_, w.globals_.get()));
  // FreeXL puts a string together from two pieces at most; from the first
  // string that has more it reads garbage, and loses its place in the
  // table for the strings after it.
  if (w.globals_->haveSst)
    walkStrings(w.globals_->sst, false, [&](uint32_t i, std::size_t pieces, const std::u16string&) {
      if (pieces < 3) return true;
      w.firstLong_ = i;
      return false;
    });
  return w;
}

WorkbookScan::WorkbookScan() = default;
WorkbookScan::WorkbookScan(WorkbookScan&&) noexcept = default;
WorkbookScan& WorkbookScan::operator=(WorkbookScan&&) noexcept = default;
WorkbookScan::~WorkbookScan() = default;

std::vector<std::string> WorkbookScan::worksheetNames() const {
  std::vector<std::string> names;
  for (const auto& s : globals_->sheets)
    if (s.type == 0) names.push_back(s.name);
  return names;
}

Result<std::vector<CellText>> WorkbookScan::sheet(const std::string& sheetName, Scope scope) const {
  const bool all = scope == Scope::kAll;
  const Globals& g = *globals_;
  const std::string_view stream = *stream_;
  const Globals::Sheet* sheet = nullptr;
  for (const auto& s : g.sheets)
    if (s.type == 0 && s.name == sheetName) {
      sheet = &s;
      break;
    }
  if (!sheet) return Status::NotFound("no worksheet of that name");

  // The texts the cells need: all of them, or those FreeXL gets wrong.
  const uint32_t from = all ? 0 : firstLong_;
  std::vector<std::string> strings;
  if (from != UINT32_MAX && g.haveSst)
    walkStrings(g.sst, true, [&](uint32_t i, std::size_t, const std::u16string& text) {
      if (i >= from) strings.push_back(utf8(text));
      return true;
    });
  auto sharedString = [&](uint32_t i) -> const std::string* {
    return from != UINT32_MAX && i >= from && i - from < strings.size() ? &strings[i - from] : nullptr;
  };

  auto numberOrDate = [&](uint16_t xf, double v) {
    DateKind kind;
    if (xf < g.xfFormats.size()) {
      uint16_t f = g.xfFormats[xf];
      bool isDate = false;
      // The built-in date and time formats, the Chinese ones among them.
      if ((f >= 14 && f <= 17) || (f >= 27 && f <= 31) || f == 36 || (f >= 50 && f <= 54) || f == 57 || f == 58) {
        kind = DateKind::kDate;
        isDate = true;
      } else if ((f >= 18 && f <= 21) || (f >= 32 && f <= 35) || (f >= 45 && f <= 47) || f == 55 || f == 56) {
        kind = DateKind::kTime;
        isDate = true;
      } else if (f == 22) {
        kind = DateKind::kDateTime;
        isDate = true;
      } else if (auto it = g.formats.find(f); it != g.formats.end()) {
        isDate = formatDateKind(it->second, &kind);
      }
      if (isDate) return dateText(v, kind, g.system1904);
    }
    return numberText(v);
  };
  auto rk = [](uint32_t v) {
    double d;
    if (v & 2) {
      d = static_cast<int32_t>(v) >> 2;
    } else {
      uint64_t bits = uint64_t{v & 0xFFFFFFFCu} << 32;
      std::memcpy(&d, &bits, 8);
    }
    return v & 1 ? d / 100 : d;
  };
  std::vector<CellText> out;
  auto add = [&](uint32_t row, uint32_t column, std::string text) {
    if (!text.empty()) out.push_back({row, static_cast<uint16_t>(column), std::move(text)});
  };

  Records records(stream, sheet->pos);
  Record r;
  if (!records.next(&r) || r.type != 0x0809) return notReadable();
  int depth = 1;
  bool pending = false;  // a formula whose text result the next STRING record holds
  uint32_t pendingRow = 0, pendingColumn = 0;
  while (depth > 0 && records.next(&r)) {
    if (r.type == 0x0809) ++depth;
    if (r.type == 0x000A) --depth;
    if (depth != 1) continue;  // inside a chart or other embedded substream
    const std::string_view d = r.data;
    // Between a formula and its STRING only its shared formula, array or
    // table may come.
    if (r.type != 0x0207 && r.type != 0x04BC && r.type != 0x0221 && r.type != 0x0236) pending = false;
    switch (r.type) {
      case 0x0006: {  // FORMULA, with its last result
        if (d.size() < 20) break;
        uint32_t row = rd16(d, 0), column = rd16(d, 2);
        if (rd16(d, 12) != 0xFFFF) {
          double v;
          std::memcpy(&v, d.data() + 6, 8);
          add(row, column, numberOrDate(rd16(d, 4), v));
        } else if (d[6] == 0) {  // text, in the STRING record after this one
          pending = true;
          pendingRow = row;
          pendingColumn = column;
        } else if (d[6] == 1) {
          add(row, column, d[8] ? "TRUE" : "FALSE");
        } else if (d[6] == 2) {
          add(row, column, errorText(static_cast<uint8_t>(d[8])));
        }  // else an empty text
        break;
      }
      case 0x0207: {  // STRING: a formula's text result, perhaps continued
        if (!pending) break;
        pending = false;
        Pieces p;
        p.add(d);
        while (records.peek() == 0x003C && records.next(&r)) p.add(r.data);
        std::u16string chars;
        if (!p.header(3)) break;
        uint16_t n = p.u16();
        uint8_t flags = p.u8();
        if (p.chars(n, !(flags & 1), &chars)) add(pendingRow, pendingColumn, utf8(chars));
        break;
      }
      case 0x0205:  // BOOLERR
        if (d.size() >= 8) {
          uint8_t v = static_cast<uint8_t>(d[6]);
          add(rd16(d, 0), rd16(d, 2), d[7] ? errorText(v) : v ? "TRUE" : "FALSE");
        }
        break;
      case 0x00FD:  // LABELSST
        if (d.size() >= 10)
          if (const std::string* t = sharedString(rd32(d, 6))) add(rd16(d, 0), rd16(d, 2), *t);
        break;
      case 0x0203:  // NUMBER
        if (all && d.size() >= 14) {
          double v;
          std::memcpy(&v, d.data() + 6, 8);
          add(rd16(d, 0), rd16(d, 2), numberOrDate(rd16(d, 4), v));
        }
        break;
      case 0x027E:  // RK
        if (all && d.size() >= 10) add(rd16(d, 0), rd16(d, 2), numberOrDate(rd16(d, 4), rk(rd32(d, 6))));
        break;
      case 0x00BD:  // MULRK: RK cells side by side
        if (all && d.size() >= 6) {
          uint32_t row = rd16(d, 0), column = rd16(d, 2);
          for (std::size_t at = 4; at + 6 + 2 <= d.size(); at += 6, ++column)
            add(row, column, numberOrDate(rd16(d, at), rk(rd32(d, at + 2))));
        }
        break;
      case 0x0204:    // LABEL
      case 0x00D6: {  // RSTRING
        std::string t;
        if (all && d.size() >= 6 && unicodeString(d, 6, false, &t)) add(rd16(d, 0), rd16(d, 2), std::move(t));
        break;
      }
      default:
        break;
    }
  }
  return out;
}

}  // namespace xls::scan
