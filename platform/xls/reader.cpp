#include "platform/xls/reader.h"

#include <fcntl.h>
#include <freexl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/xls/cell_text.h"

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
      return Status::InvalidFormat(quoted(path) + " is damaged and cannot be read as an .xls workbook" + code);
  }
}

// An open FreeXL handle, closed on every path out.
class Workbook {
 public:
  ~Workbook() {
    if (handle_) freexl_close(handle_);
  }
  Status open(const std::string& path) {
    XLS_RETURN_IF_ERROR(checkFile(path));
    // FreeXL frees its handle itself when opening fails, except when it
    // cannot open the file at all; closing a handle it left is always right.
    int rc = freexl_open(path.c_str(), &handle_);
    if (rc != FREEXL_OK) return freexlError(rc, path);
    unsigned int info = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
      return Status::PermissionDenied(quoted(path) +
                                      " is protected by a password; open it in Excel, remove the password and save "
                                      "it again");
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

}  // namespace

Result<std::vector<std::string>> sheetNames(const std::string& path) {
  Workbook book;
  XLS_RETURN_IF_ERROR(book.open(path));
  return book.names(path);
}

Result<Sheet> readSheet(const std::string& path, const std::string& sheetName) {
  Workbook book;
  XLS_RETURN_IF_ERROR(book.open(path));
  auto names = book.names(path);
  if (!names.ok()) return names.status();

  int index = -1;
  for (std::size_t i = 0; i < names->size() && index < 0; ++i)
    if ((*names)[i] == sheetName) index = static_cast<int>(i);
  for (std::size_t i = 0; i < names->size() && index < 0; ++i)
    if (equalIgnoringLatinCase((*names)[i], sheetName)) index = static_cast<int>(i);
  if (index < 0) {
    std::string m = quoted(path) + " has no worksheet named " + quoted(sheetName);
    if (names->empty()) {
      m += "; it has no worksheets at all";
    } else {
      m += "; its worksheets are ";
      for (std::size_t i = 0; i < names->size(); ++i) m += (i ? ", " : "") + quoted((*names)[i]);
    }
    return Status::NotFound(m);
  }

  const void* h = book.handle();
  int rc = freexl_select_active_worksheet(h, static_cast<unsigned short>(index));
  if (rc != FREEXL_OK) return freexlError(rc, path);
  unsigned int rows = 0;
  unsigned short columns = 0;
  rc = freexl_worksheet_dimensions(h, &rows, &columns);
  if (rc != FREEXL_OK) return freexlError(rc, path);

  SheetBuilder builder(rows, columns);
  std::string number;
  for (unsigned int r = 0; r < rows; ++r) {
    for (unsigned short c = 0; c < columns; ++c) {
      FreeXL_CellValue v;
      rc = freexl_get_cell_value(h, r, c, &v);
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

}  // namespace xls
