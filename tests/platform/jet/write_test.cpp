// Creating databases and changing their rows, checked through the engine,
// through `jet check` and through two independent readers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <thread>

#include "platform/jet/database.h"
#include "records/waybill_schema.h"
#include "tests/platform/jet/test_util.h"

using namespace jettest;
using jet::Database;
using jet::RowId;
using jet::Status;
using jet::Value;

namespace {

const std::string kPw = waybill::kDatabasePassword;

std::unique_ptr<Database> created(const TempDir& dir, const std::string& name = "data.mdb") {
  std::string path = dir.file(name);
  Status s = Database::create(path, kPw, waybill::databaseSchema());
  EXPECT_TRUE(s.ok()) << s.message();
  auto db = Database::open(path, kPw);
  EXPECT_TRUE(db.ok()) << db.status().message();
  return std::move(db).value();
}

void expectSound(Database& db) {
  auto problems = db.check();
  ASSERT_TRUE(problems.ok()) << problems.status().message();
  EXPECT_TRUE(problems->empty()) << (*problems)[0];
}

// Both outside readers must see exactly what the engine sees.
void expectReadersAgree(const std::string& path) {
  std::string out;
  int rc = run("/usr/bin/python3 " SOURCE_DIR "/tests/readers/compare_readers.py '" + path + "' --password " + kPw +
                   " --jet " JET_TOOL " 2>&1",
               &out);
  EXPECT_EQ(rc, 0) << out;
}

// Text as a shop types it: names, addresses, numbers, mixed with Latin.
std::string sampleText(std::mt19937& rng, size_t chars) {
  static const char* pieces[] = {"张", "王", "李", "北京市", "朝阳区", "建国路", "号", "楼", "室", "深圳",
                                 "A", "b", "7", "0", "-", " ", "有限公司", "（", "）", "Road ", "一", "丁",
                                 "é", "€", "\"", "%", "_", "[", "*"};
  std::string s;
  size_t n = 0;
  while (n < chars) {
    const char* p = pieces[rng() % (sizeof pieces / sizeof *pieces)];
    s += p;
    ++n;
  }
  return s;
}

}  // namespace

TEST(Create, MakesTheProgramsThreeMemoTablesReadableByMdbtools) {
  TempDir dir;
  auto db = created(dir);
  auto names = db->tableNames();
  ASSERT_TRUE(names.ok());
  EXPECT_EQ(*names, (std::vector<std::string>{"outr", "inr", "excel"}));
  auto outr = db->table("outr");
  ASSERT_TRUE(outr.ok());
  ASSERT_EQ(outr->columns.size(), 12u);
  for (size_t i = 0; i < 12; ++i) {
    EXPECT_EQ(outr->columns[i].name, waybill::senderColumns()[i]);
    EXPECT_EQ(outr->columns[i].type, jet::ColumnType::kMemo);
  }
  for (const char* t : {"inr", "excel"}) {
    auto d = db->table(t);
    ASSERT_TRUE(d.ok());
    ASSERT_EQ(d->columns.size(), 11u);
    for (size_t i = 0; i < 11; ++i) EXPECT_EQ(d->columns[i].name, waybill::recipientColumns()[i]);
    EXPECT_TRUE(d->indexes.empty());
  }
  expectSound(*db);
  std::string tables;
  ASSERT_EQ(run("mdb-tables -1 " + dir.file("data.mdb"), &tables), 0);
  EXPECT_EQ(tables, "outr\ninr\nexcel\n");
  expectReadersAgree(dir.file("data.mdb"));
  // Creating over an existing file is refused and leaves it alone.
  std::string before = readFile(dir.file("data.mdb"));
  EXPECT_FALSE(Database::create(dir.file("data.mdb"), kPw, waybill::databaseSchema()).ok());
  EXPECT_EQ(readFile(dir.file("data.mdb")), before);
  EXPECT_EQ(Database::open(dir.file("data.mdb"), "531864297306").status().code(), Status::Code::kPermissionDenied);
}

