#include "platform/xls/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

namespace xls {
namespace {

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

std::string folderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

Status writeError(int e, const std::string& path) {
  if (e == ENOSPC || e == EDQUOT) return Status::IOError("the disk is full: " + quoted(path) + " was not written");
  if (e == EACCES || e == EPERM) return Status::PermissionDenied("you may not write " + quoted(path));
  if (e == EROFS) return Status::PermissionDenied(quoted(path) + " lies on a disk that cannot be written to");
  return Status::IOError("cannot write " + quoted(path) + ": " + std::strerror(e));
}

// The process's umask, without changing it (umask() can only read by
// setting, which races with other threads creating files).
mode_t currentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
  return 022;
}

Status writeAll(int fd, std::span<const Bytes> pieces, const std::string& path) {
  std::vector<iovec> iov;
  for (const Bytes& b : pieces)
    if (b.size) iov.push_back({const_cast<uint8_t*>(b.data), b.size});
  std::size_t i = 0;
  while (i < iov.size()) {
    int count = static_cast<int>(std::min<std::size_t>(iov.size() - i, IOV_MAX));
    ssize_t n = ::writev(fd, iov.data() + i, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return writeError(errno, path);
    }
    std::size_t done = static_cast<std::size_t>(n);
    while (i < iov.size() && done >= iov[i].iov_len) done -= iov[i++].iov_len;
    if (i < iov.size()) {
      iov[i].iov_base = static_cast<uint8_t*>(iov[i].iov_base) + done;
      iov[i].iov_len -= done;
    }
  }
  return Status::Ok();
}

}  // namespace

Status writeFileAtomically(const std::string& path, std::span<const Bytes> pieces) {
  if (path.empty()) return Status::InvalidArgument("no file name was given");
  const std::string folder = folderOf(path);
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return Status::NotFound("the folder " + quoted(folder) + " does not exist");
  mode_t mode = 0666 & ~currentUmask();
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return Status::InvalidArgument(quoted(path) + " is a folder");
    if (::access(path.c_str(), W_OK) != 0)
      return Status::PermissionDenied(quoted(path) + " is read-only; it was not replaced");
    mode = st.st_mode & 07777;
  }

  std::string temp = folder + "/." + nameOf(path) + ".XXXXXX";
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    int e = errno;
    if (e == EACCES || e == EPERM) return Status::PermissionDenied("you may not write in the folder " + quoted(folder));
    return writeError(e, path);
  }
  auto fail = [&](Status s) {
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    return s;
  };
  if (::fchmod(fd, mode) != 0) return fail(writeError(errno, path));
  Status s = writeAll(fd, pieces, path);
  if (!s.ok()) return fail(s);
  if (::fsync(fd) != 0) return fail(writeError(errno, path));
  int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return fail(writeError(errno, path));
  if (::rename(temp.c_str(), path.c_str()) != 0) return fail(writeError(errno, path));
  // The rename itself reaches the disk with the folder.
  int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return Status::Ok();
}

}  // namespace xls
