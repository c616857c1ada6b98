// The inside of the writer: a sheet's shared strings and cells as they are
// collected, and the BIFF8 workbook stream made of them.  Not for callers
// outside platform/xls (and its tests); see writer.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/xls/status.h"

namespace xls::biff {

inline constexpr std::size_t kMaxRows = 65536;
inline constexpr std::size_t kMaxColumns = 256;
inline constexpr std::size_t kMaxCellChars = 32767;  // UTF-16 code units, as Excel counts
inline constexpr std::size_t kMaxRecordData = 8224;  // BIFF8: longer data goes on in CONTINUE records

// Record types the writer and its tests name.
enum RecordType : uint16_t {
  kBof = 0x0809,
  kEof = 0x000A,
  kBoundSheet = 0x0085,
  kSst = 0x00FC,
  kExtSst = 0x00FF,
  kContinue = 0x003C,
  kLabelSst = 0x00FD,
  kRow = 0x0208,
  kDbCell = 0x00D7,
  kIndex = 0x020B,
  kDimensions = 0x0200,
  kFilePass = 0x002F,
};

// UTF-8 to UTF-16 code units; false for text that is not valid UTF-8
// (overlong forms, surrogates and values past U+10FFFF included).
bool utf8ToUtf16(std::string_view in, std::u16string& out);

// One sheet's text as the writer collects it: each distinct text once in
// the shared string table, and for each cell its column and string.
class SheetContent {
 public:
  SheetContent();

  // Adds a row; the content is unchanged when it is refused.  Empty texts
  // are left out: an empty cell reads as empty text everywhere.
  template <class Text>
  Status addRow(const Text* cells, std::size_t count);

  std::size_t rowCount() const { return rowEnds_.size(); }
  std::size_t columnCount() const { return columns_; }

  // The whole workbook stream: globals, then the one worksheet.
  std::vector<uint8_t> buildWorkbook(const std::u16string& sheetName) const;

  struct Cell {
    uint16_t column;
    uint32_t string;
  };
  struct String {
    std::size_t utf8Begin;   // in utf8_, for finding repeats
    uint32_t utf8Length;
    std::size_t charsBegin;  // in chars_: one byte per character when compressed, else two
    uint16_t length;         // in UTF-16 code units
    bool compressed;         // every character below U+0100, stored as one byte
    uint16_t width;          // display width, CJK characters counting two
  };
  const std::vector<String>& strings() const { return strings_; }

 private:
  Status addText(std::string_view text, std::size_t row, std::size_t column, uint32_t* index);
  uint32_t find(std::string_view text, std::size_t hash) const;
  void grow();

  std::size_t columns_ = 0;
  std::vector<Cell> cells_;
  std::vector<uint32_t> rowEnds_;  // where each row's cells end in cells_
  std::vector<String> strings_;
  std::vector<std::size_t> hashes_;  // one per string
  std::vector<uint32_t> slots_;      // open addressing: string index + 1, or 0
  std::string utf8_;
  std::string chars_;
  std::vector<uint16_t> columnWidths_;
  std::u16string scratch_;
};

// The sheet name as a sheet tab allows it: 1 to 31 characters, none of
// : \ / ? * [ ], not starting or ending with an apostrophe.
Result<std::u16string> checkSheetName(const std::string& name);

}  // namespace xls::biff
