// Helpers shared by the engine's tests: temporary folders, fixture copies,
// and rows as plain text for comparing with a model.
#pragma once

#include <string>
#include <vector>

#include "platform/jet/database.h"
#include "tests/support/Files.h"

namespace jettest {

using testfiles::readFile;
using testfiles::TempDir;
using testfiles::writeFile;

std::string fixture(const std::string& name);
void copyFile(const std::string& from, const std::string& to);

using TextRows = std::vector<std::vector<std::string>>;
// All rows of a table as text (null as "\x01null" so it differs from "").
TextRows textRows(jet::Database& db, const std::string& table);
std::vector<jet::Value> textValues(const std::vector<std::string>& row);

using testfiles::run;

}  // namespace jettest
