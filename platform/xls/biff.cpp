#include "platform/xls/biff.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <functional>

namespace xls::biff {
namespace {

// Little-endian appends to the workbook stream, and records whose length
// is filled in when they end.
class Out {
 public:
  explicit Out(std::vector<uint8_t>& b) : b_(b) {}
  std::size_t size() const { return b_.size(); }
  void u8(uint8_t v) { b_.push_back(v); }
  void u16(uint16_t v) {
    b_.push_back(static_cast<uint8_t>(v));
    b_.push_back(static_cast<uint8_t>(v >> 8));
  }
  void u32(uint32_t v) {
    u16(static_cast<uint16_t>(v));
    u16(static_cast<uint16_t>(v >> 16));
  }
  void f64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    u32(static_cast<uint32_t>(bits));
    u32(static_cast<uint32_t>(bits >> 32));
  }
  void bytes(const void* p, std::size_t n) {
    const uint8_t* q = static_cast<const uint8_t*>(p);
    b_.insert(b_.end(), q, q + n);
  }
  void patch32(std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b_[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
  void patch16(std::size_t at, uint16_t v) {
    b_[at] = static_cast<uint8_t>(v);
    b_[at + 1] = static_cast<uint8_t>(v >> 8);
  }
  // Starts a record; returns where its data starts.
  std::size_t begin(uint16_t type) {
    u16(type);
    u16(0);
    return size();
  }
  void end(std::size_t dataStart) {
    std::size_t n = size() - dataStart;
    assert(n <= kMaxRecordData);
    patch16(dataStart - 2, static_cast<uint16_t>(n));
  }
  // A whole record of 16-bit fields.
  void record16(uint16_t type, std::initializer_list<uint16_t> fields) {
    std::size_t at = begin(type);
    for (uint16_t f : fields) u16(f);
    end(at);
  }

 private:
  std::vector<uint8_t>& b_;
};

// A string with an 8-bit length (sheet and font names): compressed when
// every character fits one byte.
void shortString(Out& o, const std::u16string& s) {
  bool compressed = std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x100; });
  o.u8(static_cast<uint8_t>(s.size()));
  o.u8(compressed ? 0 : 1);
  for (char16_t c : s) compressed ? o.u8(static_cast<uint8_t>(c)) : o.u16(c);
}

std::string columnName(std::size_t c) {
  std::string s;
  if (c >= 26) s += static_cast<char>('A' + c / 26 - 1);
  s += static_cast<char>('A' + c % 26);
  return s;
}

std::string where(std::size_t row, std::size_t column) {
  return "row " + std::to_string(row + 1) + ", column " + columnName(column);
}

uint16_t displayWidth(const std::u16string& s) {
  std::size_t w = 0;
  for (char16_t c : s) {
    if (c >= 0xDC00 && c <= 0xDFFF) continue;  // the second half of a pair counted with the first
    w += (c >= 0x2E80 && c <= 0xFFEF) || (c >= 0xD800 && c <= 0xDBFF) ? 2 : 1;
  }
  return static_cast<uint16_t>(std::min<std::size_t>(w, 0xFFFF));
}

// Twips: the height of a row in the default font, 宋体 12 pt.
constexpr uint16_t kRowHeight = 285;
constexpr uint16_t kCellXf = 15;

}  // namespace

