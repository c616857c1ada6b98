#include "platform/jet/pager.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/jet/format.h"

namespace jet {

using format::kPageSize;

namespace {

// Lock bytes lie far beyond any real file end (Jet files stop at 2 GB).
constexpr int64_t kWriterLock = int64_t(1) << 40;
constexpr int64_t kDataLock = kWriterLock + 1;

// Journal layout: a 36-byte header, then per page: number (4) + page bytes.
constexpr char kJournalMagic[8] = {'J', 'E', 'T', 'J', 'R', 'N', 'L', '1'};
constexpr size_t kJournalHeader = 36;
constexpr size_t kJournalRecord = 4 + kPageSize;

std::string errnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

std::string directoryOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

Status syncDirectory(const std::string& path) {
  int dfd = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return Status::IOError(errnoText("cannot open the folder of " + path));
  int rc = ::fsync(dfd);
  ::close(dfd);
  if (rc != 0) return Status::IOError(errnoText("cannot sync the folder of " + path));
  return Status::Ok();
}

Status writeAll(int fd, const uint8_t* data, size_t n, off_t offset, const std::string& path) {
  while (n > 0) {
    ssize_t w = ::pwrite(fd, data, n, offset);
    if (w < 0) {
      if (errno == EINTR) continue;
      return Status::IOError(errnoText("cannot write " + path));
    }
    data += w;
    n -= size_t(w);
    offset += w;
  }
  return Status::Ok();
}

Status readAll(int fd, uint8_t* data, size_t n, off_t offset, const std::string& path) {
  while (n > 0) {
    ssize_t r = ::pread(fd, data, n, offset);
    if (r < 0) {
      if (errno == EINTR) continue;
      return Status::IOError(errnoText("cannot read " + path));
    }
    if (r == 0) return Status::Corruption("unexpected end of " + path);
    data += r;
    n -= size_t(r);
    offset += r;
  }
  return Status::Ok();
}

// A journal read whole and checked.  `valid` is false for a journal whose
// writing never finished: its writer had not touched the database yet.
struct Journal {
  bool valid = false;
  uint64_t originalSize = 0;
  std::map<uint32_t, Bytes> pages;
};

Result<Journal> readJournal(const std::string& path) {
  Journal j;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return j;
    return Status::IOError(errnoText("cannot open " + path));
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return Status::IOError(errnoText("cannot stat " + path));
  }
  Bytes all(size_t(st.st_size));
  Status s = all.empty() ? Status::Ok() : readAll(fd, all.data(), all.size(), 0, path);
  ::close(fd);
  if (!s.ok()) return s;
  if (all.size() < kJournalHeader || std::memcmp(all.data(), kJournalMagic, 8) != 0) return j;
  const uint8_t* h = all.data();
  if (crc32(h, 32) != get32(h + 32) || get32(h + 8) != 1 || get32(h + 12) != kPageSize) return j;
  uint32_t count = get32(h + 24);
  if (all.size() != kJournalHeader + size_t(count) * kJournalRecord) return j;
  if (crc32(h + kJournalHeader, all.size() - kJournalHeader) != get32(h + 28)) return j;
  j.valid = true;
  j.originalSize = get64(h + 16);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* r = h + kJournalHeader + size_t(i) * kJournalRecord;
    j.pages[get32(r)] = Bytes(r + 4, r + 4 + kPageSize);
  }
  return j;
}

}  // namespace

uint32_t crc32(const uint8_t* data, size_t n, uint32_t crc) {
  static const auto table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

Result<std::unique_ptr<Pager>> Pager::open(const std::string& path, bool readOnly) {
  int fd = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return Status::NotFound("the database file " + path + " does not exist");
    if (errno == EACCES || errno == EROFS)
      return Status::IOError(errnoText("cannot open " + path + (readOnly ? "" : " for writing")));
    return Status::IOError(errnoText("cannot open " + path));
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Status::InvalidArgument(path + " is not a regular file");
  }
  return std::unique_ptr<Pager>(new Pager(path, fd, readOnly));
}

Pager::Pager(std::string path, int fd, bool readOnly) : path_(std::move(path)), fd_(fd), readOnly_(readOnly) {}

Pager::~Pager() {
  if (writing_) rollback();
  if (reading_) endRead();
  unmapFile();
  if (fd_ >= 0) ::close(fd_);
}

Status Pager::lock(int64_t offset, bool exclusive, bool wait) {
  struct flock fl {};
  fl.l_type = exclusive ? F_WRLCK : F_RDLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = offset;
  fl.l_len = 1;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(busyTimeoutMs_);
  int pause = 1;
  for (;;) {
    if (::fcntl(fd_, F_OFD_SETLK, &fl) == 0) return Status::Ok();
    if (errno != EAGAIN && errno != EACCES && errno != EINTR)
      return Status::IOError(errnoText("cannot lock " + path_));
    if (!wait || std::chrono::steady_clock::now() >= deadline)
      return Status::Busy("the database " + path_ + " is being changed by another program; try again");
    std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    pause = std::min(pause * 2, 20);
  }
}

