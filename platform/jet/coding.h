// Byte encoding rules of the Jet 4 file, in one place.
//
// Every integer in a Jet file is little-endian, with one exception that this
// engine never writes: index keys, which are big-endian so that they sort as
// bytes.  Values are read from and written to byte spans by these helpers
// only; no struct is ever copied to or from the disk.  Callers check bounds
// before they call (the helpers assert nothing), so a damaged file is caught
// by the caller's size checks and reported as a Status, never read past.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace jet {

using Bytes = std::vector<uint8_t>;

inline uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t get24(const uint8_t* p) { return uint32_t(p[0] | (p[1] << 8) | (p[2] << 16)); }
inline uint32_t get32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t get64(const uint8_t* p) { return uint64_t(get32(p)) | (uint64_t(get32(p + 4)) << 32); }
inline double getDouble(const uint8_t* p) {
  uint64_t u = get64(p);
  double d;
  std::memcpy(&d, &u, 8);
  return d;
}
inline float getFloat(const uint8_t* p) {
  uint32_t u = get32(p);
  float f;
  std::memcpy(&f, &u, 4);
  return f;
}

inline void put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void put24(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
}
inline void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline void put64(uint8_t* p, uint64_t v) {
  put32(p, uint32_t(v));
  put32(p + 4, uint32_t(v >> 32));
}
inline void putDouble(uint8_t* p, double d) {
  uint64_t u;
  std::memcpy(&u, &d, 8);
  put64(p, u);
}
inline void putFloat(uint8_t* p, float f) {
  uint32_t u;
  std::memcpy(&u, &f, 4);
  put32(p, u);
}

inline void append16(Bytes& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void append32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

// A row pointer ("data pointer") packs a page number into the upper three
// bytes and the row's slot number into the lowest byte.
inline uint32_t packRowPointer(uint32_t page, uint8_t row) { return (page << 8) | row; }

}  // namespace jet