TEST(Write, LongValuesOfEverySizeRoundTrip) {
  TempDir dir;
  auto db = created(dir);
  std::mt19937 rng(7);
  std::vector<std::string> values = {"",
                                     "a",
                                     std::string(1024, 'x'),
                                     std::string(1025, 'y'),
                                     sampleText(rng, 40),
                                     sampleText(rng, 2000),
                                     sampleText(rng, 30000),
                                     std::string(100 * 1024, 'z'),
                                     "一二三丁七万丈三上下"};
  for (const std::string& v : values) {
    std::vector<std::string> row(11, "");
    row[4] = v;
    row[0] = v.substr(0, 10);
    ASSERT_TRUE(db->append("inr", textValues(row)).ok());
  }
  TextRows rows = textRows(*db, "inr");
  ASSERT_EQ(rows.size(), values.size());
  for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(rows[i][4], values[i]) << i;
  expectSound(*db);
  expectReadersAgree(db->path());
}

TEST(Write, RandomSequencesMatchAModelAndTheOutsideReaders) {
  TempDir dir;
  auto db = created(dir);
  std::mt19937 rng(2024);
  TextRows model;
  std::vector<RowId> ids;
  auto randomRow = [&] {
    std::vector<std::string> r(11);
    for (auto& c : r) {
      int k = int(rng() % 20);
      c = k == 0 ? "\x01null" : k < 15 ? sampleText(rng, rng() % 30) : sampleText(rng, rng() % 3000);
    }
    if (rng() % 25 == 0) r[rng() % 11] = sampleText(rng, 20000 + rng() % 30000);
    return r;
  };
  for (int step = 0; step < 1500; ++step) {
    int op = int(rng() % 10);
    bool batch = rng() % 20 == 0;
    if (batch) ASSERT_TRUE(db->begin().ok());
    int count = batch ? 1 + int(rng() % 40) : 1;
    for (int k = 0; k < count; ++k) {
      if (op < 5 || model.empty()) {
        auto r = randomRow();
        auto id = db->append("inr", textValues(r));
        ASSERT_TRUE(id.ok()) << id.status().message();
        model.push_back(r);
        ids.push_back(*id);
      } else if (op < 8) {
        size_t i = rng() % model.size();
        auto r = randomRow();
        Status s = db->update("inr", ids[i], textValues(r));
        ASSERT_TRUE(s.ok()) << s.message();
        model[i] = r;
      } else {
        size_t i = rng() % model.size();
        Status s = db->remove("inr", ids[i]);
        ASSERT_TRUE(s.ok()) << s.message();
        model.erase(model.begin() + long(i));
        ids.erase(ids.begin() + long(i));
        if (model.empty()) break;
      }
    }
    if (batch) ASSERT_TRUE(db->commit().ok());
    if (step % 300 == 0) {
      ASSERT_EQ(textRows(*db, "inr"), model) << "step " << step;
      expectSound(*db);
    }
  }
  ASSERT_EQ(textRows(*db, "inr"), model);
  auto t = db->table("inr");
  EXPECT_EQ(t->rowCount, model.size());
  expectSound(*db);
  expectReadersAgree(db->path());
  std::string out;
  EXPECT_EQ(run(std::string(JET_TOOL) + " check " + db->path() + " --password " + kPw, &out), 0) << out;
}

TEST(Write, GrowingRowsKeepTheirPlaceOrMoveAsAccessMovesThem) {
  TempDir dir;
  auto db = created(dir);
  TextRows model;
  std::vector<RowId> ids;
  for (int i = 0; i < 60; ++i) {
    std::vector<std::string> r(11, "\x01null");
    r[0] = "行" + std::to_string(i);
    r[4] = std::string(60, char('a' + i % 26));
    ids.push_back(db->append("inr", textValues(r)).value());
    model.push_back(r);
  }
  // Long values grow past what the page has left: they move out to
  // long-value pages and the rows stay where they are.
  for (int i = 0; i < 60; i += 3) {
    model[size_t(i)][4] = std::string(900, 'G');
    ASSERT_TRUE(db->update("inr", ids[size_t(i)], textValues(model[size_t(i)])).ok());
  }
  EXPECT_EQ(textRows(*db, "inr"), model);
  expectSound(*db);
  expectReadersAgree(db->path());
}