void Pager::unlock(int64_t offset) {
  struct flock fl {};
  fl.l_type = F_UNLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = offset;
  fl.l_len = 1;
  ::fcntl(fd_, F_OFD_SETLK, &fl);
}

Status Pager::mapFile() {
  struct stat st;
  if (::fstat(fd_, &st) != 0) return Status::IOError(errnoText("cannot stat " + path_));
  // A shared mapping shows what writers write, so it serves the next
  // snapshot too while the file keeps its size.
  if (map_ && size_t(st.st_size) == mapSize_) {
    pageCount_ = uint32_t(std::min<uint64_t>(mapSize_ / kPageSize, 0xFFFFFF));
    return Status::Ok();
  }
  unmapFile();
  mapSize_ = size_t(st.st_size);
  pageCount_ = uint32_t(std::min<uint64_t>(mapSize_ / kPageSize, 0xFFFFFF));
  if (mapSize_ == 0) return Status::Ok();
  void* m = ::mmap(nullptr, mapSize_, PROT_READ, MAP_SHARED, fd_, 0);
  if (m == MAP_FAILED) {
    mapSize_ = 0;
    return Status::IOError(errnoText("cannot map " + path_));
  }
  map_ = static_cast<const uint8_t*>(m);
  return Status::Ok();
}

void Pager::unmapFile() {
  if (map_) ::munmap(const_cast<uint8_t*>(map_), mapSize_);
  map_ = nullptr;
  mapSize_ = 0;
}

Status Pager::loadJournalOverlay() {
  overlay_.clear();
  JET_ASSIGN_OR_RETURN(Journal j, readJournal(journalPath()));
  if (!j.valid) return Status::Ok();
  overlay_ = std::move(j.pages);
  pageCount_ = uint32_t(std::min<uint64_t>(j.originalSize / kPageSize, 0xFFFFFF));
  return Status::Ok();
}

Status Pager::beginRead() {
  JET_RETURN_IF_ERROR(lock(kDataLock, false, true));
  Status s = mapFile();
  if (s.ok()) s = loadJournalOverlay();
  if (!s.ok()) {
    unmapFile();
    unlock(kDataLock);
    return s;
  }
  reading_ = true;
  return Status::Ok();
}

void Pager::endRead() {
  if (!reading_) return;
  overlay_.clear();
  unlock(kDataLock);
  reading_ = false;
}

const uint8_t* Pager::page(uint32_t number) {
  if (number >= pageCount_) return nullptr;
  if (writing_) {
    auto d = dirty_.find(number);
    if (d != dirty_.end()) return d->second.data();
  }
  auto o = overlay_.find(number);
  if (o != overlay_.end()) return o->second.data();
  if (size_t(number + 1) * kPageSize > mapSize_) return nullptr;
  return map_ + size_t(number) * kPageSize;
}

Status Pager::copySnapshotTo(const std::string& target) {
  JET_RETURN_IF_ERROR(beginRead());
  const std::string folder = directoryOf(target);
  const std::string name = target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
  std::string temp = folder + "/." + name + ".XXXXXX";
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    endRead();
    return Status::IOError(errnoText("cannot write in the folder of " + target));
  }
  struct stat st;
  mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  Status s = ::fchmod(fd, mode) == 0 ? Status::Ok() : Status::IOError(errnoText("cannot write " + target));
  for (uint32_t n = 0; s.ok() && n < pageCount_; ++n) {
    const uint8_t* p = page(n);
    if (!p) s = Status::Corruption(path_ + " ends inside page " + std::to_string(n));
    else s = writeAll(fd, p, kPageSize, off_t(n) * kPageSize, target);
  }
  endRead();
  if (s.ok() && ::fsync(fd) != 0) s = Status::IOError(errnoText("cannot sync " + target));
  if (::close(fd) != 0 && s.ok()) s = Status::IOError(errnoText("cannot write " + target));
  if (s.ok() && ::rename(temp.c_str(), target.c_str()) != 0) s = Status::IOError(errnoText("cannot replace " + target));
  if (!s.ok()) {
    ::unlink(temp.c_str());
    return s;
  }
  return syncDirectory(target);
}

Status Pager::playBackJournal() {
  JET_ASSIGN_OR_RETURN(Journal j, readJournal(journalPath()));
  if (j.valid) {
    JET_RETURN_IF_ERROR(lock(kDataLock, true, true));
    Status s;
    for (auto& [number, bytes] : j.pages) {
      s = writeAll(fd_, bytes.data(), kPageSize, off_t(number) * kPageSize, path_);
      if (!s.ok()) break;
    }
    if (s.ok() && ::ftruncate(fd_, off_t(j.originalSize)) != 0) s = Status::IOError(errnoText("cannot truncate " + path_));
    if (s.ok() && ::fsync(fd_) != 0) s = Status::IOError(errnoText("cannot sync " + path_));
    unlock(kDataLock);
    if (!s.ok()) return s;
  }
  if (::unlink(journalPath().c_str()) != 0 && errno != ENOENT)
    return Status::IOError(errnoText("cannot remove " + journalPath()));
  return syncDirectory(path_);
}

