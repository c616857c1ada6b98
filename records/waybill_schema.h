// The tables of the program's data.mdb and their columns, in order.
//
// Every column is a memo (long text): the program treats every value as
// text of unlimited length.  The tables carry no key and no index.
#pragma once

#include <string>
#include <vector>

#include "platform/jet/database.h"

namespace waybill {

inline constexpr const char* kDatabasePassword = "531864297305";
inline constexpr const char* kDatabaseFileName = "data.mdb";

inline constexpr const char* kSenderTable = "outr";
inline constexpr const char* kRecipientTable = "inr";
inline constexpr const char* kImportTable = "excel";

const std::vector<std::string>& senderColumns();     // 12 columns of outr
const std::vector<std::string>& recipientColumns();  // 11 columns of inr and excel

// The three tables as `jet create` makes them.
std::vector<jet::TableSpec> databaseSchema();

// Why an open database is not one of the program's: a table of the three
// missing, or its columns not the program's, in order.  Empty when it is.
std::string schemaMismatch(jet::Database& db);

}  // namespace waybill
