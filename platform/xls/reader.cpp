#include "platform/xls/reader.h"

#include <fcntl.h>
#include <freexl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/xls/cell_text.h"
#include "platform/xls/isolated.h"
#include "platform/xls/workbook_scan.h"

namespace xls {
namespace {

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

// FreeXL answers every problem with a number.  Before it sees the file we
// look at it ourselves, so the common mistakes (no such file, a folder, an
// .xlsx or a CSV renamed to .xls) get a message that says what to do.
Status checkFile(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    int e = errno;
    if (e == ENOENT || e == ENOTDIR) return Status::NotFound("the file " + quoted(path) + " does not exist");
    if (e == EACCES) return Status::PermissionDenied("you may not read the file " + quoted(path));
    return Status::IOError("cannot read " + quoted(path) + ": " + std::strerror(e));
  }
  if (S_ISDIR(st.st_mode)) return Status::InvalidArgument(quoted(path) + " is a folder, not an .xls file");
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    int e = errno;
    if (e == EACCES) return Status::PermissionDenied("you may not read the file " + quoted(path));
    return Status::IOError("cannot open " + quoted(path) + ": " + std::strerror(e));
  }
  unsigned char head[8] = {};
  ssize_t n = ::read(fd, head, sizeof head);
  int e = errno;
  ::close(fd);
  if (n < 0) return Status::IOError("cannot read " + quoted(path) + ": " + std::strerror(e));
  if (n == 0) return Status::InvalidFormat("the file " + quoted(path) + " is empty");
  static const unsigned char kCompound[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (n == 8 && std::memcmp(head, kCompound, 8) == 0) return Status::Ok();
  if (n >= 4 && head[0] == 'P' && head[1] == 'K' && head[2] == 3 && head[3] == 4)
    return Status::InvalidFormat(quoted(path) +
                                 " is an .xlsx workbook (Excel 2007 or later), which this program cannot read; "
                                 "open it in Excel and save it as \"Excel 97-2003 Workbook (*.xls)\"");
  bool text = true;
  for (ssize_t i = 0; i < n; ++i)
    if (head[i] < 0x09 || (head[i] > 0x0D && head[i] < 0x20)) text = false;
  if (text)
    return Status::InvalidFormat(quoted(path) +
                                 " is a text file (perhaps CSV or a web page saved under an .xls name), not an Excel "
                                 "workbook; open it in Excel and save it as \"Excel 97-2003 Workbook (*.xls)\"");
  return Status::InvalidFormat(quoted(path) + " is not an Excel 97-2003 workbook (.xls)");
}

std::string damaged(const std::string& path) {
  return quoted(path) + " is damaged and cannot be read as an .xls workbook";
}

Status freexlError(int rc, const std::string& path) {
  std::string code = " (FreeXL error " + std::to_string(rc) + ")";
  switch (rc) {
    case FREEXL_FILE_NOT_FOUND:
      return Status::IOError("cannot open " + quoted(path) + code);
    case FREEXL_INSUFFICIENT_MEMORY:
      return Status::IOError("not enough memory to read " + quoted(path) + code);
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
    case FREEXL_BIFF_INVALID_BOF:
      return Status::InvalidFormat(quoted(path) +
                                   " holds no Excel workbook (it may be another Office document, such as Word's)" +
                                   code);
    case FREEXL_INVALID_CHARACTER:
    case FREEXL_UNSUPPORTED_CHARSET:
      return Status::InvalidFormat(quoted(path) + " holds text in a character set that cannot be read" + code);
    default:
      return Status::InvalidFormat(damaged(path) + code);
  }
}

// Whether the workbook is encrypted, as a password to open it makes it.
// FreeXL does not say so: it fails, or succeeds without a handle.  BIFF
// puts a FILEPASS record right after the globals' BOF, and the globals
// start a stream, which starts a sector; so look at the start of every
// 512 bytes (sectors of 4096 bytes start there too) for a globals BOF
// followed by FILEPASS.
bool looksEncrypted(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::string chunk(1 << 16, '\0');
  bool found = false;
  for (off_t at = 512; !found; at += static_cast<off_t>(chunk.size())) {
    ssize_t n = ::pread(fd, chunk.data(), chunk.size(), at);
    if (n <= 0) break;
    const auto* b = reinterpret_cast<const unsigned char*>(chunk.data());
    auto u16 = [&](ssize_t i) { return static_cast<unsigned>(b[i] | (b[i + 1] << 8)); };
    for (ssize_t s = 0; s + 26 <= n && !found; s += 512) {
      unsigned length = u16(s + 2);
      if (u16(s) != 0x0809 || length < 8 || length > 20 || u16(s + 6) != 0x0005) continue;
      if (s + 4 + static_cast<ssize_t>(length) + 2 <= n && u16(s + 4 + length) == 0x002F) found = true;
    }
  }
  ::close(fd);
  return found;
}

std::string readWholeFile(const std::string& path) {
  std::string bytes;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return bytes;
  struct stat st;
  if (::fstat(fd, &st) == 0 && st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

// An open FreeXL handle, closed on every path out.
class Workbook {
 public:
  ~Workbook() {
    if (handle_) freexl_close(handle_);
  }
  Status open(const std::string& path) {
    // FreeXL frees its handle itself when opening fails, except when it
    // cannot open the file at all; closing a handle it left is always right.
    int rc = freexl_open(path.c_str(), &handle_);
    unsigned int info = 0;
    bool encrypted = rc != FREEXL_OK || handle_ == nullptr
                         ? looksEncrypted(path)
                         : freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
                               info == FREEXL_BIFF_OBFUSCATED;
    if (encrypted)
      return Status::PermissionDenied(quoted(path) +
                                      " is protected by a password; open it in Excel, remove the password and save "
                                      "it again");
    if (rc != FREEXL_OK) return freexlError(rc, path);
    if (handle_ == nullptr) return Status::InvalidFormat(damaged(path));
    return Status::Ok();
  }
  Result<std::vector<std::string>> names(const std::string& path) {
    unsigned int count = 0;
    int rc = freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &count);
    if (rc != FREEXL_OK) return freexlError(rc, path);
    std::vector<std::string> out;
    for (unsigned int i = 0; i < count && i < 0x10000; ++i) {
      const char* name = nullptr;
      rc = freexl_get_worksheet_name(handle_, static_cast<unsigned short>(i), &name);
      if (rc != FREEXL_OK) return freexlError(rc, path);
      out.emplace_back(name ? name : "");
    }
    return out;
  }
  const void* handle() const { return handle_; }

 private:
  const void* handle_ = nullptr;
};

bool equalIgnoringLatinCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
    if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
    if (x != y) return false;
  }
  return true;
}

