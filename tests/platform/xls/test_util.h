// Helpers of the spreadsheet tests: temporary folders, the input files
// xlwt makes, the outside readers (xlrd, ssconvert), and an independent
// reading of the compound file and BIFF records we write, from the format
// documentation rather than from our writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/Files.h"

namespace xlstest {

using Rows = std::vector<std::vector<std::string>>;

using testfiles::readFile;
using testfiles::TempDir;
using testfiles::writeFile;

bool exists(const std::string& path);
std::vector<std::string> filesIn(const std::string& folder);

// Runs a shell command; returns its exit status and fills `output` with
// what it printed (stdout and stderr).
int run(const std::string& command, std::string* output = nullptr);
std::string shellQuote(const std::string& s);

// Makes the xlwt-written input files (see make_inputs.py) in `folder`.
void makeInputs(const std::string& folder);

// Checks with xlrd that the first sheet of `path` is named `sheetName` and
// holds exactly `rows` (trailing empty cells aside), every non-empty cell a
// text cell, and that xlrd reported no inconsistency in the file.  Returns
// an empty string when all is well, else what is wrong.
std::string xlrdMismatch(const std::string& path, const std::string& sheetName, const Rows& rows);

// The sheet as ssconvert (Gnumeric) reads it, through a CSV file.
Rows ssconvertRows(const std::string& path, std::string* log = nullptr);
Rows parseCsv(const std::string& text);

// `rows` with every row cut after its last non-empty cell and empty rows
// at the end dropped: what a reader that knows no column count returns.
Rows trimmed(Rows rows);

// ---- The compound file, read by the book.
struct Compound {
  std::vector<std::string> problems;  // inconsistencies found; none for a sound file
  std::vector<std::string> names;     // directory entries in use
  std::vector<uint8_t> workbook;      // the stream named "Workbook"
  uint32_t fatSectors = 0, difatSectors = 0;
};
Compound readCompound(const std::string& fileBytes);

// ---- BIFF records.
struct Record {
  uint16_t type;
  std::size_t pos;  // of the record's header in the stream
  std::vector<uint8_t> data;
};
// The records of the substream starting at `from`, up to and with its EOF.
std::vector<Record> substream(const std::vector<uint8_t>& stream, std::size_t from);
const Record* findRecord(const std::vector<Record>& records, uint16_t type);
uint16_t u16(const std::vector<uint8_t>& d, std::size_t at);
uint32_t u32(const std::vector<uint8_t>& d, std::size_t at);

// The shared string table read from the SST record and its CONTINUE
// records, keeping where every string starts and where it was split.
struct SstString {
  std::u16string text;
  bool compressed;                 // as its header says
  std::size_t streamPos;           // of its header
  std::size_t offsetInRecord;      // of its header, from its record's header
  std::vector<bool> piecesCompressed;  // the flags of each CONTINUE piece of its characters
  std::vector<std::size_t> splitAt;    // characters before each of those pieces
};
struct Sst {
  std::string problem;  // empty when the table reads cleanly
  uint32_t total = 0, unique = 0;
  std::vector<SstString> strings;
};
Sst readSst(const std::vector<Record>& globals);

std::string utf8(const std::u16string& s);

}  // namespace xlstest
