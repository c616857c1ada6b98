#include "platform/jet/data_page.h"

#include <cstring>
#include <vector>

#include "platform/jet/coding.h"
#include "platform/jet/format.h"

namespace jet::page {

using namespace format;

uint16_t rowCount(const uint8_t* p) { return get16(p + kDataRowCountOffset); }

bool slot(const uint8_t* p, unsigned i, SlotInfo& out) {
  uint16_t n = rowCount(p);
  if (i >= n || kDataSlotsOffset + 2 * size_t(n) > kPageSize) return false;
  uint16_t raw = get16(p + kDataSlotsOffset + 2 * i);
  size_t start = raw & kSlotOffsetMask;
  size_t end = i == 0 ? kPageSize : (get16(p + kDataSlotsOffset + 2 * (i - 1)) & kSlotOffsetMask);
  if (start < kDataSlotsOffset + 2 * size_t(n) || end > kPageSize || start > end) return false;
  out.flags = raw & kSlotFlags;
  out.start = start;
  out.length = end - start;
  return true;
}

static size_t lowestStart(const uint8_t* p) {
  uint16_t n = rowCount(p);
  size_t low = kPageSize;
  for (unsigned i = 0; i < n; ++i) {
    size_t s = get16(p + kDataSlotsOffset + 2 * i) & kSlotOffsetMask;
    if (s < low) low = s;
  }
  return low;
}

size_t freeSpace(const uint8_t* p) {
  size_t used = kDataSlotsOffset + 2 * size_t(rowCount(p));
  size_t low = lowestStart(p);
  return low > used ? low - used : 0;
}

bool fitsNew(const uint8_t* p, size_t n) { return rowCount(p) < kMaxRowsPerPage && freeSpace(p) >= n + 2; }

static void storeFreeSpace(uint8_t* p) { put16(p + kDataFreeSpaceOffset, uint16_t(freeSpace(p))); }

void init(uint8_t* p, uint32_t owner) {
  std::memset(p, 0, kPageSize);
  p[0] = kPageData;
  p[1] = 0x01;
  put32(p + kDataOwnerOffset, owner);
  storeFreeSpace(p);
}

unsigned insert(uint8_t* p, const uint8_t* data, size_t n, uint16_t flags) {
  unsigned i = rowCount(p);
  size_t start = lowestStart(p) - n;
  std::memcpy(p + start, data, n);
  put16(p + kDataRowCountOffset, uint16_t(i + 1));
  put16(p + kDataSlotsOffset + 2 * i, uint16_t(start | flags));
  storeFreeSpace(p);
  return i;
}

void replace(uint8_t* p, unsigned target, const uint8_t* data, size_t n, uint16_t flags) {
  uint16_t count = rowCount(p);
  std::vector<uint8_t> rows;
  std::vector<size_t> lengths(count);
  std::vector<uint16_t> flagList(count);
  rows.reserve(kPageSize);
  for (unsigned i = 0; i < count; ++i) {
    SlotInfo s;
    if (i == target) {
      lengths[i] = n;
      flagList[i] = flags;
      rows.insert(rows.end(), data, data + n);
    } else if (slot(p, i, s)) {
      lengths[i] = s.length;
      flagList[i] = s.flags;
      rows.insert(rows.end(), p + s.start, p + s.start + s.length);
    } else {
      lengths[i] = 0;
      flagList[i] = kSlotDeleted;
    }
  }
  size_t at = kPageSize, from = 0;
  for (unsigned i = 0; i < count; ++i) {
    at -= lengths[i];
    std::memcpy(p + at, rows.data() + from, lengths[i]);
    from += lengths[i];
    put16(p + kDataSlotsOffset + 2 * i, uint16_t(at | flagList[i]));
  }
  std::memset(p + kDataSlotsOffset + 2 * size_t(count), 0, at - (kDataSlotsOffset + 2 * size_t(count)));
  storeFreeSpace(p);
}

bool empty(const uint8_t* p) {
  uint16_t n = rowCount(p);
  for (unsigned i = 0; i < n; ++i) {
    SlotInfo s;
    if (!slot(p, i, s)) return false;
    if (!s.deleted() || s.length != 0) return false;
  }
  return true;
}

}  // namespace jet::page
