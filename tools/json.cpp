#include "tools/json.h"

#include <cstdlib>
#include <cstring>

namespace jsonl {

namespace {

struct Parser {
  const std::string& t;
  size_t i = 0;
  std::string error;

  void ws() {
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\r' || t[i] == '\n')) ++i;
  }
  bool fail(const std::string& m) {
    if (error.empty()) error = m + " at character " + std::to_string(i + 1);
    return false;
  }
  static void utf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out += char(cp);
    } else if (cp < 0x800) {
      out += char(0xC0 | (cp >> 6));
      out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += char(0xE0 | (cp >> 12));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    } else {
      out += char(0xF0 | (cp >> 18));
      out += char(0x80 | ((cp >> 12) & 0x3F));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    }
  }
  bool hex4(unsigned& v) {
    if (i + 4 > t.size()) return fail("short \\u escape");
    v = 0;
    for (int k = 0; k < 4; ++k) {
      char c = t[i++];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= unsigned(c - '0');
      else if (c >= 'a' && c <= 'f') v |= unsigned(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') v |= unsigned(c - 'A' + 10);
      else return fail("bad \\u escape");
    }
    return true;
  }
  bool string(std::string& out) {
    if (i >= t.size() || t[i] != '"') return fail("expected a string");
    ++i;
    while (i < t.size() && t[i] != '"') {
      char c = t[i++];
      if (c != '\\') {
        out += c;
        continue;
      }
      if (i >= t.size()) return fail("unfinished escape");
      char e = t[i++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          unsigned v;
          if (!hex4(v)) return false;
          if (v >= 0xD800 && v <= 0xDBFF && i + 1 < t.size() && t[i] == '\\' && t[i + 1] == 'u') {
            i += 2;
            unsigned lo;
            if (!hex4(lo)) return false;
            if (lo >= 0xDC00 && lo <= 0xDFFF) v = 0x10000 + ((v - 0xD800) << 10) + (lo - 0xDC00);
            else v = 0xFFFD;
          } else if (v >= 0xD800 && v <= 0xDFFF) {
            v = 0xFFFD;
          }
          utf8(out, v);
          break;
        }
        default: return fail("unknown escape");
      }
    }
    if (i >= t.size()) return fail("unfinished string");
    ++i;
    return true;
  }
  bool scalar(Scalar& v) {
    ws();
    if (i >= t.size()) return fail("expected a value");
    char c = t[i];
    if (c == '"') {
      v.kind = Scalar::Kind::kString;
      return string(v.s);
    }
    if (t.compare(i, 4, "null") == 0) {
      i += 4;
      v.kind = Scalar::Kind::kNull;
      return true;
    }
    if (t.compare(i, 4, "true") == 0) {
      i += 4;
      v.kind = Scalar::Kind::kBool;
      v.b = true;
      return true;
    }
    if (t.compare(i, 5, "false") == 0) {
      i += 5;
      v.kind = Scalar::Kind::kBool;
      return true;
    }
    size_t start = i;
    if (c == '-') ++i;
    while (i < t.size() && std::strchr("0123456789.eE+-", t[i])) ++i;
    std::string num = t.substr(start, i - start);
    if (num.empty() || num == "-") return fail("expected a value");
    char* end = nullptr;
    if (num.find_first_of(".eE") == std::string::npos) {
      errno = 0;
      v.i = std::strtoll(num.c_str(), &end, 10);
      if (*end == 0 && errno == 0) {
        v.kind = Scalar::Kind::kInt;
        return true;
      }
    }
    v.d = std::strtod(num.c_str(), &end);
    if (*end != 0) return fail("bad number");
    v.kind = Scalar::Kind::kReal;
    return true;
  }
};

}  // namespace

bool parse(const std::string& line, Record& out, std::string& error) {
  Parser p{line, 0, {}};
  out = Record{};
  p.ws();
  if (p.i >= line.size() || (line[p.i] != '{' && line[p.i] != '[')) {
    error = "expected a JSON object or array";
    return false;
  }
  out.isArray = line[p.i] == '[';
  char close = out.isArray ? ']' : '}';
  ++p.i;
  p.ws();
  if (p.i < line.size() && line[p.i] == close) {
    ++p.i;
  } else {
    for (;;) {
      std::string key;
      p.ws();
      if (!out.isArray) {
        if (!p.string(key)) break;
        p.ws();
        if (p.i >= line.size() || line[p.i] != ':') {
          p.fail("expected ':'");
          break;
        }
        ++p.i;
      }
      Scalar v;
      if (!p.scalar(v)) break;
      out.members.emplace_back(std::move(key), std::move(v));
      p.ws();
      if (p.i < line.size() && line[p.i] == ',') {
        ++p.i;
        continue;
      }
      if (p.i < line.size() && line[p.i] == close) {
        ++p.i;
        break;
      }
      p.fail(std::string("expected ',' or '") + close + "'");
      break;
    }
  }
  p.ws();
  if (p.error.empty() && p.i != line.size()) p.fail("unexpected text after the value");
  error = p.error;
  return error.empty();
}

void appendString(std::string& out, const std::string& s) {
  out += '"';
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += char(c);
        }
    }
  }
  out += '"';
}

static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64(const std::string& in) {
  std::string out;
  size_t i = 0;
  for (; i + 2 < in.size(); i += 3) {
    unsigned v = (unsigned(uint8_t(in[i])) << 16) | (unsigned(uint8_t(in[i + 1])) << 8) | uint8_t(in[i + 2]);
    for (int k = 3; k >= 0; --k) out += kAlphabet[(v >> (6 * k)) & 63];
  }
  if (i + 1 == in.size()) {
    unsigned v = unsigned(uint8_t(in[i])) << 16;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += "==";
  } else if (i + 2 == in.size()) {
    unsigned v = (unsigned(uint8_t(in[i])) << 16) | (unsigned(uint8_t(in[i + 1])) << 8);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

bool unbase64(const std::string& text, std::string& out) {
  out.clear();
  unsigned v = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=') break;
    const char* p = std::strchr(kAlphabet, c);
    if (!p || c == 0) return false;
    v = (v << 6) | unsigned(p - kAlphabet);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += char((v >> bits) & 0xFF);
    }
  }
  return true;
}

}  // namespace jsonl
