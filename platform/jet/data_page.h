// Slots and rows of a data page (also used for long-value and map rows).
//
//   type 0x01 | 0x01 | free space (2) | owner (4) | 0 (4) | row count (2) |
//   row offsets (2 each, in slot order) ... free ... rows, slot 0 last byte
//   at the page end, each next slot's row just below the previous one.
//
// A slot's row runs from its offset up to the previous slot's offset (the
// page end for slot 0); readers compute lengths this way, so every change
// keeps rows in that order.  The top bits of an offset flag the slot (see
// format.h): deleted, a pointer to a moved row, or a moved row.
#pragma once

#include <cstdint>
#include <cstddef>

namespace jet::page {

struct SlotInfo {
  uint16_t flags = 0;  // the two top bits of the offset
  bool deleted() const { return (flags & 0xC000) == 0xC000; }
  bool pointer() const { return (flags & 0xC000) == 0x4000; }
  bool moved() const { return (flags & 0xC000) == 0x8000; }
  size_t start = 0;
  size_t length = 0;
};

uint16_t rowCount(const uint8_t* p);
// False when slot `i` does not exist or its bounds are impossible.
bool slot(const uint8_t* p, unsigned i, SlotInfo& out);
// Free bytes as the slots' lengths leave them.
size_t freeSpace(const uint8_t* p);
// True when a new row of n bytes (and its slot) fits.
bool fitsNew(const uint8_t* p, size_t n);

void init(uint8_t* p, uint32_t owner);
// Adds a row in a new slot; returns the slot.  REQUIRES: fitsNew(p, n).
unsigned insert(uint8_t* p, const uint8_t* data, size_t n, uint16_t flags);
// Gives slot i new bytes and flags and packs the page.  REQUIRES: the new
// bytes fit in freeSpace(p) plus the slot's old length.
void replace(uint8_t* p, unsigned i, const uint8_t* data, size_t n, uint16_t flags);
// True when every slot is deleted and empty.
bool empty(const uint8_t* p);

}  // namespace jet::page