// The second reading of the file (see workbook_scan.h), or nothing for a
// file it cannot make out; FreeXL then reads alone.
std::optional<scan::WorkbookScan> scanned(const std::string& path) {
  auto stream = scan::workbookStream(readWholeFile(path));
  if (!stream.ok()) return std::nullopt;
  auto w = scan::WorkbookScan::read(std::move(stream).value());
  if (!w.ok()) return std::nullopt;
  return std::move(w).value();
}

int findSheet(const std::vector<std::string>& names, const std::string& wanted) {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == wanted) return static_cast<int>(i);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (equalIgnoringLatinCase(names[i], wanted)) return static_cast<int>(i);
  return -1;
}

Status noSuchSheet(const std::string& path, const std::string& wanted, const std::vector<std::string>& names) {
  std::string m = quoted(path) + " has no worksheet named " + quoted(wanted);
  if (names.empty()) {
    m += "; it has no worksheets at all";
  } else {
    m += "; its worksheets are ";
    for (std::size_t i = 0; i < names.size(); ++i) m += (i ? ", " : "") + quoted(names[i]);
  }
  return Status::NotFound(m);
}

// The sheet of FreeXL's cells (`rows` × `columns` of the active sheet of
// `h`; none when `h` is null) with `fixes` over them.  Of two texts for one
// cell the later in the file counts, as in Excel; fixes may lie past the
// range FreeXL reports (it leaves formula cells out of it).
Result<Sheet> assemble(const std::string& path, const void* h, std::size_t rows, std::size_t columns,
                       std::vector<scan::CellText> fixes) {
  std::stable_sort(fixes.begin(), fixes.end(), [](const scan::CellText& a, const scan::CellText& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  std::size_t allRows = rows, allColumns = columns;
  for (const scan::CellText& f : fixes) {
    if (f.row < 65536) allRows = std::max<std::size_t>(allRows, f.row + 1u);
    if (f.column < 256) allColumns = std::max<std::size_t>(allColumns, f.column + 1u);
  }
  SheetBuilder builder(allRows, allColumns);
  std::string number;
  std::size_t next = 0;
  for (std::size_t r = 0; r < allRows; ++r) {
    for (std::size_t c = 0; c < allColumns; ++c) {
      while (next < fixes.size() && (fixes[next].row < r || (fixes[next].row == r && fixes[next].column < c))) ++next;
      if (next < fixes.size() && fixes[next].row == r && fixes[next].column == c) {
        while (next + 1 < fixes.size() && fixes[next + 1].row == r && fixes[next + 1].column == c) ++next;
        builder.append(fixes[next].text);
        continue;
      }
      if (!h || r >= rows || c >= columns) {
        builder.append({});
        continue;
      }
      FreeXL_CellValue v;
      int rc = freexl_get_cell_value(h, static_cast<unsigned int>(r), static_cast<unsigned short>(c), &v);
      if (rc != FREEXL_OK) return freexlError(rc, path);
      switch (v.type) {
        case FREEXL_CELL_INT:
          number.clear();
          appendNumberText(number, v.value.int_value);
          builder.append(number);
          break;
        case FREEXL_CELL_DOUBLE:
          number.clear();
          appendNumberText(number, v.value.double_value);
          builder.append(number);
          break;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
          builder.append(v.value.text_value ? std::string_view(v.value.text_value) : std::string_view());
          break;
        default:  // FREEXL_CELL_NULL
          builder.append({});
          break;
      }
    }
  }
  return builder.finish();
}

Result<std::vector<std::string>> sheetNamesHere(const std::string& path) {
  std::optional<scan::WorkbookScan> w = scanned(path);
  if (w && w->longTexts()) return w->worksheetNames();
  Workbook book;
  XLS_RETURN_IF_ERROR(book.open(path));
  return book.names(path);
}

Result<Sheet> readSheetHere(const std::string& path, const std::string& sheetName) {
  std::optional<scan::WorkbookScan> w = scanned(path);
  if (w && w->longTexts()) {
    // FreeXL would read garbage from the first long text on, or fail, as
    // it pleases its uninitialised memory: the scan reads the whole sheet.
    std::vector<std::string> names = w->worksheetNames();
    int index = findSheet(names, sheetName);
    if (index < 0) return noSuchSheet(path, sheetName, names);
    auto cells = w->sheet(names[index], scan::Scope::kAll);
    if (!cells.ok()) return Status::InvalidFormat(damaged(path));
    return assemble(path, nullptr, 0, 0, std::move(cells).value());
  }

  Workbook book;
  XLS_RETURN_IF_ERROR(book.open(path));
  auto names = book.names(path);
  if (!names.ok()) return names.status();
  int index = findSheet(*names, sheetName);
  if (index < 0) return noSuchSheet(path, sheetName, *names);

  const void* h = book.handle();
  int rc = freexl_select_active_worksheet(h, static_cast<unsigned short>(index));
  if (rc != FREEXL_OK) return freexlError(rc, path);
  unsigned int rows = 0;
  unsigned short columns = 0;
  rc = freexl_worksheet_dimensions(h, &rows, &columns);
  if (rc != FREEXL_OK) return freexlError(rc, path);
  // FreeXL's cells, and over them what the scan knows better: formula
  // results, error cells, TRUE and FALSE.
  std::vector<scan::CellText> fixes;
  if (w)
    if (auto f = w->sheet((*names)[index], scan::Scope::kMissedByFreeXL); f.ok()) fixes = std::move(f).value();
  return assemble(path, h, rows, columns, std::move(fixes));
}

// The child's answer over the pipe: a mark, what it is (a sheet, names or
// an error), its parts with their lengths, and a closing mark, so that an
// answer cut short by a crash is told from a whole one.
constexpr char kOpen[] = "XLS1", kClose[] = "END1";

void put64(std::string& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>(v >> (8 * i));
}
void putText(std::string& out, const std::string& s) {
  put64(out, s.size());
  out += s;
}

std::string encodeStatus(const Status& st) {
  std::string out = kOpen;
  out += 'E';
  put64(out, static_cast<uint64_t>(st.code()));
  putText(out, st.message());
  return out + kClose;
}

std::string encode(const Result<Sheet>& r) {
  if (!r.ok()) return encodeStatus(r.status());
  std::string out = kOpen;
  out += 'S';
  put64(out, r->columns());
  put64(out, r->packedEnds().size());
  for (std::size_t e : r->packedEnds()) put64(out, e);
  putText(out, r->packedText());
  return out + kClose;
}

std::string encode(const Result<std::vector<std::string>>& r) {
  if (!r.ok()) return encodeStatus(r.status());
  std::string out = kOpen;
  out += 'N';
  put64(out, r->size());
  for (const std::string& n : *r) putText(out, n);
  return out + kClose;
}

class Decoder {
 public:
  explicit Decoder(const std::string& s) : s_(s) {}
  bool open(char* kind) {
    if (s_.size() < 9 || s_.compare(0, 4, kOpen) != 0 || s_.compare(s_.size() - 4, 4, kClose) != 0) return false;
    end_ = s_.size() - 4;
    at_ = 5;
    *kind = s_[4];
    return true;
  }
  bool get64(uint64_t* v) {
    if (end_ - at_ < 8) return false;
    *v = 0;
    for (int i = 0; i < 8; ++i) *v |= uint64_t{static_cast<unsigned char>(s_[at_ + i])} << (8 * i);
    at_ += 8;
    return true;
  }
  bool getText(std::string* t) {
    uint64_t n;
    if (!get64(&n) || end_ - at_ < n) return false;
    t->assign(s_, at_, n);
    at_ += n;
    return true;
  }
  bool done() const { return at_ == end_; }
  std::size_t left() const { return end_ - at_; }

 private:
  const std::string& s_;
  std::size_t at_ = 0, end_ = 0;
};

bool decodeStatus(Decoder& d, Status* st) {
  uint64_t code;
  std::string message;
  if (!d.get64(&code) || !d.getText(&message) || !d.done()) return false;
  switch (static_cast<Status::Code>(code)) {
    case Status::Code::kNotFound: *st = Status::NotFound(message); return true;
    case Status::Code::kInvalidFormat: *st = Status::InvalidFormat(message); return true;
    case Status::Code::kPermissionDenied: *st = Status::PermissionDenied(message); return true;
    case Status::Code::kIOError: *st = Status::IOError(message); return true;
    case Status::Code::kInvalidArgument: *st = Status::InvalidArgument(message); return true;
    case Status::Code::kCancelled: *st = Status::Cancelled(message); return true;
    default: return false;
  }
}

Result<Sheet> decodeSheet(const std::string& bytes, const std::string& path) {
  Decoder d(bytes);
  char kind = 0;
  Status st;
  if (!d.open(&kind)) return Status::InvalidFormat(damaged(path));
  if (kind == 'E' && decodeStatus(d, &st)) return st;
  uint64_t columns, count;
  if (kind != 'S' || !d.get64(&columns) || !d.get64(&count) || count > d.left() / 8)
    return Status::InvalidFormat(damaged(path));
  std::vector<std::size_t> ends(count);
  for (auto& e : ends) {
    uint64_t v = 0;
    d.get64(&v);
    e = static_cast<std::size_t>(v);
  }
  std::string text;
  if (!d.getText(&text) || !d.done()) return Status::InvalidFormat(damaged(path));
  if (count == 0) return Sheet();
  Sheet sheet = Sheet::fromPacked(columns, std::move(text), std::move(ends));
  if (sheet.empty()) return Status::InvalidFormat(damaged(path));
  return sheet;
}

Result<std::vector<std::string>> decodeNames(const std::string& bytes, const std::string& path) {
  Decoder d(bytes);
  char kind = 0;
  Status st;
  if (!d.open(&kind)) return Status::InvalidFormat(damaged(path));
  if (kind == 'E' && decodeStatus(d, &st)) return st;
  uint64_t count;
  if (kind != 'N' || !d.get64(&count) || count > d.left() / 8) return Status::InvalidFormat(damaged(path));
  std::vector<std::string> names(count);
  for (auto& n : names)
    if (!d.getText(&n)) return Status::InvalidFormat(damaged(path));
  if (!d.done()) return Status::InvalidFormat(damaged(path));
  return names;
}

}  // namespace

Result<std::vector<std::string>> sheetNames(const std::string& path) {
  XLS_RETURN_IF_ERROR(checkFile(path));
  auto bytes = runIsolated([&] { return encode(sheetNamesHere(path)); }, damaged(path));
  if (!bytes.ok()) return bytes.status();
  return decodeNames(*bytes, path);
}

Result<Sheet> readSheet(const std::string& path, const std::string& sheetName) {
  XLS_RETURN_IF_ERROR(checkFile(path));
  auto bytes = runIsolated([&] { return encode(readSheetHere(path, sheetName)); }, damaged(path));
  if (!bytes.ok()) return bytes.status();
  return decodeSheet(*bytes, path);
}

}  // namespace xls