TEST(Write, ARowThatCannotStayMovesAndComesBack) {
  TempDir dir;
  auto db = created(dir);
  // A page packed with rows that hold one short value each...
  std::vector<RowId> ids;
  for (int i = 0; i < 200; ++i) {
    std::vector<std::string> r(11, "\x01null");
    r[0] = "r" + std::to_string(i);
    ids.push_back(db->append("inr", textValues(r)).value());
  }
  ASSERT_EQ(ids[0].page, ids[40].page);
  // ...has no room for one that fills every column, even with its long
  // values moved out: it moves to the table's end, as Access moves rows,
  // and readers now return it there.
  std::vector<std::string> full(11, std::string(300, 'F'));
  ASSERT_TRUE(db->update("inr", ids[0], textValues(full)).ok());
  TextRows rows = textRows(*db, "inr");
  ASSERT_EQ(rows.size(), 200u);
  EXPECT_EQ(rows[0][0], "r1");
  EXPECT_EQ(rows.back(), full);
  expectSound(*db);
  expectReadersAgree(db->path());
  // Its id still reaches it, to change it again and to bring it back home.
  EXPECT_EQ(db->fetch("inr", ids[0])->values[1].s, full[1]);
  full[0] = "再改";
  ASSERT_TRUE(db->update("inr", ids[0], textValues(full)).ok());
  EXPECT_EQ(textRows(*db, "inr").back()[0], "再改");
  std::vector<std::string> small(11, "\x01null");
  small[0] = "r0";
  ASSERT_TRUE(db->update("inr", ids[0], textValues(small)).ok());
  EXPECT_EQ(textRows(*db, "inr")[0][0], "r0");
  expectSound(*db);
  // Deleting a moved row deletes it and its pointer.
  ASSERT_TRUE(db->update("inr", ids[5], textValues(full)).ok());
  ASSERT_TRUE(db->remove("inr", ids[5]).ok());
  EXPECT_EQ(textRows(*db, "inr").size(), 199u);
  expectSound(*db);
  expectReadersAgree(db->path());
}

TEST(Write, EmptyAndClearThenRefill) {
  TempDir dir;
  auto db = created(dir);
  std::mt19937 rng(3);
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(db->begin().ok());
    ASSERT_TRUE(db->clear("excel").ok());
    for (int i = 0; i < 500; ++i) {
      std::vector<std::string> r(11, sampleText(rng, 8));
      ASSERT_TRUE(db->append("excel", textValues(r)).ok());
    }
    ASSERT_TRUE(db->commit().ok());
    EXPECT_EQ(textRows(*db, "excel").size(), 500u);
  }
  ASSERT_TRUE(db->clear("excel").ok());
  EXPECT_TRUE(textRows(*db, "excel").empty());
  expectSound(*db);
}

TEST(Write, ForeignTextColumnsRefuseLongValuesAndIndexedTablesRefuseWrites) {
  TempDir dir;
  std::string path = dir.file("del.mdb");
  copyFile(fixture("delTestV2000.mdb"), path);
  auto db = Database::open(path, "");
  ASSERT_TRUE(db.ok());
  std::string before = readFile(path);
  auto tooLong = (*db)->append("Table", {Value::text(std::string(51, 'x')), Value::text("b")});
  EXPECT_EQ(tooLong.status().code(), Status::Code::kInvalidArgument);
  EXPECT_EQ(readFile(path), before);
  auto fits = (*db)->append("Table", {Value::text(std::string(50, 'x')), Value::text("中文")});
  ASSERT_TRUE(fits.ok()) << fits.status().message();
  EXPECT_EQ(textRows(**db, "Table").size(), 3u);
  expectSound(**db);
  std::string json;
  ASSERT_EQ(run("mdb-json " + path + " Table", &json), 0);
  EXPECT_NE(json.find("中文"), std::string::npos);

  std::string test = dir.file("test.mdb");
  copyFile(fixture("V2000_test.mdb"), test);
  auto indexed = Database::open(test, "");
  ASSERT_TRUE(indexed.ok());
  std::string original = readFile(test);
  auto refused = (*indexed)->append("Table1", {Value::text("z")});
  EXPECT_EQ(refused.status().code(), Status::Code::kNotSupported);
  EXPECT_EQ(readFile(test), original);
}

