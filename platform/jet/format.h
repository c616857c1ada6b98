// Constants of the Jet 4 (Access 2000/2002/2003) file layout.
//
// FORMAT.md beside this file draws each structure byte by byte; the names
// here follow it.  A file is a sequence of 4096-byte pages.  Page 0 holds the
// database header, page 1 the global usage map, page 2 the definition of the
// catalogue table MSysObjects.
#pragma once

#include <cstdint>

namespace jet::format {

inline constexpr uint32_t kPageSize = 4096;

enum PageType : uint8_t {
  kPageHeader = 0x00,
  kPageData = 0x01,
  kPageTableDef = 0x02,
  kPageIndexNode = 0x03,
  kPageIndexLeaf = 0x04,
  kPageUsageMap = 0x05,
};

inline constexpr uint32_t kGlobalMapPage = 1;
inline constexpr uint32_t kCatalogPage = 2;

// --- Page 0 ---
inline constexpr uint32_t kHeaderVersionOffset = 0x14;  // 1 = Jet 4
inline constexpr uint8_t kVersionJet4 = 0x01;
inline constexpr uint32_t kHeaderEncryptedOffset = 0x18;
inline constexpr uint32_t kHeaderEncryptedSize = 128;
inline constexpr uint32_t kHeaderCodePageOffset = 0x3C;
inline constexpr uint32_t kHeaderDatabaseKeyOffset = 0x3E;  // non-zero: pages are encrypted
inline constexpr uint32_t kHeaderPasswordOffset = 0x42;
inline constexpr uint32_t kHeaderPasswordSize = 40;         // 20 UTF-16 units
inline constexpr uint32_t kHeaderSortOrderOffset = 0x6E;
inline constexpr uint32_t kHeaderCreationDateOffset = 0x72;

// --- Data pages (also long-value pages and usage map pages of type 1) ---
inline constexpr uint32_t kDataFreeSpaceOffset = 2;
inline constexpr uint32_t kDataOwnerOffset = 4;      // tdef page, or "LVAL"
inline constexpr uint32_t kDataRowCountOffset = 12;
inline constexpr uint32_t kDataSlotsOffset = 14;
inline constexpr uint32_t kLongValueOwner = 0x4C41564C;  // "LVAL"
// Slot flags, as Access sets them and mdbtools and mdb-reader read them:
// both bits for a deleted row, 0x4000 alone for a 4-byte pointer to where
// the row moved, 0x8000 alone for the moved row itself.  Those readers skip
// the pointer and return the moved row where it now stands.
inline constexpr uint16_t kSlotFlags = 0xC000;
inline constexpr uint16_t kSlotDeleted = 0xC000;
inline constexpr uint16_t kSlotPointer = 0x4000;
inline constexpr uint16_t kSlotMoved = 0x8000;
inline constexpr uint16_t kSlotOffsetMask = 0x1FFF;
inline constexpr uint32_t kMaxRowsPerPage = 255;     // row numbers are one byte
// The largest row a page can hold: all of it but the header and one slot.
inline constexpr uint32_t kMaxRowSize = kPageSize - kDataSlotsOffset - 2;

// --- Table definition pages ---
inline constexpr uint32_t kTdefNextPageOffset = 4;
inline constexpr uint32_t kTdefLengthOffset = 8;
inline constexpr uint32_t kTdefRowCountOffset = 16;
inline constexpr uint32_t kTdefAutonumberOffset = 20;
inline constexpr uint32_t kTdefTableTypeOffset = 40;
inline constexpr uint32_t kTdefMaxColsOffset = 41;
inline constexpr uint32_t kTdefVarColsOffset = 43;
inline constexpr uint32_t kTdefColsOffset = 45;
inline constexpr uint32_t kTdefIndexCountOffset = 47;
inline constexpr uint32_t kTdefRealIndexCountOffset = 51;
inline constexpr uint32_t kTdefOwnedMapOffset = 55;
inline constexpr uint32_t kTdefFreeMapOffset = 59;
inline constexpr uint32_t kTdefBlockEnd = 63;
inline constexpr uint32_t kTdefRealIndexEntrySize = 12;
inline constexpr uint32_t kTdefColumnEntrySize = 25;
inline constexpr uint32_t kTdefRealIndexDefSize = 52;
inline constexpr uint32_t kTdefLogicalIndexDefSize = 28;
inline constexpr uint8_t kTableTypeUser = 0x4E;
inline constexpr uint8_t kTableTypeSystem = 0x53;

// Column flags in a column entry.
inline constexpr uint8_t kColumnFixed = 0x01;
inline constexpr uint8_t kColumnNullable = 0x02;
inline constexpr uint8_t kColumnAutoLong = 0x04;
inline constexpr uint8_t kColumnAutoGuid = 0x40;
inline constexpr uint8_t kColumnCompressedUnicode = 0x01;  // in the misc flags byte

// --- Usage maps ---
inline constexpr uint8_t kMapInline = 0x00;
inline constexpr uint8_t kMapReference = 0x01;
inline constexpr uint32_t kMapPageBits = (kPageSize - 4) * 8;  // pages covered by one type-5 page

// --- Long values (memo and OLE) ---
inline constexpr uint32_t kLongValueHeaderSize = 12;
inline constexpr uint32_t kLongValueInline = 0x80000000;
inline constexpr uint32_t kLongValueSingle = 0x40000000;
inline constexpr uint32_t kLongValueLengthMask = 0x3FFFFFFF;
// Text longer than this many characters is stored uncompressed, as Access does.
inline constexpr uint32_t kMaxCompressedMemoChars = 1024;

}  // namespace jet::format
