#include "platform/jet/header.h"

#include <cmath>
#include <cstring>

#include "platform/jet/format.h"
#include "platform/jet/text.h"

namespace jet {

using namespace format;

namespace {
const uint8_t kHeaderKey[4] = {0xC7, 0xDA, 0x39, 0x6B};
const char kMagic[] = "Standard Jet DB";

// The stored password is masked twice: by the header's RC4 stream and by the
// integer part of the creation date, repeated over the 40 bytes.
void applyDateMask(uint8_t* pw, double date) {
  uint8_t mask[4];
  put32(mask, uint32_t(int32_t(std::floor(date))));
  for (uint32_t i = 0; i < kHeaderPasswordSize; ++i) pw[i] ^= mask[i % 4];
}
}  // namespace

void rc4(const uint8_t* key, size_t keyLength, uint8_t* data, size_t n) {
  uint8_t s[256];
  for (int i = 0; i < 256; ++i) s[i] = uint8_t(i);
  uint8_t j = 0;
  for (int i = 0; i < 256; ++i) {
    j = uint8_t(j + s[i] + key[i % keyLength]);
    std::swap(s[i], s[j]);
  }
  uint8_t a = 0, b = 0;
  for (size_t k = 0; k < n; ++k) {
    a = uint8_t(a + 1);
    b = uint8_t(b + s[a]);
    std::swap(s[a], s[b]);
    data[k] ^= s[uint8_t(s[a] + s[b])];
  }
}

Result<Header> decodeHeader(const uint8_t* raw) {
  if (raw[0] != kPageHeader || std::memcmp(raw + 4, kMagic, sizeof kMagic) != 0)
    return Status::Corruption("not an Access database (bad magic on page 0)");
  if (raw[kHeaderVersionOffset] != kVersionJet4)
    return Status::NotSupported("not a Jet 4 (Access 2000-2003) database: format version " +
                                std::to_string(raw[kHeaderVersionOffset]));
  uint8_t page[kPageSize];
  std::memcpy(page, raw, kPageSize);
  rc4(kHeaderKey, 4, page + kHeaderEncryptedOffset, kHeaderEncryptedSize);

  Header h;
  h.creationDate = getDouble(page + kHeaderCreationDateOffset);
  h.pagesEncrypted = get32(page + kHeaderDatabaseKeyOffset) != 0;
  uint8_t pw[kHeaderPasswordSize];
  std::memcpy(pw, page + kHeaderPasswordOffset, kHeaderPasswordSize);
  if (std::isfinite(h.creationDate) && std::fabs(h.creationDate) < 2e9) applyDateMask(pw, h.creationDate);
  std::u16string units;
  for (uint32_t i = 0; i + 1 < kHeaderPasswordSize; i += 2) {
    char16_t u = char16_t(get16(pw + i));
    if (u == 0) break;
    units.push_back(u);
  }
  h.password = utf16ToUtf8(units);
  return h;
}

Result<Bytes> encodeHeader(const std::string& password, double creationDate) {
  std::u16string pw16 = utf8ToUtf16(password);
  if (pw16.size() > kHeaderPasswordSize / 2)
    return Status::InvalidArgument("a database password has at most 20 characters");
  Bytes page(kPageSize, 0);
  uint8_t* p = page.data();
  p[0] = kPageHeader;
  p[1] = 0x01;
  std::memcpy(p + 4, kMagic, sizeof kMagic);
  p[kHeaderVersionOffset] = kVersionJet4;
  // The fields Access writes into the encrypted block of every new file.
  const uint8_t fixed[] = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                           0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
  std::memcpy(p + kHeaderEncryptedOffset, fixed, sizeof fixed);
  put16(p + kHeaderCodePageOffset, 0x04E4);
  put32(p + kHeaderSortOrderOffset, 0x0409);  // "General" sort order
  putDouble(p + kHeaderCreationDateOffset, creationDate);
  uint8_t* pwBytes = p + kHeaderPasswordOffset;
  for (size_t i = 0; i < pw16.size(); ++i) put16(pwBytes + 2 * i, uint16_t(pw16[i]));
  applyDateMask(pwBytes, creationDate);
  // Just past the encrypted block: the engine's version text.
  put32(p + 0x98, 0x0654);
  std::memcpy(p + 0x9C, "4.0", 4);
  rc4(kHeaderKey, 4, p + kHeaderEncryptedOffset, kHeaderEncryptedSize);
  return page;
}

}  // namespace jet
