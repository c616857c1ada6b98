// The database header on page 0: format version, password, creation date.
#pragma once

#include <string>

#include "platform/jet/coding.h"
#include "platform/jet/status.h"

namespace jet {

// RC4 as the header uses it: a stream cipher applied in place.
void rc4(const uint8_t* key, size_t keyLength, uint8_t* data, size_t n);

struct Header {
  double creationDate = 0;  // days since 1899-12-30, as Access stores dates
  std::string password;     // UTF-8
  bool pagesEncrypted = false;
};

// Decodes page 0.  REQUIRES: page holds format::kPageSize bytes.
// Fails with Corruption when the page is not a Jet 4 header.
Result<Header> decodeHeader(const uint8_t* page);

// Builds page 0 of a new, unencrypted Jet 4 database.
// Fails with InvalidArgument for a password of more than 20 UTF-16 units.
Result<Bytes> encodeHeader(const std::string& password, double creationDate);

}  // namespace jet
