// Reading files made by Access, and refusing files that are not sound.
#include <gtest/gtest.h>

#include <random>

#include "platform/jet/database.h"
#include "tests/platform/jet/test_util.h"

using namespace jettest;
using jet::Database;
using jet::Status;

namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : text) {
    if (c == '\n') {
      out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

struct FixtureCase {
  const char* file;
  const char* password;
};
const FixtureCase kFixtures[] = {
    {"V2000_empty.mdb", ""},         {"V2000_test.mdb", ""},   {"V2000_numeric.mdb", ""},
    {"V2000_with-password.mdb", "password"}, {"delTestV2000.mdb", ""}, {"overflowTestV2000.mdb", ""},
};

}  // namespace

TEST(ReadFixtures, TablesAndRowCountsAgreeWithMdbtools) {
  for (const FixtureCase& f : kFixtures) {
    SCOPED_TRACE(f.file);
    auto db = Database::open(fixture(f.file), f.password, {.readOnly = true});
    ASSERT_TRUE(db.ok()) << db.status().message();
    auto names = (*db)->tableNames();
    ASSERT_TRUE(names.ok()) << names.status().message();
    std::string theirs;
    ASSERT_EQ(run("mdb-tables -1 '" + fixture(f.file) + "'", &theirs), 0);
    EXPECT_EQ(*names, lines(theirs));
    for (const std::string& t : *names) {
      auto rows = (*db)->selectAll(t);
      ASSERT_TRUE(rows.ok()) << rows.status().message();
      std::string json;
      ASSERT_EQ(run("mdb-json '" + fixture(f.file) + "' '" + t + "'", &json), 0);
      EXPECT_EQ(rows->size(), lines(json).size()) << t;
    }
    auto problems = (*db)->check();
    ASSERT_TRUE(problems.ok());
    EXPECT_TRUE(problems->empty()) << (*problems)[0];
    // Every value, in order, as mdbtools and mdb-reader read it.
    std::string out;
    EXPECT_EQ(run("/usr/bin/python3 " SOURCE_DIR "/tests/readers/compare_readers.py '" + fixture(f.file) +
                      "' --password '" + f.password + "' --jet " JET_TOOL " 2>&1",
                  &out),
              0)
        << out;
  }
}

TEST(ReadFixtures, MovedRowsKeepTheirPlaceInStorageOrder) {
  auto db = Database::open(fixture("overflowTestV2000.mdb"), "", {.readOnly = true});
  ASSERT_TRUE(db.ok());
  TextRows rows = textRows(**db, "Table1");
  std::string json;
  ASSERT_EQ(run("mdb-json '" + fixture("overflowTestV2000.mdb") + "' Table1", &json), 0);
  std::vector<std::string> theirs = lines(json);
  ASSERT_EQ(rows.size(), 7u);
  ASSERT_EQ(theirs.size(), 7u);
  // Each row's first text value appears in mdbtools' row of the same place.
  for (size_t i = 0; i < rows.size(); ++i)
    for (const std::string& v : rows[i])
      if (v.size() > 3 && v != "\x01null") EXPECT_NE(theirs[i].find(v.substr(0, 3)), std::string::npos) << i;
}

TEST(ReadFixtures, DeletedRowsAreSkipped) {
  auto db = Database::open(fixture("delTestV2000.mdb"), "", {.readOnly = true});
  ASSERT_TRUE(db.ok());
  EXPECT_EQ(textRows(**db, "Table").size(), 2u);
}

TEST(OpenRefuses, WrongOrMissingPasswordLeavesTheFileUntouched) {
  TempDir dir;
  std::string path = dir.file("pw.mdb");
  copyFile(fixture("V2000_with-password.mdb"), path);
  std::string before = readFile(path);
  for (const char* pw : {"", "Password", "passwor", "password "}) {
    auto db = Database::open(path, pw);
    ASSERT_FALSE(db.ok()) << pw;
    EXPECT_EQ(db.status().code(), Status::Code::kPermissionDenied);
  }
  EXPECT_EQ(readFile(path), before);
  auto db = Database::open(path, "password");
  ASSERT_TRUE(db.ok());
  EXPECT_EQ(textRows(**db, "Table1").size(), 3u);
  // A file without a password refuses one.
  EXPECT_FALSE(Database::open(fixture("V2000_empty.mdb"), "password", {.readOnly = true}).ok());
}

TEST(OpenRefuses, FilesThatAreNotSoundJet4Databases) {
  TempDir dir;
  std::string good = readFile(fixture("V2000_test.mdb"));
  std::string jet3 = good;
  jet3[0x14] = 0;
  struct Case {
    const char* name;
    std::string bytes;
    Status::Code code;
  } cases[] = {
      {"empty", "", Status::Code::kCorruption},
      {"text", std::string(5000, 'x'), Status::Corruption("").code()},
      {"one page", good.substr(0, 4096), Status::Code::kCorruption},
      {"three pages", good.substr(0, 3 * 4096), Status::Code::kCorruption},
      {"jet 3", jet3, Status::Code::kNotSupported},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = dir.file(c.name);
    writeFile(path, c.bytes);
    auto db = Database::open(path, "");
    ASSERT_FALSE(db.ok());
    EXPECT_EQ(db.status().code(), c.code) << db.status().message();
    EXPECT_FALSE(db.status().message().empty());
    EXPECT_EQ(readFile(path), c.bytes);
  }
  EXPECT_EQ(Database::open(dir.file("missing.mdb"), "").status().code(), Status::Code::kNotFound);
}

TEST(OpenRefuses, DamagedBytesNeverCrashTheReader) {
  TempDir dir;
  std::string good = readFile(fixture("V2000_test.mdb"));
  std::mt19937 rng(12345);
  for (int round = 0; round < 150; ++round) {
    std::string bad = good;
    int flips = 1 + int(rng() % 40);
    for (int k = 0; k < flips; ++k) {
      // Aim at the structures: the catalogue and the tables' first pages.
      size_t at = rng() % 2 ? 4096 * (1 + rng() % 40) + rng() % 4096 : rng() % bad.size();
      bad[at % bad.size()] = char(rng());
    }
    if (rng() % 5 == 0) bad.resize(rng() % bad.size());
    std::string path = dir.file("bad.mdb");
    writeFile(path, bad);
    auto db = Database::open(path, "", {.readOnly = true});
    if (!db.ok()) continue;
    auto names = (*db)->tableNames();
    if (names.ok())
      for (auto& t : *names) (void)(*db)->selectAll(t);
    (void)(*db)->check();
  }
}
