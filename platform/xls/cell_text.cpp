#include "platform/xls/cell_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace xls {

void appendNumberText(std::string& out, double v) {
  if (!std::isfinite(v)) {
    out += "#NUM!";
    return;
  }
  if (v == 0) {  // also -0
    out += '0';
    return;
  }
  char buf[40];
  // Most numbers in a shop's list are whole (quantities, phone numbers typed
  // as numbers): print them straight.
  if (std::fabs(v) < 1e15 && v == std::trunc(v)) {
    auto r = std::to_chars(buf, buf + sizeof buf, static_cast<int64_t>(v));
    out.append(buf, r.ptr);
    return;
  }
  // 15 significant digits, as "d.dddddddddddddde±XX".
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
  const char* p = buf;
  bool negative = *p == '-';
  if (negative) ++p;
  char digits[16];
  int nd = 0;
  for (; p < r.ptr && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits[nd++] = *p;
  // to_chars writes "e+XX" or "e-XX", without a terminating zero.
  int exponent = 0;
  if (p + 2 < r.ptr) {
    std::from_chars(p + 2, r.ptr, exponent);
    if (p[1] == '-') exponent = -exponent;
  }
  while (nd > 1 && digits[nd - 1] == '0') --nd;

  if (negative) out += '-';
  if (exponent >= 0 && (exponent < 15 || (exponent < 21 && nd <= exponent + 1))) {
    // Plain notation, the point after digit exponent+1 (or none for a
    // whole number, which every number past 10^15 is at this precision).
    for (int i = 0; i <= exponent; ++i) out += i < nd ? digits[i] : '0';
    if (nd > exponent + 1) {
      out += '.';
      out.append(digits + exponent + 1, digits + nd);
    }
  } else if (exponent < 0 && exponent >= -5) {
    out += "0.";
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out.append(digits, digits + nd);
  } else {
    out += digits[0];
    if (nd > 1) {
      out += '.';
      out.append(digits + 1, digits + nd);
    }
    out += exponent < 0 ? "E-" : "E+";
    int e = std::abs(exponent);
    if (e < 10) out += '0';
    auto er = std::to_chars(buf, buf + sizeof buf, e);
    out.append(buf, er.ptr);
  }
}

std::string numberText(double value) {
  std::string s;
  appendNumberText(s, value);
  return s;
}

}  // namespace xls