bool utf8ToUtf16(std::string_view in, std::u16string& out) {
  out.clear();
  const unsigned char* p = reinterpret_cast<const unsigned char*>(in.data());
  const unsigned char* e = p + in.size();
  while (p < e) {
    unsigned c = *p;
    if (c < 0x80) {
      out.push_back(static_cast<char16_t>(c));
      ++p;
      continue;
    }
    int n;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      n = 1;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (e - p <= n) return false;
    for (int i = 1; i <= n; ++i) {
      unsigned d = p[i];
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (n == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) return false;
    if (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) return false;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    p += n + 1;
  }
  return true;
}

Result<std::u16string> checkSheetName(const std::string& name) {
  std::u16string u;
  if (!utf8ToUtf16(name, u)) return Status::InvalidArgument("the sheet name is not valid UTF-8 text");
  if (u.empty()) return Status::InvalidArgument("a sheet needs a name");
  if (u.size() > 31)
    return Status::InvalidArgument("the sheet name \"" + name + "\" is longer than the 31 characters Excel allows");
  for (char16_t c : u)
    if (c == ':' || c == '\\' || c == '/' || c == '?' || c == '*' || c == '[' || c == ']' || c < 0x20)
      return Status::InvalidArgument("the sheet name \"" + name +
                                     "\" holds a character Excel does not allow in one: : \\ / ? * [ ]");
  if (u.front() == '\'' || u.back() == '\'')
    return Status::InvalidArgument("the sheet name \"" + name + "\" may not begin or end with an apostrophe");
  return u;
}

SheetContent::SheetContent() : slots_(1024, 0) {}

uint32_t SheetContent::find(std::string_view text, std::size_t hash) const {
  std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    uint32_t s = slots_[i];
    if (s == 0) return UINT32_MAX;
    const String& st = strings_[s - 1];
    if (hashes_[s - 1] == hash && st.utf8Length == text.size() &&
        std::memcmp(utf8_.data() + st.utf8Begin, text.data(), text.size()) == 0)
      return s - 1;
  }
}

void SheetContent::grow() {
  std::vector<uint32_t> slots(slots_.size() * 2, 0);
  std::size_t mask = slots.size() - 1;
  for (uint32_t k = 0; k < strings_.size(); ++k) {
    std::size_t i = hashes_[k] & mask;
    while (slots[i] != 0) i = (i + 1) & mask;
    slots[i] = k + 1;
  }
  slots_.swap(slots);
}

Status SheetContent::addText(std::string_view text, std::size_t row, std::size_t column, uint32_t* index) {
  std::size_t hash = std::hash<std::string_view>{}(text);
  uint32_t found = find(text, hash);
  if (found != UINT32_MAX) {
    *index = found;
    return Status::Ok();
  }
  if (!utf8ToUtf16(text, scratch_))
    return Status::InvalidArgument("the text in " + where(row, column) + " is not valid UTF-8");
  if (scratch_.size() > kMaxCellChars)
    return Status::InvalidArgument("the text in " + where(row, column) + " is " + std::to_string(scratch_.size()) +
                                   " characters long; an .xls cell holds at most 32,767");
  String s;
  s.utf8Begin = utf8_.size();
  s.utf8Length = static_cast<uint32_t>(text.size());
  s.charsBegin = chars_.size();
  s.length = static_cast<uint16_t>(scratch_.size());
  s.compressed = std::all_of(scratch_.begin(), scratch_.end(), [](char16_t c) { return c < 0x100; });
  s.width = displayWidth(scratch_);
  if (s.compressed) {
    for (char16_t c : scratch_) chars_.push_back(static_cast<char>(c));
  } else {
    for (char16_t c : scratch_) {
      chars_.push_back(static_cast<char>(c & 0xFF));
      chars_.push_back(static_cast<char>(c >> 8));
    }
  }
  utf8_.append(text);
  if ((strings_.size() + 1) * 2 > slots_.size()) grow();
  *index = static_cast<uint32_t>(strings_.size());
  strings_.push_back(s);
  hashes_.push_back(hash);
  std::size_t mask = slots_.size() - 1;
  std::size_t i = hash & mask;
  while (slots_[i] != 0) i = (i + 1) & mask;
  slots_[i] = *index + 1;
  return Status::Ok();
}

