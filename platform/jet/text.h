// Text as Jet 4 stores it, and as the rest of the program wants it.
//
// The program speaks UTF-8; the file stores UTF-16LE ("UCS-2" in older
// notes), optionally in Jet's compressed form: the marker FF FE, then runs
// in which each character whose high byte is zero takes one byte, switched
// to and from two-byte runs by a 0x00 byte.  A character whose low byte is
// zero (U+4E00 is one) would read as a switch, so such text is never
// compressed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/jet/coding.h"

namespace jet {

// UTF-8 to UTF-16 code units and back.  Invalid UTF-8 becomes U+FFFD so that
// what the user typed never stops a write; unpaired surrogates read back the
// same way.
std::u16string utf8ToUtf16(std::string_view s);
std::string utf16ToUtf8(std::u16string_view s);

// Decodes a stored text value (compressed or not) to UTF-8.
std::string decodeText(const uint8_t* p, size_t n);
// The same, appended to `out`.
void appendDecodedText(std::string& out, const uint8_t* p, size_t n);

// Encodes UTF-16 text for storage; compresses when allowed and shorter.
Bytes encodeText(std::u16string_view s, bool allowCompression);

// Plain UTF-16LE bytes, as names in table definitions are stored.
Bytes encodeUtf16le(std::u16string_view s);

// Case-insensitive substring match as Jet's LIKE "%text%" compares: Latin
// letters A-Z fold to a-z, every other character must match exactly.
bool containsFolded(std::string_view haystackUtf8, std::string_view needleUtf8);

// The same match for one needle over many values, folding the needle once.
class FoldedNeedle {
 public:
  explicit FoldedNeedle(std::string_view needleUtf8);
  bool foundIn(std::string_view haystackUtf8);

 private:
  std::string needle_;
  std::string buffer_;
  bool fold_ = false;
};

}  // namespace jet