TEST(Write, AFailedStepRollsTheWholeTransactionBack) {
  TempDir dir;
  auto db = created(dir);
  ASSERT_TRUE(db->append("inr", textValues(std::vector<std::string>(11, "keep"))).ok());
  std::string before = readFile(db->path());
  ASSERT_TRUE(db->begin().ok());
  ASSERT_TRUE(db->append("inr", textValues(std::vector<std::string>(11, "new"))).ok());
  EXPECT_FALSE(db->append("inr", std::vector<Value>(12, Value::text("x"))).ok());
  EXPECT_FALSE(db->commit().ok());
  EXPECT_EQ(textRows(*db, "inr").size(), 1u);
  EXPECT_EQ(readFile(db->path()), before);
}

TEST(Concurrency, OneWriterAtATimeAndReadersSeeCommittedStates) {
  TempDir dir;
  auto a = created(dir);
  auto b = Database::open(a->path(), kPw, {.readOnly = false, .busyTimeoutMs = 150});
  ASSERT_TRUE(b.ok());
  ASSERT_TRUE(a->begin().ok());
  ASSERT_TRUE(a->append("inr", textValues(std::vector<std::string>(11, "未提交"))).ok());
  // The second handle cannot write meanwhile, and reads the committed state.
  auto busy = (*b)->append("inr", textValues(std::vector<std::string>(11, "x")));
  EXPECT_EQ(busy.status().code(), Status::Code::kBusy);
  EXPECT_TRUE(textRows(**b, "inr").empty());
  ASSERT_TRUE(a->commit().ok());
  EXPECT_EQ(textRows(**b, "inr").size(), 1u);
  ASSERT_TRUE((*b)->append("inr", textValues(std::vector<std::string>(11, "b"))).ok());
  EXPECT_EQ(textRows(*a, "inr").size(), 2u);
  // Another process sees the same.
  std::string out;
  ASSERT_EQ(run(std::string(JET_TOOL) + " export " + a->path() + " inr --password " + kPw, &out), 0);
  EXPECT_NE(out.find("未提交"), std::string::npos);
}

TEST(Write, CharactersBeyondTheBasicPlaneRoundTrip) {
  // Stored as UTF-16 surrogate pairs, as Access stores them (mdbtools shows
  // them as "??", so this one is checked through the engine alone).
  TempDir dir;
  auto db = created(dir);
  std::vector<std::string> row(11, "😀𠀀 mixed 张");
  ASSERT_TRUE(db->append("inr", textValues(row)).ok());
  EXPECT_EQ(textRows(*db, "inr")[0], row);
}

TEST(Select, TextSnapshotsHoldWhatTheRowsHold) {
  TempDir dir;
  auto db = created(dir);
  std::mt19937 rng(5);
  for (int i = 0; i < 300; ++i) {
    std::vector<std::string> r(11);
    for (auto& c : r) c = rng() % 6 == 0 ? "\x01null" : sampleText(rng, rng() % 40);
    if (i % 50 == 0) r[4] = sampleText(rng, 6000);  // out on long-value pages
    ASSERT_TRUE(db->append("inr", textValues(r)).ok());
  }
  TextRows rows = textRows(*db, "inr");
  auto snap = db->selectAllText("inr");
  ASSERT_TRUE(snap.ok());
  ASSERT_EQ(snap->rows(), rows.size());
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < 11; ++c)
      EXPECT_EQ(snap->value(r, c), rows[r][c] == "\x01null" ? "" : rows[r][c]) << r << "," << c;
}

