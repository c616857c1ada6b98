#include "tests/platform/jet/test_util.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace jettest {

std::string fixture(const std::string& name) { return std::string(FIXTURE_DIR) + "/" + name; }

void copyFile(const std::string& from, const std::string& to) {
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::permissions(to, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TextRows textRows(jet::Database& db, const std::string& table) {
  TextRows rows;
  jet::Status s = db.scan(table, [&](const jet::RowId&, std::vector<jet::Value>& v) {
    std::vector<std::string> r;
    for (auto& x : v) r.push_back(x.isNull() ? std::string("\x01null") : x.asText());
    rows.push_back(std::move(r));
    return true;
  });
  EXPECT_TRUE(s.ok()) << s.message();
  return rows;
}

std::vector<jet::Value> textValues(const std::vector<std::string>& row) {
  std::vector<jet::Value> v;
  for (auto& s : row) v.push_back(s == "\x01null" ? jet::Value::null() : jet::Value::text(s));
  return v;
}

}  // namespace jettest
