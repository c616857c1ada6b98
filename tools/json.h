// The small JSON subset the jet tool reads and writes: one object or array
// per line, holding strings, numbers, booleans and null.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace jsonl {

struct Scalar {
  enum class Kind { kNull, kBool, kInt, kReal, kString } kind = Kind::kNull;
  bool b = false;
  long long i = 0;
  double d = 0;
  std::string s;
};

// One parsed line: named members of an object, or unnamed ones of an array.
struct Record {
  bool isArray = false;
  std::vector<std::pair<std::string, Scalar>> members;
};

// Parses one object or array of scalars.  On failure returns false and
// says why in `error`.
bool parse(const std::string& line, Record& out, std::string& error);

// Appends `s` as a JSON string literal.
void appendString(std::string& out, const std::string& s);

std::string base64(const std::string& bytes);
bool unbase64(const std::string& text, std::string& bytes);

}  // namespace jsonl