template <class Text>
Status SheetContent::addRow(const Text* cells, std::size_t count) {
  std::size_t row = rowEnds_.size();
  if (row >= kMaxRows)
    return Status::InvalidArgument(
        "an .xls sheet holds at most 65,536 rows (a title row and 65,535 more); the list is longer");
  if (count > kMaxColumns)
    return Status::InvalidArgument("row " + std::to_string(row + 1) + " has " + std::to_string(count) +
                                   " columns; an .xls sheet holds at most 256");
  std::size_t cellsBefore = cells_.size();
  std::size_t stringsBefore = strings_.size();
  for (std::size_t c = 0; c < count; ++c) {
    std::string_view text(cells[c]);
    if (text.empty()) continue;
    uint32_t index;
    Status st = addText(text, row, c, &index);
    if (!st.ok()) {
      // Take the row back out.  The strings it added are the newest, and
      // nothing added before them ever probed past their slots, so clearing
      // those slots newest first leaves the table as it was.
      std::size_t mask = slots_.size() - 1;
      for (std::size_t k = strings_.size(); k-- > stringsBefore;) {
        std::size_t i = hashes_[k] & mask;
        while (slots_[i] != k + 1) i = (i + 1) & mask;
        slots_[i] = 0;
      }
      if (strings_.size() > stringsBefore) {
        utf8_.resize(strings_[stringsBefore].utf8Begin);
        chars_.resize(strings_[stringsBefore].charsBegin);
        strings_.resize(stringsBefore);
        hashes_.resize(stringsBefore);
      }
      cells_.resize(cellsBefore);
      return st;
    }
    cells_.push_back({static_cast<uint16_t>(c), index});
  }
  rowEnds_.push_back(static_cast<uint32_t>(cells_.size()));
  if (cells_.size() > cellsBefore) columns_ = std::max<std::size_t>(columns_, cells_.back().column + 1u);
  return Status::Ok();
}

template Status SheetContent::addRow<std::string>(const std::string*, std::size_t);
template Status SheetContent::addRow<std::string_view>(const std::string_view*, std::size_t);

namespace {

void bof(Out& o, uint16_t kind) {
  std::size_t at = o.begin(kBof);
  o.u16(0x0600);  // BIFF8
  o.u16(kind);    // 0x0005 workbook globals, 0x0010 worksheet
  o.u16(0x0DBB);  // build and year of the Excel 97 that wrote BIFF8 first
  o.u16(0x07CC);
  o.u32(0);       // file history
  o.u32(0x0006);  // lowest BIFF version that reads the file: BIFF8
  o.end(at);
}

void font(Out& o) {
  static const std::u16string kSimSun = u"宋体";
  std::size_t at = o.begin(0x0031);
  o.u16(240);     // 12 pt, Excel's default for Chinese Windows
  o.u16(0);       // not italic, not struck out
  o.u16(0x7FFF);  // the window's text colour
  o.u16(400);     // regular weight
  o.u16(0);       // no super- or subscript
  o.u8(0);        // no underline
  o.u8(0);        // family: any
  o.u8(134);      // GB2312 character set
  o.u8(0);
  shortString(o, kSimSun);
  o.end(at);
}

void xf(Out& o, uint16_t fontIndex, uint16_t format, bool style, uint8_t usedAttributes) {
  std::size_t at = o.begin(0x00E0);
  o.u16(fontIndex);
  o.u16(format);
  // Locked; a style XF has no parent (0xFFF), a cell XF has style XF 0.
  o.u16(style ? 0xFFF5 : 0x0001);
  o.u8(0x20);  // general horizontal alignment, bottom vertical alignment
  o.u8(0);     // no rotation
  o.u8(0);     // no indent, no shrinking
  o.u8(usedAttributes);
  o.u32(0);       // no borders
  o.u32(0);       // no border colours, no fill pattern
  o.u16(0x20C0);  // pattern colours: the system's window colours
  o.end(at);
}

void style(Out& o, uint16_t xfIndex, uint8_t builtIn) {
  std::size_t at = o.begin(0x0293);
  o.u16(0x8000 | xfIndex);
  o.u8(builtIn);
  o.u8(0xFF);
  o.end(at);
}

struct Bucket {
  uint32_t streamPos;
  uint16_t recordOffset;
};

}  // namespace

