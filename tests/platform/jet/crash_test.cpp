// A writer killed at any moment leaves the file as it was before or after
// the operation it was in.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>

#include "platform/jet/database.h"
#include "records/waybill_schema.h"
#include "tests/platform/jet/test_util.h"

using namespace jettest;
using jet::Database;
using jet::RowId;
using jet::Status;

namespace {

const std::string kPw = waybill::kDatabasePassword;

// One operation of the writer, made the same way by the writer and by the
// test's model from the operation's number and the table's size.
struct Op {
  enum Kind { kAppend, kBatch, kUpdate, kDelete, kReplaceAll } kind;
  size_t pos = 0;
  TextRows rows;
};

std::vector<std::string> makeRow(std::mt19937& rng) {
  std::vector<std::string> r(11);
  for (size_t c = 0; c < r.size(); ++c) {
    size_t n = rng() % 7 == 0 ? 3000 + rng() % 9000 : rng() % 24;
    std::string s;
    for (size_t i = 0; i < n; ++i) s += i % 3 ? "收" : std::string(1, char('a' + rng() % 26));
    r[c] = s;
  }
  return r;
}

Op makeOp(uint64_t number, size_t size) {
  std::mt19937 rng(uint32_t(number * 2654435761u + 17));
  Op op;
  int k = int(rng() % 12);
  if (size == 0 || k < 4) op.kind = Op::kAppend;
  else if (k < 6) op.kind = Op::kBatch;
  else if (k < 9) op.kind = Op::kUpdate;
  else if (k < 11) op.kind = Op::kDelete;
  else op.kind = Op::kReplaceAll;
  if (size) op.pos = rng() % size;
  int rows = op.kind == Op::kBatch ? 20 : op.kind == Op::kReplaceAll ? 40 : 1;
  if (op.kind != Op::kDelete)
    for (int i = 0; i < rows; ++i) op.rows.push_back(makeRow(rng));
  return op;
}

void applyModel(TextRows& m, const Op& op) {
  switch (op.kind) {
    case Op::kAppend:
    case Op::kBatch: m.insert(m.end(), op.rows.begin(), op.rows.end()); break;
    case Op::kUpdate: m[op.pos] = op.rows[0]; break;
    case Op::kDelete: m.erase(m.begin() + long(op.pos)); break;
    case Op::kReplaceAll: m = op.rows; break;
  }
}

Status applyDb(Database& db, std::vector<RowId>& ids, const Op& op) {
  switch (op.kind) {
    case Op::kAppend: {
      auto id = db.append("inr", textValues(op.rows[0]));
      if (!id.ok()) return id.status();
      ids.push_back(*id);
      return Status::Ok();
    }
    case Op::kBatch:
    case Op::kReplaceAll: {
      JET_RETURN_IF_ERROR(db.begin());
      if (op.kind == Op::kReplaceAll) {
        JET_RETURN_IF_ERROR(db.clear("inr"));
        ids.clear();
      }
      for (auto& r : op.rows) {
        auto id = db.append("inr", textValues(r));
        if (!id.ok()) return id.status();
        ids.push_back(*id);
      }
      return db.commit();
    }
    case Op::kUpdate: return db.update("inr", ids[op.pos], textValues(op.rows[0]));
    case Op::kDelete: {
      Status s = db.remove("inr", ids[op.pos]);
      if (s.ok()) ids.erase(ids.begin() + long(op.pos));
      return s;
    }
  }
  return Status::Ok();
}

// The writer: applies operations from `first` on, reporting each one done.
[[noreturn]] void writer(const std::string& path, uint64_t first, int ackFd) {
  auto db = Database::open(path, kPw);
  if (!db.ok()) _exit(3);
  std::vector<RowId> ids;
  (*db)->scan("inr", [&](const RowId& id, std::vector<jet::Value>&) {
    ids.push_back(id);
    return true;
  });
  for (uint64_t n = first;; ++n) {
    if (!applyDb(**db, ids, makeOp(n, ids.size())).ok()) _exit(4);
    if (::write(ackFd, &n, sizeof n) != sizeof n) _exit(5);
  }
}

}  // namespace

TEST(Crash, KilledWritersLeaveBeforeOrAfter) {
  TempDir dir;
  std::string path = dir.file("data.mdb");
  ASSERT_TRUE(Database::create(path, kPw, waybill::databaseSchema()).ok());
  TextRows model;
  uint64_t next = 0;
  std::mt19937 rng(99);
  int kills = 0, afterCount = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(240);
  while (kills < 200 && std::chrono::steady_clock::now() < deadline) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(fds[0]);
      writer(path, next, fds[1]);
    }
    ::close(fds[1]);
    ::usleep(useconds_t(1000 + rng() % 60000));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself with " << WEXITSTATUS(status);
    ++kills;
    uint64_t done;
    while (::read(fds[0], &done, sizeof done) == sizeof done) {
      EXPECT_EQ(done, next);
      applyModel(model, makeOp(next, model.size()));
      ++next;
    }
    ::close(fds[0]);

    // A copy taken now, before anything plays the dead writer's journal
    // back, holds the same committed state as the file once recovered.
    const std::string copy = dir.file("copy.mdb");
    {
      auto readOnly = Database::open(path, kPw, {.readOnly = true});
      ASSERT_TRUE(readOnly.ok()) << readOnly.status().message();
      ASSERT_TRUE((*readOnly)->copyTo(copy).ok());
    }

    auto db = Database::open(path, kPw);
    ASSERT_TRUE(db.ok()) << db.status().message();
    auto problems = (*db)->check();
    ASSERT_TRUE(problems.ok());
    ASSERT_TRUE(problems->empty()) << "after kill " << kills << ": " << (*problems)[0];
    TextRows now = textRows(**db, "inr");
    if (now != model) {
      // The operation in progress may have committed before its report.
      TextRows after = model;
      applyModel(after, makeOp(next, model.size()));
      ASSERT_EQ(now, after) << "after kill " << kills << " the rows are neither before nor after operation " << next;
      model = after;
      ++next;
      ++afterCount;
    }
    auto copied = Database::open(copy, kPw);
    ASSERT_TRUE(copied.ok()) << copied.status().message();
    auto copyProblems = (*copied)->check();
    ASSERT_TRUE(copyProblems.ok() && copyProblems->empty()) << "the copy after kill " << kills << " is damaged";
    ASSERT_EQ(textRows(**copied, "inr"), now) << "the copy after kill " << kills << " holds another state";
  }
  EXPECT_GE(kills, 200);
  std::cout << kills << " kills, " << next << " operations, " << afterCount << " finished unreported\n";
}
