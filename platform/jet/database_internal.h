// What the reading and writing halves of Database share.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/jet/database.h"

namespace jet {

// A table being written in the current transaction.  Its maps are kept as
// sorted page lists and written back once, at commit.
struct Database::TableState {
  TableDef def;
  std::vector<uint32_t> owned;      // data pages of the table
  std::vector<uint32_t> withSpace;  // owned pages that can take rows
  bool defDirty = false;
  bool mapsDirty = false;
  uint32_t longValuePage = 0;  // an LVAL page with room, from this transaction
};

namespace detail {

// A page keeps its place in the free-space map while it can take a small row.
inline constexpr size_t kUsefulSpace = 64;

// Catalogue ids of the containers every database has.
inline constexpr uint32_t kRootId = 0x0F000000;
inline constexpr uint32_t kTablesId = 0x0F000001;
inline constexpr uint32_t kDatabasesId = 0x0F000002;
inline constexpr uint32_t kRelationshipsId = 0x0F000003;
inline constexpr uint32_t kMSysDbId = 0x10000000;
inline constexpr uint32_t kSystemFlags = 0x80000002;
inline constexpr uint32_t kUsageMapRowSize = 69;  // type, start page, 64 bytes of bits

inline void setMember(std::vector<uint32_t>& v, uint32_t x, bool on) {
  auto it = std::lower_bound(v.begin(), v.end(), x);
  bool has = it != v.end() && *it == x;
  if (on && !has) v.insert(it, x);
  if (!on && has) v.erase(it);
}

inline bool member(const std::vector<uint32_t>& v, uint32_t x) { return std::binary_search(v.begin(), v.end(), x); }

inline double nowAsAccessDate() {
  using namespace std::chrono;
  double unixDays = duration<double>(system_clock::now().time_since_epoch()).count() / 86400.0;
  return unixDays + 25569.0;  // days from 1899-12-30 to 1970-01-01
}

}  // namespace detail
}  // namespace jet