Status Pager::recoverIfNeeded() {
  if (readOnly_) return Status::Ok();
  if (::access(journalPath().c_str(), F_OK) != 0) return Status::Ok();
  // A live writer owns its journal; only a journal without one is hot.
  if (!lock(kWriterLock, true, false).ok()) return Status::Ok();
  Status s = playBackJournal();
  unlock(kWriterLock);
  return s;
}

Status Pager::beginWrite() {
  if (readOnly_) return Status::InvalidArgument(path_ + " was opened read-only");
  JET_RETURN_IF_ERROR(lock(kWriterLock, true, true));
  Status s;
  if (::access(journalPath().c_str(), F_OK) == 0) s = playBackJournal();
  if (s.ok()) s = mapFile();
  if (!s.ok()) {
    unmapFile();
    unlock(kWriterLock);
    return s;
  }
  overlay_.clear();
  dirty_.clear();
  originalPageCount_ = pageCount_;
  writing_ = true;
  return Status::Ok();
}

uint8_t* Pager::writable(uint32_t number) {
  auto d = dirty_.find(number);
  if (d != dirty_.end()) return d->second.data();
  Bytes copy(kPageSize, 0);
  if (const uint8_t* p = page(number)) std::memcpy(copy.data(), p, kPageSize);
  return dirty_.emplace(number, std::move(copy)).first->second.data();
}

uint32_t Pager::appendPage() {
  uint32_t number = pageCount_++;
  dirty_[number] = Bytes(kPageSize, 0);
  return number;
}

void Pager::releaseTransaction() {
  dirty_.clear();
  unlock(kWriterLock);
  writing_ = false;
}

void Pager::rollback() {
  if (!writing_) return;
  releaseTransaction();
}

Status Pager::commit() {
  if (!writing_) return Status::InvalidArgument("no transaction to commit");
  if (dirty_.empty()) {
    releaseTransaction();
    return Status::Ok();
  }
  // 1. The journal: originals of the pages that exist in the file now.
  Bytes journal(kJournalHeader, 0);
  uint32_t count = 0;
  for (auto& [number, bytes] : dirty_) {
    if (number >= originalPageCount_) continue;
    const uint8_t* orig = map_ + size_t(number) * kPageSize;
    size_t at = journal.size();
    journal.resize(at + kJournalRecord);
    put32(&journal[at], number);
    std::memcpy(&journal[at + 4], orig, kPageSize);
    ++count;
  }
  std::memcpy(journal.data(), kJournalMagic, 8);
  put32(&journal[8], 1);
  put32(&journal[12], kPageSize);
  put64(&journal[16], uint64_t(originalPageCount_) * kPageSize);
  put32(&journal[24], count);
  put32(&journal[28], crc32(journal.data() + kJournalHeader, journal.size() - kJournalHeader));
  put32(&journal[32], crc32(journal.data(), 32));

  auto fail = [&](Status s) {
    releaseTransaction();
    return s;
  };
  int jfd = ::open(journalPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (jfd < 0) return fail(Status::IOError(errnoText("cannot create " + journalPath())));
  Status s = writeAll(jfd, journal.data(), journal.size(), 0, journalPath());
  if (s.ok() && ::fdatasync(jfd) != 0) s = Status::IOError(errnoText("cannot sync " + journalPath()));
  ::close(jfd);
  if (s.ok()) s = syncDirectory(path_);
  if (!s.ok()) {
    ::unlink(journalPath().c_str());
    return fail(s);
  }

  // 2. The pages, once no reader is in the middle of a snapshot.
  s = lock(kDataLock, true, true);
  if (!s.ok()) {
    ::unlink(journalPath().c_str());
    return fail(s);
  }
  for (auto& [number, bytes] : dirty_) {
    s = writeAll(fd_, bytes.data(), kPageSize, off_t(number) * kPageSize, path_);
    if (!s.ok()) break;
  }
  if (s.ok() && ::fdatasync(fd_) != 0) s = Status::IOError(errnoText("cannot sync " + path_));
  if (!s.ok()) {
    // Put the file back as it was before giving up; the journal stays if
    // even that fails, and the next writer plays it back.
    unlock(kDataLock);
    releaseTransaction();
    lock(kWriterLock, true, true);
    Status back = playBackJournal();
    unlock(kWriterLock);
    (void)back;
    return s;
  }

  // 3. The commit point.
  if (::unlink(journalPath().c_str()) != 0) s = Status::IOError(errnoText("cannot remove " + journalPath()));
  if (s.ok()) s = syncDirectory(path_);
  unlock(kDataLock);
  releaseTransaction();
  return s;
}

}  // namespace jet
