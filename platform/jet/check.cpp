// The integrity check behind `jet check`: every structure is read and every
// page accounted for.
#include <map>
#include <set>

#include "platform/jet/data_page.h"
#include "platform/jet/database_internal.h"
#include "platform/jet/format.h"
#include "platform/jet/header.h"
#include "platform/jet/row.h"

namespace jet {

using namespace format;

Result<std::vector<std::string>> Database::check() {
  std::vector<std::string> problems;
  auto problem = [&](std::string s) {
    if (problems.size() < 200) problems.push_back(std::move(s));
  };
  const bool own = !pager_->inTransaction();
  if (own) JET_RETURN_IF_ERROR(pager_->beginRead());
  struct EndRead {
    Pager& p;
    bool own;
    ~EndRead() {
      if (own) p.endRead();
    }
  } endRead{*pager_, own};

  const uint32_t pageCount = pager_->pageCount();
  const uint8_t* p0 = pager_->page(0);
  if (!p0) return std::vector<std::string>{"the file has no header page"};
  if (auto h = decodeHeader(p0); !h.ok()) problem("header: " + h.status().message());

  // What each page is used for; a page claimed twice is a problem.
  std::map<uint32_t, std::string> claims;
  auto claim = [&](uint32_t pg, const std::string& what, bool shared = false) {
    if (pg >= pageCount) {
      problem(what + " refers to page " + std::to_string(pg) + " beyond the file end");
      return;
    }
    auto [it, fresh] = claims.emplace(pg, what);
    if (!fresh && !(shared && it->second == what))
      problem("page " + std::to_string(pg) + " is used both as " + it->second + " and as " + what);
  };
  claim(0, "the header");
  claim(kGlobalMapPage, "the global usage map");

  std::vector<uint32_t> mapPages;
  auto globalBits = readUsageMap(packRowPointer(kGlobalMapPage, 0), &mapPages);
  std::set<uint32_t> freeSet;
  if (!globalBits.ok()) {
    problem("global usage map: " + globalBits.status().message());
  } else {
    for (uint32_t pg : *globalBits)
      if (pg < pageCount) freeSet.insert(pg);
  }
  for (uint32_t mp : mapPages) claim(mp, "a map page of the global usage map");

  auto catalog = readCatalog();
  if (!catalog.ok()) {
    problem("catalogue: " + catalog.status().message());
    return problems;
  }
  std::set<uint32_t> lvalRows;  // row pointers of long values, each once
  std::vector<CatalogEntry> tables;
  tables.push_back(CatalogEntry{"MSysObjects", kCatalogPage, 1, 0x80000000});
  for (auto& e : *catalog)
    if (e.type == 1 && e.tdefPage != kCatalogPage) tables.push_back(e);

  for (const CatalogEntry& e : tables) {
    const std::string tn = "table " + e.name;
    auto def = readTableDef(e.tdefPage);
    if (!def.ok()) {
      problem(tn + ": " + def.status().message());
      continue;
    }
    TableDef& t = *def;
    t.name = e.name;
    for (uint32_t next = e.tdefPage; next != 0;) {
      claim(next, "the definition of " + tn);
      const uint8_t* p = pager_->page(next);
      next = p ? get32(p + kTdefNextPageOffset) : 0;
    }
    for (const Index& ix : t.indexes)
      if (ix.firstPage >= pageCount) problem(tn + ": index " + ix.name + " starts beyond the file end");

    std::vector<uint32_t> ownedMapPages, freeMapPages;
    auto owned = readUsageMap(t.ownedMap, &ownedMapPages);
    auto withSpace = readUsageMap(t.freeMap, &freeMapPages);
    if (!owned.ok() || !withSpace.ok()) {
      problem(tn + ": usage map: " + (owned.ok() ? withSpace.status() : owned.status()).message());
      continue;
    }
    claim(t.ownedMap >> 8, "usage map rows", true);
    claim(t.freeMap >> 8, "usage map rows", true);
    for (uint32_t mp : ownedMapPages) claim(mp, "a map page of " + tn);
    for (uint32_t mp : freeMapPages) claim(mp, "a map page of " + tn);
    for (uint32_t pg : *withSpace)
      if (!std::binary_search(owned->begin(), owned->end(), pg))
        problem(tn + ": page " + std::to_string(pg) + " is in its free-space map but not its own");

    uint32_t liveRows = 0;
    std::set<uint32_t> targets;    // rows reached through overflow pointers
    std::set<uint32_t> movedRows;  // rows flagged as moved
    for (uint32_t pg : *owned) {
      claim(pg, "a data page of " + tn);
      const uint8_t* p = pager_->page(pg);
      if (!p) continue;
      if (p[0] != kPageData || get32(p + kDataOwnerOffset) != t.tdefPage) {
        if (!(p[0] == kPageData && get32(p + kDataOwnerOffset) == kLongValueOwner))
          problem(tn + ": page " + std::to_string(pg) + " in its map is not one of its data pages");
        continue;
      }
      uint16_t n = page::rowCount(p);
      size_t used = 0;
      for (unsigned i = 0; i < n; ++i) {
        page::SlotInfo s;
        if (!page::slot(p, i, s)) {
          problem(tn + ": page " + std::to_string(pg) + " slot " + std::to_string(i) + " has impossible bounds");
          continue;
        }
        used += s.length;
        if (s.deleted()) continue;
        const uint8_t* row = p + s.start;
        size_t len = s.length;
        if (s.pointer()) {
          if (len < 4) {
            problem(tn + ": a short overflow pointer on page " + std::to_string(pg));
            continue;
          }
          uint32_t tp = get24(row + 1);
          uint8_t tslot = row[0];
          const uint8_t* tpage = pager_->page(tp);
          page::SlotInfo ts;
          if (!tpage || tpage[0] != kPageData || get32(tpage + kDataOwnerOffset) != t.tdefPage ||
              !page::slot(tpage, tslot, ts) || !std::binary_search(owned->begin(), owned->end(), tp)) {
            problem(tn + ": an overflow pointer on page " + std::to_string(pg) + " leads nowhere");
          } else if (!ts.moved()) {
            problem(tn + ": an overflow pointer on page " + std::to_string(pg) + " leads to a row not flagged as moved");
          } else if (!targets.insert(packRowPointer(tp, tslot)).second) {
            problem(tn + ": two pointers lead to one row on page " + std::to_string(tp));
          }
          continue;  // the moved row is checked where it stands
        }
        ++liveRows;
        if (s.moved()) movedRows.insert(packRowPointer(pg, uint8_t(i)));
        std::vector<Field> fields;
        Status cs = crackRow(t, row, len, fields);
        if (!cs.ok()) {
          problem(tn + ": a row on page " + std::to_string(pg) + ": " + cs.message());
          continue;
        }
        for (size_t k = 0; k < fields.size(); ++k) {
          const Column& c = t.columns[k];
          const Field& f = fields[k];
          if (!c.longValue() || !f.present) continue;
          if (f.size < kLongValueHeaderSize) {
            problem(tn + ": column " + c.name + " holds a short long-value header");
            continue;
          }
          uint32_t word = get32(f.data);
          if (!(word & kLongValueInline)) {
            uint32_t ptr = get32(f.data + 4);
            for (int hops = 0; ptr != 0; ++hops) {
              const uint8_t* lp = pager_->page(ptr >> 8);
              if (!lp || lp[0] != kPageData || get32(lp + kDataOwnerOffset) != kLongValueOwner) {
                problem(tn + ": column " + c.name + " points to page " + std::to_string(ptr >> 8) +
                        ", not a long-value page");
                break;
              }
              claim(ptr >> 8, "long values", true);
              if (!lvalRows.insert(ptr).second) problem("a long-value row is used twice");
              if (word & kLongValueSingle) break;
              page::SlotInfo ls;
              if (!page::slot(lp, uint8_t(ptr), ls) || ls.length < 4 || hops > 1 << 20) {
                problem(tn + ": a broken long-value chain");
                break;
              }
              ptr = get32(lp + ls.start);
            }
          }
          if (auto v = decodeValue(c, f); !v.ok()) problem(tn + ": column " + c.name + ": " + v.status().message());
        }
      }
      size_t computedFree = kPageSize - kDataSlotsOffset - 2 * size_t(n) - used;
      if (get16(p + kDataFreeSpaceOffset) != computedFree)
        problem(tn + ": page " + std::to_string(pg) + " records " + std::to_string(get16(p + kDataFreeSpaceOffset)) +
                " free bytes but has " + std::to_string(computedFree));
    }
    for (uint32_t m : movedRows)
      if (!targets.count(m)) problem(tn + ": a moved row on page " + std::to_string(m >> 8) + " has no pointer to it");
    // Access does not keep the counts of its system tables up to date.
    if (liveRows != t.rowCount && t.tableType == kTableTypeUser)
      problem(tn + ": its definition counts " + std::to_string(t.rowCount) + " rows but " + std::to_string(liveRows) +
              " are stored");
  }

  for (auto& [pg, what] : claims)
    if (freeSet.count(pg)) problem("page " + std::to_string(pg) + " is in use as " + what + " but marked free");
  return problems;
}

}  // namespace jet
