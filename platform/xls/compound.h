// The OLE2 compound file an .xls is: a little file system of 512-byte
// sectors holding, for us, one stream named "Workbook".
//
// Layout (version 3): the 512-byte header, the stream's sectors one after
// the other from sector 0, one directory sector (the root entry and the
// stream), the FAT sectors, and, for streams past about 7 MB whose FAT
// needs more than the header's 109 sector numbers, DIFAT sectors.  A stream
// shorter than 4096 bytes would have to live in a mini stream; the writer
// pads the workbook stream to 4096 bytes instead (readers stop at the
// sheet's EOF record), so there is never a mini stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace xls::compound {

inline constexpr std::size_t kSectorSize = 512;
inline constexpr std::size_t kMinStreamSize = 4096;

// Everything of the file but the stream's own bytes: the header, which
// comes first, and what follows the stream's sectors (the stream is padded
// with zeros to a whole sector in between).
struct Frame {
  std::vector<uint8_t> header;
  std::size_t padding = 0;  // zero bytes after the stream
  std::vector<uint8_t> trailer;
};

// The frame around a stream named "Workbook" of `streamSize` bytes, which
// must be at least kMinStreamSize.
Frame frameFor(std::size_t streamSize);

}  // namespace xls::compound
