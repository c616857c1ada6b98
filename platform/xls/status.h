// Errors as values for the spreadsheet layer.
//
// Reading and writing .xls files fails for reasons a person can fix: the
// file is missing, is not an .xls workbook, has a password, lacks the sheet
// or the columns asked for, or a list is too long for one sheet.  Each
// failure comes back as a Status (or a Result<T>, a Status or a value) whose
// message says what was wrong in words the program can show as they are.
// Nothing here throws.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace xls {

class Status {
 public:
  enum class Code {
    kOk,
    kNotFound,          // no such file, worksheet or column
    kInvalidFormat,     // not an .xls workbook, or a damaged one
    kPermissionDenied,  // a password-protected workbook, or a file we may not read or write
    kIOError,           // the operating system refused a read, write or sync
    kInvalidArgument,   // the caller asked for something an .xls sheet cannot hold
    kCancelled,         // the progress callback asked to stop
  };

  Status() = default;
  static Status Ok() { return Status(); }
  static Status NotFound(std::string m) { return Status(Code::kNotFound, std::move(m)); }
  static Status InvalidFormat(std::string m) { return Status(Code::kInvalidFormat, std::move(m)); }
  static Status PermissionDenied(std::string m) { return Status(Code::kPermissionDenied, std::move(m)); }
  static Status IOError(std::string m) { return Status(Code::kIOError, std::move(m)); }
  static Status InvalidArgument(std::string m) { return Status(Code::kInvalidArgument, std::move(m)); }
  static Status Cancelled(std::string m) { return Status(Code::kCancelled, std::move(m)); }

  bool ok() const { return code_ == Code::kOk; }
  Code code() const { return code_; }
  const std::string& message() const { return message_; }

 private:
  Status(Code c, std::string m) : code_(c), message_(std::move(m)) {}
  Code code_ = Code::kOk;
  std::string message_;
};

// A value or the Status that explains why there is none.
template <class T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}         // NOLINT: implicit by design
  Result(Status status) : status_(std::move(status)) {}  // NOLINT
  bool ok() const { return status_.ok(); }
  const Status& status() const { return status_; }
  T& value() & { return *value_; }
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }

 private:
  Status status_;
  std::optional<T> value_;
};

#define XLS_RETURN_IF_ERROR(expr)                \
  do {                                           \
    ::xls::Status xls_status_ = (expr);          \
    if (!xls_status_.ok()) return xls_status_;   \
  } while (0)

}  // namespace xls
