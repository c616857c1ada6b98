// One column value of a row, as the engine hands it out and takes it in.
#pragma once

#include <cstdint>
#include <string>

namespace jet {

struct Value {
  enum class Kind : uint8_t {
    kNull,
    kBool,
    kInt,       // Byte, Integer, Long Integer
    kFloat,     // Single, Double
    kCurrency,  // `i` holds ten-thousandths
    kDateTime,  // `d` holds days since 1899-12-30
    kText,      // `s` holds UTF-8
    kBinary,    // `s` holds the bytes
    kGuid,      // `s` holds "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
    kNumeric,   // `s` holds the decimal text
  };
  Kind kind = Kind::kNull;
  bool b = false;
  int64_t i = 0;
  double d = 0;
  std::string s;

  static Value null() { return {}; }
  static Value boolean(bool v) { Value x; x.kind = Kind::kBool; x.b = v; return x; }
  static Value integer(int64_t v) { Value x; x.kind = Kind::kInt; x.i = v; return x; }
  static Value real(double v) { Value x; x.kind = Kind::kFloat; x.d = v; return x; }
  static Value text(std::string v) { Value x; x.kind = Kind::kText; x.s = std::move(v); return x; }
  static Value binary(std::string v) { Value x; x.kind = Kind::kBinary; x.s = std::move(v); return x; }
  static Value dateTime(double v) { Value x; x.kind = Kind::kDateTime; x.d = v; return x; }
  static Value currency(int64_t v) { Value x; x.kind = Kind::kCurrency; x.i = v; return x; }

  bool isNull() const { return kind == Kind::kNull; }
  // The value as text: empty for null, the text itself for text.
  std::string asText() const;
  bool operator==(const Value& o) const;
};

}  // namespace jet
