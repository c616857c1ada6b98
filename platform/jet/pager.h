// Page access, locking and the rollback journal.
//
// The Pager is the only code that touches the database file.  It gives the
// layers above two kinds of access:
//
//  * A read snapshot (beginRead .. endRead).  While it lasts every page read
//    comes from one committed state of the file, whatever other handles or
//    processes do: the snapshot holds a shared lock that a committing writer
//    must wait for, and when it finds a complete journal beside the file it
//    reads the journal's original pages in place of the file's, so that a
//    writer that died half-way through writing its pages shows its "before".
//
//  * A write transaction (beginWrite .. commit or rollback).  Changed pages
//    stay in memory until commit.  Commit writes the original of every page
//    it will overwrite, and the file's original size, to "<file>-journal";
//    syncs it; takes the exclusive lock; writes the pages; syncs the file;
//    deletes the journal and syncs the directory.  Deleting the journal is
//    the moment of commit: a crash before it leaves a journal that the next
//    writer (or the next open) plays back, a crash after it leaves the new
//    state.  Only one writer at a time: a second one waits up to the busy
//    timeout for the writer lock, then fails with Status::Busy.
//
// Locks are open-file-description locks (F_OFD_SETLK) on bytes far beyond
// the end of the file, so two handles in one process exclude each other as
// two processes do, and a process that dies drops its locks.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/jet/coding.h"
#include "platform/jet/status.h"

namespace jet {

class Pager {
 public:
  // Opens `path` for reading, and for writing unless readOnly.  Reads nothing.
  static Result<std::unique_ptr<Pager>> open(const std::string& path, bool readOnly);
  ~Pager();
  Pager(const Pager&) = delete;
  Pager& operator=(const Pager&) = delete;

  const std::string& path() const { return path_; }
  std::string journalPath() const { return path_ + "-journal"; }
  bool readOnly() const { return readOnly_; }
  void setBusyTimeoutMs(int ms) { busyTimeoutMs_ = ms; }

  // --- Reading ---
  // REQUIRES: no snapshot or transaction is active on this handle.
  Status beginRead();
  void endRead();

  // The page as the current snapshot or transaction sees it, or nullptr when
  // the file has no such page.  The pointer stays valid until endRead,
  // commit or rollback; a later writable() of the same page does not move it
  // for reading purposes only through the returned pointer of writable().
  // REQUIRES: a snapshot or a transaction is active.
  const uint8_t* page(uint32_t number);
  uint32_t pageCount() const { return pageCount_; }

  // --- Writing ---
  // Takes the writer lock (waiting up to the busy timeout), plays back a
  // journal left by a writer that died, and starts a transaction.
  Status beginWrite();
  // A private copy of the page that commit will write.  REQUIRES: number <
  // pageCount().
  uint8_t* writable(uint32_t number);
  // A new zeroed page at the end of the file.
  uint32_t appendPage();
  bool inTransaction() const { return writing_; }
  Status commit();
  void rollback();

  // Plays back a hot journal if one is there and no writer is alive.  Used
  // at open time; harmless when there is nothing to do.
  Status recoverIfNeeded();

  // --- Copying ---
  // Writes the file as one committed state sees it (a writer that died
  // half-way shows its "before") to `target`: into a temporary file beside
  // it, synced, then renamed over it, so `target` is either the whole copy
  // or as it was.  A replaced file keeps its permissions.
  // REQUIRES: no snapshot or transaction is active on this handle.
  Status copySnapshotTo(const std::string& target);

 private:
  Pager(std::string path, int fd, bool readOnly);
  Status mapFile();
  void unmapFile();
  Status loadJournalOverlay();  // for readers: a valid journal's originals
  Status playBackJournal();     // for writers holding the writer lock
  Status lock(int64_t offset, bool exclusive, bool wait);
  void unlock(int64_t offset);
  void releaseTransaction();

  std::string path_;
  int fd_ = -1;
  bool readOnly_ = false;
  int busyTimeoutMs_ = 2000;

  bool reading_ = false;
  bool writing_ = false;
  const uint8_t* map_ = nullptr;
  size_t mapSize_ = 0;
  uint32_t pageCount_ = 0;
  std::map<uint32_t, Bytes> overlay_;  // journal originals seen by a reader
  std::map<uint32_t, Bytes> dirty_;    // pages changed by the transaction
  uint32_t originalPageCount_ = 0;
};

// CRC-32 (IEEE), for the journal's checksums.
uint32_t crc32(const uint8_t* data, size_t n, uint32_t crc = 0);

}  // namespace jet