std::vector<uint8_t> SheetContent::buildWorkbook(const std::u16string& sheetName) const {
  std::vector<uint8_t> stream;
  stream.reserve(4096 + cells_.size() * 14 + chars_.size() + strings_.size() * 3 + rowEnds_.size() * 24);
  Out o(stream);

  // ---- Workbook globals.
  bof(o, 0x0005);
  o.record16(0x00E1, {0x04B0});  // INTERFACEHDR: UTF-16
  o.record16(0x00C1, {0});       // MMS
  o.record16(0x00E2, {});        // INTERFACEEND
  o.record16(0x0042, {0x04B0});  // CODEPAGE: UTF-16 (1200)
  o.record16(0x0161, {0});       // DSF: no double stream
  o.record16(0x013D, {1});       // TABID: one sheet
  o.record16(0x0019, {0});       // WINDOWPROTECT
  o.record16(0x0012, {0});       // PROTECT
  o.record16(0x0013, {0});       // PASSWORD
  o.record16(0x01AF, {0});       // PROT4REV
  o.record16(0x01BC, {0});       // PROT4REVPASS
  // WINDOW1: position and size in twips, tabs shown, first sheet active.
  o.record16(0x003D, {0x0000, 0x0000, 0x4000, 0x2000, 0x0038, 0, 0, 1, 0x0258});
  o.record16(0x0040, {0});  // BACKUP
  o.record16(0x008D, {0});  // HIDEOBJ
  o.record16(0x0022, {0});  // DATEMODE: 1900
  o.record16(0x000E, {1});  // PRECISION: as displayed off
  o.record16(0x01B7, {0});  // REFRESHALL
  o.record16(0x00DA, {0});  // BOOKBOOL
  // Excel counts fonts 0, 1, 2, 3, 5: there is no font 4, so five records.
  for (int i = 0; i < 5; ++i) font(o);
  // The 21 XFs Excel itself writes first: 15 style XFs, the cell XF 15
  // every cell uses, and the style XFs of the built-in number styles.
  xf(o, 0, 0, true, 0x00);
  for (int i = 1; i <= 14; ++i) xf(o, i <= 2 ? 1 : i <= 4 ? 2 : 0, 0, true, 0xF4);
  xf(o, 0, 0, false, 0x00);
  xf(o, 1, 0x2B, true, 0xF8);  // Comma
  xf(o, 1, 0x29, true, 0xF8);  // Comma [0]
  xf(o, 1, 0x2C, true, 0xF8);  // Currency
  xf(o, 1, 0x2A, true, 0xF8);  // Currency [0]
  xf(o, 1, 0x09, true, 0xF8);  // Percent
  style(o, 0x10, 3);
  style(o, 0x11, 6);
  style(o, 0x12, 4);
  style(o, 0x13, 7);
  style(o, 0x00, 0);  // Normal
  style(o, 0x14, 5);
  o.record16(0x0160, {1});  // USESELFS

  std::size_t boundSheet = o.begin(kBoundSheet);
  o.u32(0);  // where the sheet's BOF is: filled in below
  o.u8(0);   // visible
  o.u8(0);   // a worksheet
  shortString(o, sheetName);
  o.end(boundSheet);
  o.record16(0x008C, {86, 86});  // COUNTRY: China

  // ---- Shared strings.  A string's header (length and flags) and its first
  // character never part; its characters may go on in a CONTINUE record,
  // which then starts with the flags byte again.
  const std::size_t unique = strings_.size();
  const std::size_t dsst = std::max<std::size_t>(unique / 128 + 1, 8);
  std::vector<Bucket> buckets;
  std::size_t rec = o.begin(kSst);
  o.u32(static_cast<uint32_t>(cells_.size()));
  o.u32(static_cast<uint32_t>(unique));
  auto room = [&] { return kMaxRecordData - (o.size() - rec); };
  auto nextRecord = [&] {
    o.end(rec);
    rec = o.begin(kContinue);
  };
  for (std::size_t i = 0; i < unique; ++i) {
    const String& s = strings_[i];
    const std::size_t unit = s.compressed ? 1 : 2;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(chars_.data()) + s.charsBegin;
    auto codeUnit = [&](std::size_t k) { return static_cast<uint16_t>(p[2 * k] | (p[2 * k + 1] << 8)); };
    auto highSurrogate = [&](std::size_t k) { return !s.compressed && (codeUnit(k) & 0xFC00) == 0xD800; };
    std::size_t first = s.length == 0 ? 0 : highSurrogate(0) && s.length > 1 ? 2 * unit : unit;
    // FreeXL 1.0 puts a string together from at most two pieces (it reads
    // garbage for a third), so a long string that would need three from
    // here but two from a fresh record starts in a fresh record, and the
    // file stays one FreeXL reads.  Strings longer than two records hold
    // (16,444 Latin-1 or 8,221 other characters) need three anyway; our
    // reader then reads the file without FreeXL (see reader.h).
    auto pieces = [&](std::size_t space) {
      std::size_t chars = space < 3 ? 0 : (space - 3) / unit;
      if (chars >= s.length) return std::size_t{1};
      return 1 + (s.length - chars + (kMaxRecordData - 1) / unit - 1) / ((kMaxRecordData - 1) / unit);
    };
    if (room() < 3 + first || (pieces(room()) > 2 && pieces(kMaxRecordData) <= 2)) nextRecord();
    if (i % dsst == 0)
      buckets.push_back({static_cast<uint32_t>(o.size()), static_cast<uint16_t>(o.size() - rec + 4)});
    o.u16(s.length);
    o.u8(s.compressed ? 0 : 1);
    std::size_t done = 0;
    while (done < s.length) {
      std::size_t k = std::min<std::size_t>(s.length - done, room() / unit);
      // Never part the two halves of a character beyond U+FFFF: readers that
      // decode each record's piece on its own would see half a character.
      if (k > 0 && done + k < s.length && highSurrogate(done + k - 1)) --k;
      if (k == 0) {
        nextRecord();
        o.u8(s.compressed ? 0 : 1);
        continue;
      }
      o.bytes(p + done * unit, k * unit);
      done += k;
    }
  }
  o.end(rec);
  std::size_t ext = o.begin(kExtSst);
  o.u16(static_cast<uint16_t>(dsst));
  for (const Bucket& b : buckets) {
    o.u32(b.streamPos);
    o.u16(b.recordOffset);
    o.u16(0);
  }
  o.end(ext);
  o.record16(kEof, {});

  // ---- The worksheet.
  const std::size_t sheetStart = o.size();
  o.patch32(boundSheet, static_cast<uint32_t>(sheetStart));
  bof(o, 0x0010);

  std::size_t firstRow = SIZE_MAX, lastRow = 0, firstCol = SIZE_MAX;
  for (std::size_t r = 0, begin = 0; r < rowEnds_.size(); begin = rowEnds_[r], ++r) {
    if (rowEnds_[r] == begin) continue;
    firstRow = std::min(firstRow, r);
    lastRow = r;
    firstCol = std::min<std::size_t>(firstCol, cells_[begin].column);
  }
  const bool anyCell = firstRow != SIZE_MAX;
  const uint32_t rwMic = anyCell ? static_cast<uint32_t>(firstRow) : 0;
  const uint32_t rwMac = anyCell ? static_cast<uint32_t>(lastRow + 1) : 0;
  std::size_t blockCount = 0;
  for (std::size_t r = 0, begin = 0, lastBlock = SIZE_MAX; r < rowEnds_.size(); begin = rowEnds_[r], ++r)
    if (rowEnds_[r] != begin && r / 32 != lastBlock) {
      ++blockCount;
      lastBlock = r / 32;
    }

  // INDEX: where each row block's DBCELL is, filled in as they are written.
  std::size_t index = o.begin(kIndex);
  o.u32(0);
  o.u32(rwMic);
  o.u32(rwMac);
  const std::size_t defColWidthPos = o.size();
  o.u32(0);
  const std::size_t dbCellTable = o.size();
  for (std::size_t b = 0; b < blockCount; ++b) o.u32(0);
  o.end(index);

  o.record16(0x000D, {1});    // CALCMODE: automatic
  o.record16(0x000C, {100});  // CALCCOUNT
  o.record16(0x000F, {1});    // REFMODE: A1
  o.record16(0x0011, {0});    // ITERATION off
  {
    std::size_t at = o.begin(0x0010);  // DELTA
    o.f64(0.001);
    o.end(at);
  }
  o.record16(0x005F, {1});                 // SAVERECALC
  o.record16(0x002A, {0});                 // PRINTHEADERS
  o.record16(0x002B, {0});                 // PRINTGRIDLINES
  o.record16(0x0082, {1});                 // GRIDSET
  o.record16(0x0080, {0, 0, 0, 0});        // GUTS: no outline
  o.record16(0x0225, {0, kRowHeight});     // DEFAULTROWHEIGHT
  o.record16(0x0081, {0x04C1});            // WSBOOL
  o.patch32(defColWidthPos, static_cast<uint32_t>(o.size()));
  o.record16(0x0055, {8});  // DEFCOLWIDTH

  // Columns as wide as their longest text (a CJK character counting two),
  // within reason, so that names and addresses show whole when opened.
  std::vector<uint16_t> widths(columns_, 0);
  for (const Cell& c : cells_) widths[c.column] = std::max(widths[c.column], strings_[c.string].width);
  for (std::size_t c = 0; c < columns_;) {
    uint16_t w = static_cast<uint16_t>(std::clamp<int>(widths[c] + 2, 8, 60));
    std::size_t last = c;
    while (last + 1 < columns_ && std::clamp<int>(widths[last + 1] + 2, 8, 60) == w) ++last;
    o.record16(0x007D, {static_cast<uint16_t>(c), static_cast<uint16_t>(last), static_cast<uint16_t>(w * 256),
                        kCellXf, 0, 0});  // COLINFO
    c = last + 1;
  }

  std::size_t dims = o.begin(kDimensions);
  o.u32(rwMic);
  o.u32(rwMac);
  o.u16(anyCell ? static_cast<uint16_t>(firstCol) : 0);
  o.u16(static_cast<uint16_t>(columns_));
  o.u16(0);
  o.end(dims);

  // Row blocks of up to 32 rows: the blocks' ROW records, then their cells,
  // then a DBCELL that tells where each row's cells begin.
  std::size_t blockNo = 0;
  std::vector<std::size_t> rowsInBlock, cellStarts;
  for (std::size_t blockFirst = 0; blockFirst < rowEnds_.size(); blockFirst += 32) {
    std::size_t blockEnd = std::min(blockFirst + 32, rowEnds_.size());
    rowsInBlock.clear();
    for (std::size_t r = blockFirst; r < blockEnd; ++r)
      if (rowEnds_[r] != (r == 0 ? 0 : rowEnds_[r - 1])) rowsInBlock.push_back(r);
    if (rowsInBlock.empty()) continue;
    const std::size_t firstRowRecord = o.size();
    for (std::size_t r : rowsInBlock) {
      const Cell* b = cells_.data() + (r == 0 ? 0 : rowEnds_[r - 1]);
      const Cell* e = cells_.data() + rowEnds_[r];
      std::size_t at = o.begin(kRow);
      o.u16(static_cast<uint16_t>(r));
      o.u16(b->column);
      o.u16(static_cast<uint16_t>((e - 1)->column + 1));
      o.u16(kRowHeight);
      o.u16(0);
      o.u16(0);
      o.u16(0x0100);  // flags: the bit that is always set
      o.u16(kCellXf);
      o.end(at);
    }
    cellStarts.clear();
    for (std::size_t r : rowsInBlock) {
      cellStarts.push_back(o.size());
      for (uint32_t k = r == 0 ? 0 : rowEnds_[r - 1]; k < rowEnds_[r]; ++k) {
        o.u16(kLabelSst);
        o.u16(10);
        o.u16(static_cast<uint16_t>(r));
        o.u16(cells_[k].column);
        o.u16(kCellXf);
        o.u32(cells_[k].string);
      }
    }
    const std::size_t dbCell = o.size();
    std::size_t at = o.begin(kDbCell);
    o.u32(static_cast<uint32_t>(dbCell - firstRowRecord));
    for (std::size_t i = 0; i < cellStarts.size(); ++i)
      o.u16(static_cast<uint16_t>(cellStarts[i] - (i == 0 ? firstRowRecord + 20 : cellStarts[i - 1])));
    o.end(at);
    o.patch32(dbCellTable + 4 * blockNo++, static_cast<uint32_t>(dbCell));
  }

  // WINDOW2: grid lines, headings, zeros and outline symbols shown, the
  // sheet selected and shown in normal view.
  std::size_t w2 = o.begin(0x023E);
  o.u16(0x06B6);
  o.u16(0);     // top row
  o.u16(0);     // left column
  o.u32(0x40);  // grid line colour: automatic
  o.u16(0);     // zoom in page break preview: default
  o.u16(0);     // zoom in normal view: default
  o.u32(0);
  o.end(w2);
  o.record16(kEof, {});
  return stream;
}

}  // namespace xls::biff
