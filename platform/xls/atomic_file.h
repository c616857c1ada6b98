// Writing a file so that it is either all there or not changed at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/xls/status.h"

namespace xls {

struct Bytes {
  const uint8_t* data;
  std::size_t size;
};

// Writes the pieces, one after the other, to a temporary file in the
// target's folder, flushes it to the disk, and renames it over `path`.
// On any failure the temporary file is removed and a file already at
// `path` is left as it was.  A new file gets the permissions the umask
// allows (as any program's would); a replaced file keeps its own.
Status writeFileAtomically(const std::string& path, std::span<const Bytes> pieces);

}  // namespace xls
