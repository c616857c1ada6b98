#include "platform/xls/compound.h"

#include <cassert>
#include <cstring>
#include <string_view>

namespace xls::compound {
namespace {

constexpr uint32_t kFreeSect = 0xFFFFFFFF;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFatSect = 0xFFFFFFFD;
constexpr uint32_t kDifSect = 0xFFFFFFFC;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::size_t kIdsPerSector = kSectorSize / 4;  // 128
constexpr std::size_t kHeaderDifat = 109;

void put16(std::vector<uint8_t>& b, std::size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::size_t ceilDiv(std::size_t a, std::size_t b) { return (a + b - 1) / b; }

// One 128-byte directory entry at `at`.
void entry(std::vector<uint8_t>& b, std::size_t at, std::u16string_view name, uint8_t type, uint32_t child,
           uint32_t start, uint64_t size) {
  for (std::size_t i = 0; i < name.size(); ++i) put16(b, at + 2 * i, name[i]);
  put16(b, at + 0x40, static_cast<uint16_t>(2 * (name.size() + 1)));
  b[at + 0x42] = type;
  b[at + 0x43] = 1;  // black: a tree of one node per level is a valid red-black tree
  put32(b, at + 0x44, kNoStream);
  put32(b, at + 0x48, kNoStream);
  put32(b, at + 0x4C, child);
  put32(b, at + 0x74, start);
  put32(b, at + 0x78, static_cast<uint32_t>(size));
  put32(b, at + 0x7C, static_cast<uint32_t>(size >> 32));
}

}  // namespace

Frame frameFor(std::size_t streamSize) {
  assert(streamSize >= kMinStreamSize);
  const std::size_t n = ceilDiv(streamSize, kSectorSize);  // stream sectors 0 .. n-1
  const std::size_t dir = n;                                // then one directory sector
  // The FAT covers every sector, its own and the DIFAT's included; find the
  // smallest FAT and DIFAT that do.
  std::size_t fat = 1, difat = 0;
  for (;;) {
    std::size_t total = n + 1 + fat + difat;
    std::size_t f = ceilDiv(total, kIdsPerSector);
    std::size_t d = f > kHeaderDifat ? ceilDiv(f - kHeaderDifat, kIdsPerSector - 1) : 0;
    if (f == fat && d == difat) break;
    fat = f;
    difat = d;
  }
  const std::size_t fatStart = dir + 1;
  const std::size_t difatStart = fatStart + fat;
  const std::size_t total = difatStart + difat;

  Frame frame;
  frame.padding = n * kSectorSize - streamSize;

  std::vector<uint8_t>& h = frame.header;
  h.assign(kSectorSize, 0);
  static const uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::memcpy(h.data(), kSignature, 8);
  put16(h, 0x18, 0x003E);  // minor version
  put16(h, 0x1A, 0x0003);  // major version 3: 512-byte sectors
  put16(h, 0x1C, 0xFFFE);  // little-endian
  put16(h, 0x1E, 9);       // sectors of 2^9 bytes
  put16(h, 0x20, 6);       // mini sectors of 2^6 bytes
  put32(h, 0x2C, static_cast<uint32_t>(fat));
  put32(h, 0x30, static_cast<uint32_t>(dir));
  put32(h, 0x38, static_cast<uint32_t>(kMinStreamSize));  // mini stream cutoff
  put32(h, 0x3C, kEndOfChain);                             // no mini FAT
  put32(h, 0x44, difat ? static_cast<uint32_t>(difatStart) : kEndOfChain);
  put32(h, 0x48, static_cast<uint32_t>(difat));
  for (std::size_t i = 0; i < kHeaderDifat; ++i)
    put32(h, 0x4C + 4 * i, i < fat ? static_cast<uint32_t>(fatStart + i) : kFreeSect);

  std::vector<uint8_t>& t = frame.trailer;
  t.assign((1 + fat + difat) * kSectorSize, 0);
  // The directory: the root storage holding the one stream, and two free entries.
  entry(t, 0, u"Root Entry", 5, 1, kEndOfChain, 0);
  entry(t, 128, u"Workbook", 2, kNoStream, 0, streamSize);
  for (std::size_t e = 2; e < 4; ++e) {
    put32(t, 128 * e + 0x44, kNoStream);
    put32(t, 128 * e + 0x48, kNoStream);
    put32(t, 128 * e + 0x4C, kNoStream);
  }
  // The FAT: the stream is one chain, the directory one of one sector.
  const std::size_t fatAt = kSectorSize;
  for (std::size_t s = 0; s < fat * kIdsPerSector; ++s) {
    uint32_t v = kFreeSect;
    if (s + 1 < n)
      v = static_cast<uint32_t>(s + 1);
    else if (s + 1 == n || s == dir)
      v = kEndOfChain;
    else if (s >= fatStart && s < difatStart)
      v = kFatSect;
    else if (s >= difatStart && s < total)
      v = kDifSect;
    put32(t, fatAt + 4 * s, v);
  }
  // The DIFAT sectors: the numbers of FAT sectors past the header's 109, 127
  // to a sector, each sector ending with the number of the next.
  const std::size_t difatAt = fatAt + fat * kSectorSize;
  for (std::size_t d = 0; d < difat; ++d) {
    std::size_t base = difatAt + d * kSectorSize;
    for (std::size_t i = 0; i < kIdsPerSector - 1; ++i) {
      std::size_t k = kHeaderDifat + d * (kIdsPerSector - 1) + i;
      put32(t, base + 4 * i, k < fat ? static_cast<uint32_t>(fatStart + k) : kFreeSect);
    }
    put32(t, base + 4 * (kIdsPerSector - 1), d + 1 < difat ? static_cast<uint32_t>(difatStart + d + 1) : kEndOfChain);
  }
  return frame;
}

}  // namespace xls::compound
