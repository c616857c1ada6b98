// Errors as values for the storage engine.
//
// Every operation that can fail on bad input or I/O returns a Status (or a
// Result<T>, which is a Status or a value).  The code tells a damaged file
// apart from an I/O error or a refused request; the message says what was
// wrong in words a person can act on.  Nothing in the engine throws.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace jet {

class Status {
 public:
  enum class Code {
    kOk,
    kNotFound,         // no such file, table, column or row
    kCorruption,       // the file is not what it claims to be
    kIOError,          // the operating system refused a read, write or sync
    kInvalidArgument,  // the caller asked for something impossible
    kNotSupported,     // a valid request this engine does not do
    kPermissionDenied, // wrong password
    kBusy,             // another writer holds the file
  };

  Status() = default;
  static Status Ok() { return Status(); }
  static Status NotFound(std::string m) { return Status(Code::kNotFound, std::move(m)); }
  static Status Corruption(std::string m) { return Status(Code::kCorruption, std::move(m)); }
  static Status IOError(std::string m) { return Status(Code::kIOError, std::move(m)); }
  static Status InvalidArgument(std::string m) { return Status(Code::kInvalidArgument, std::move(m)); }
  static Status NotSupported(std::string m) { return Status(Code::kNotSupported, std::move(m)); }
  static Status PermissionDenied(std::string m) { return Status(Code::kPermissionDenied, std::move(m)); }
  static Status Busy(std::string m) { return Status(Code::kBusy, std::move(m)); }

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
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design
  Result(Status status) : status_(std::move(status)) {}  // NOLINT
  bool ok() const { return status_.ok(); }
  const Status& status() const { return status_; }
  T& value() & { return *value_; }
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& operator*() & { return *value_; }

 private:
  Status status_;
  std::optional<T> value_;
};

#define JET_RETURN_IF_ERROR(expr)            \
  do {                                       \
    ::jet::Status jet_status_ = (expr);      \
    if (!jet_status_.ok()) return jet_status_; \
  } while (0)

#define JET_CONCAT_INNER(a, b) a##b
#define JET_CONCAT(a, b) JET_CONCAT_INNER(a, b)
#define JET_ASSIGN_OR_RETURN(lhs, expr) \
  JET_ASSIGN_OR_RETURN_IMPL(JET_CONCAT(jet_result_, __LINE__), lhs, expr)
#define JET_ASSIGN_OR_RETURN_IMPL(tmp, lhs, expr) \
  auto tmp = (expr);                              \
  if (!tmp.ok()) return tmp.status();             \
  lhs = std::move(tmp).value()

}  // namespace jet