TEST(Select, ContainingMatchesLiteralTextWithLatinCaseFolded) {
  TempDir dir;
  auto db = created(dir);
  const std::vector<std::string> names = {"张三", "Zhang San", "50% off", "a_b", "[VIP]", "x*y", "say \"hi\"",
                                          "ÉCOLE", " ", "", "\x01null"};
  for (const std::string& n : names) {
    std::vector<std::string> r(11, "");
    r[0] = n;
    ASSERT_TRUE(db->append("inr", textValues(r)).ok());
  }
  struct Case {
    std::string needle;
    std::vector<size_t> rows;
  } cases[] = {
      {"张", {0}},      {"zhang", {1}},    {"SAN", {1}},  {"%", {2}},      {"_", {3}},  {"[", {4}},
      {"VIP]", {4}},    {"*", {5}},        {"\"", {6}},   {"\"hi\"", {6}}, {"école", {7}}, {" ", {1, 2, 6, 8}},
      {"a%b", {}},      {"a?b", {}},       {"三 ", {}},
  };
  for (const Case& c : cases) {
    auto hits = db->selectContainingText("inr", "姓名", c.needle);
    ASSERT_TRUE(hits.ok()) << hits.status().message();
    std::vector<size_t> got;
    auto all = db->selectAllText("inr");
    for (size_t h = 0; h < hits->rows(); ++h)
      for (size_t r = 0; r < all->rows(); ++r)
        if (all->ids[r] == hits->ids[h]) got.push_back(r);
    EXPECT_EQ(got, c.rows) << "needle '" << c.needle << "'";
  }
  EXPECT_EQ(db->selectContainingText("inr", "姓名", "")->rows(), names.size());
  EXPECT_EQ(db->selectContainingText("inr", "没有", "x").status().code(), Status::Code::kNotFound);
}

TEST(Write, LargeTablesSwitchTheirMapsToMapPages) {
  // Past 512 pages an inline usage map no longer reaches: the table's and
  // the file's maps then refer to map pages.
  TempDir dir;
  auto db = created(dir);
  std::mt19937 rng(11);
  ASSERT_TRUE(db->begin().ok());
  for (int i = 0; i < 1500; ++i) {
    std::vector<std::string> r(11, "");
    r[0] = std::to_string(i);
    r[4] = sampleText(rng, 1500);  // about one row a page
    ASSERT_TRUE(db->append("inr", textValues(r)).ok());
  }
  ASSERT_TRUE(db->commit().ok());
  EXPECT_GT(std::filesystem::file_size(db->path()), 600u * 4096);
  EXPECT_EQ(textRows(*db, "inr").size(), 1500u);
  // Deleting most rows frees their pages and keeps the maps right.
  ASSERT_TRUE(db->begin().ok());
  auto snap = db->selectAllText("inr");
  for (size_t r = 0; r < snap->rows(); r += 3) ASSERT_TRUE(db->remove("inr", snap->ids[r]).ok());
  ASSERT_TRUE(db->commit().ok());
  EXPECT_EQ(textRows(*db, "inr").size(), 1000u);
  expectSound(*db);
  expectReadersAgree(db->path());
}

TEST(Copy, ACopyIsTheFileByteForByteAndReplacesItsTargetWholeOrNotAtAll) {
  TempDir dir;
  auto db = created(dir);
  std::mt19937 rng(5);
  ASSERT_TRUE(db->begin().ok());
  for (int i = 0; i < 300; ++i) ASSERT_TRUE(db->append("inr", textValues(std::vector<std::string>(11, sampleText(rng, 40)))).ok());
  ASSERT_TRUE(db->commit().ok());
  const std::string target = dir.file("backup.bak");
  writeFile(target, "an older backup");
  ASSERT_TRUE(::chmod(target.c_str(), 0640) == 0);
  ASSERT_TRUE(db->copyTo(target).ok());
  EXPECT_EQ(readFile(target), readFile(db->path()));
  struct stat st;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // a replaced file keeps its permissions
  // Refused: into a folder that is not there, onto itself, inside a
  // transaction.  Nothing is left behind and the target stays.
  EXPECT_FALSE(db->copyTo(dir.file("no/such/folder.bak")).ok());
  EXPECT_FALSE(db->copyTo(db->path()).ok());
  ASSERT_TRUE(db->begin().ok());
  EXPECT_FALSE(db->copyTo(target).ok());
  db->rollback();
  EXPECT_EQ(readFile(target), readFile(db->path()));
  std::string listing;
  run("ls -A " + dir.path(), &listing);
  EXPECT_EQ(listing.find(".backup.bak."), std::string::npos) << listing;
}
