#include "platform/jet/text.h"

#include <algorithm>
#include <cstring>

namespace jet {

std::u16string utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0;
  const size_t n = s.size();
  auto cont = [&](size_t k) { return k < n && (uint8_t(s[k]) & 0xC0) == 0x80; };
  while (i < n) {
    uint8_t c = uint8_t(s[i]);
    uint32_t cp;
    if (c < 0x80) {
      cp = c;
      i += 1;
    } else if ((c & 0xE0) == 0xC0 && cont(i + 1)) {
      cp = (uint32_t(c & 0x1F) << 6) | (uint8_t(s[i + 1]) & 0x3F);
      i += 2;
      if (cp < 0x80) cp = 0xFFFD;
    } else if ((c & 0xF0) == 0xE0 && cont(i + 1) && cont(i + 2)) {
      cp = (uint32_t(c & 0x0F) << 12) | (uint32_t(uint8_t(s[i + 1]) & 0x3F) << 6) |
           (uint8_t(s[i + 2]) & 0x3F);
      i += 3;
      if (cp < 0x800) cp = 0xFFFD;
    } else if ((c & 0xF8) == 0xF0 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
      cp = (uint32_t(c & 0x07) << 18) | (uint32_t(uint8_t(s[i + 1]) & 0x3F) << 12) |
           (uint32_t(uint8_t(s[i + 2]) & 0x3F) << 6) | (uint8_t(s[i + 3]) & 0x3F);
      i += 4;
      if (cp < 0x10000 || cp > 0x10FFFF) cp = 0xFFFD;
    } else {
      cp = 0xFFFD;
      i += 1;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(char16_t(0xD800 + (cp >> 10)));
      out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(char16_t(cp));
    }
  }
  return out;
}

static void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(char(cp));
  } else if (cp < 0x800) {
    out.push_back(char(0xC0 | (cp >> 6)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(char(0xE0 | (cp >> 12)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (cp >> 18)));
    out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  }
}

// Appends UTF-16 units one at a time, pairing surrogates as they arrive.
class Utf8Sink {
 public:
  explicit Utf8Sink(std::string& out) : out_(out) {}
  void unit(char16_t u) {
    if (pendingHigh_) {
      if (u >= 0xDC00 && u <= 0xDFFF) {
        appendUtf8(out_, 0x10000 + ((uint32_t(pendingHigh_) - 0xD800) << 10) + (u - 0xDC00));
        pendingHigh_ = 0;
        return;
      }
      appendUtf8(out_, 0xFFFD);
      pendingHigh_ = 0;
    }
    if (u >= 0xD800 && u <= 0xDBFF) {
      pendingHigh_ = u;
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      appendUtf8(out_, 0xFFFD);
    } else {
      appendUtf8(out_, u);
    }
  }
  void finish() {
    if (pendingHigh_) appendUtf8(out_, 0xFFFD);
    pendingHigh_ = 0;
  }

 private:
  std::string& out_;
  char16_t pendingHigh_ = 0;
};

std::string utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size() * 3);
  Utf8Sink sink(out);
  for (char16_t u : s) sink.unit(u);
  sink.finish();
  return out;
}

namespace {

// Writes UTF-8 straight into a buffer sized for the worst case (three bytes
// per UTF-16 unit), pairing surrogates as they come.
class Utf8Writer {
 public:
  explicit Utf8Writer(char* out) : begin_(out), out_(out) {}
  void unit(uint32_t u) {
    if (u < 0x80 && !high_) {
      *out_++ = char(u);
      return;
    }
    if (high_) {
      if (u >= 0xDC00 && u <= 0xDFFF) {
        uint32_t cp = 0x10000 + ((high_ - 0xD800) << 10) + (u - 0xDC00);
        *out_++ = char(0xF0 | (cp >> 18));
        *out_++ = char(0x80 | ((cp >> 12) & 0x3F));
        *out_++ = char(0x80 | ((cp >> 6) & 0x3F));
        *out_++ = char(0x80 | (cp & 0x3F));
        high_ = 0;
        return;
      }
      high_ = 0;
      put(0xFFFD);
    }
    if (u >= 0xD800 && u <= 0xDBFF) {
      high_ = u;
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      put(0xFFFD);
    } else {
      put(u);
    }
  }
  size_t finish() {
    if (high_) put(0xFFFD);
    high_ = 0;
    return size_t(out_ - begin_);
  }

 private:
  void put(uint32_t cp) {
    if (cp < 0x80) {
      *out_++ = char(cp);
    } else if (cp < 0x800) {
      *out_++ = char(0xC0 | (cp >> 6));
      *out_++ = char(0x80 | (cp & 0x3F));
    } else {
      *out_++ = char(0xE0 | (cp >> 12));
      *out_++ = char(0x80 | ((cp >> 6) & 0x3F));
      *out_++ = char(0x80 | (cp & 0x3F));
    }
  }
  char* begin_;
  char* out_;
  uint32_t high_ = 0;
};

}  // namespace

void appendDecodedText(std::string& out, const uint8_t* p, size_t n) {
  const bool packed = n >= 2 && p[0] == 0xFF && p[1] == 0xFE;
  // Room for the worst case: a compressed byte may take two bytes of
  // UTF-8, a two-byte unit three.
  const size_t start = out.size();
  out.resize(start + (packed ? 2 * n : n / 2 * 3 + 3));
  Utf8Writer w(out.data() + start);
  if (packed) {
    bool compressed = true;
    size_t i = 2;
    while (i < n) {
      if (p[i] == 0) {
        compressed = !compressed;
        ++i;
      } else if (compressed) {
        w.unit(p[i]);
        ++i;
      } else {
        if (i + 1 >= n) break;  // a dangling half unit: drop it, as readers do
        w.unit(uint32_t(p[i] | (p[i + 1] << 8)));
        i += 2;
      }
    }
  } else {
    // The common case, text of the basic plane, in a tight loop; the first
    // surrogate hands the rest to the writer, which pairs them.
    char* o = out.data() + start;
    size_t i = 0;
    for (; i + 1 < n; i += 2) {
      uint32_t u = uint32_t(p[i] | (p[i + 1] << 8));
      if (u < 0x80) {
        *o++ = char(u);
      } else if (u < 0x800) {
        *o++ = char(0xC0 | (u >> 6));
        *o++ = char(0x80 | (u & 0x3F));
      } else if (u < 0xD800 || u > 0xDFFF) {
        *o++ = char(0xE0 | (u >> 12));
        *o++ = char(0x80 | ((u >> 6) & 0x3F));
        *o++ = char(0x80 | (u & 0x3F));
      } else {
        break;
      }
    }
    if (i + 1 >= n) {
      out.resize(size_t(o - out.data()));
      return;
    }
    Utf8Writer rest(o);
    for (; i + 1 < n; i += 2) rest.unit(uint32_t(p[i] | (p[i + 1] << 8)));
    out.resize(size_t(o - out.data()) + rest.finish());
    return;
  }
  out.resize(start + w.finish());
}

std::string decodeText(const uint8_t* p, size_t n) {
  std::string out;
  appendDecodedText(out, p, n);
  return out;
}

Bytes encodeUtf16le(std::u16string_view s) {
  Bytes b(s.size() * 2);
  for (size_t i = 0; i < s.size(); ++i) put16(&b[2 * i], uint16_t(s[i]));
  return b;
}

Bytes encodeText(std::u16string_view s, bool allowCompression) {
  if (allowCompression && !s.empty()) {
    bool possible = std::none_of(s.begin(), s.end(), [](char16_t c) { return (c & 0xFF) == 0; });
    if (possible) {
      Bytes b{0xFF, 0xFE};
      bool compressed = true;
      for (char16_t c : s) {
        bool narrow = c < 0x100;
        if (narrow != compressed) {
          b.push_back(0);
          compressed = narrow;
        }
        if (narrow) {
          b.push_back(uint8_t(c));
        } else {
          b.push_back(uint8_t(c));
          b.push_back(uint8_t(c >> 8));
        }
      }
      if (b.size() < s.size() * 2) return b;
    }
  }
  return encodeUtf16le(s);
}

// Folds Latin capitals to small letters byte by byte.  Both the ASCII range
// and the Latin-1 capitals (U+00C0..U+00DE but the multiplication sign) keep
// their UTF-8 length when folded, so a substring found in the folded text is
// one in the original.
static void foldLatin(std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    uint8_t c = uint8_t(s[i]);
    if (c >= 'A' && c <= 'Z') {
      s[i] = char(c + 32);
    } else if (c == 0xC3 && i + 1 < s.size()) {
      uint8_t d = uint8_t(s[i + 1]);
      if (d >= 0x80 && d <= 0x9E && d != 0x97) s[i + 1] = char(d + 0x20);
      ++i;
    }
  }
}

FoldedNeedle::FoldedNeedle(std::string_view needleUtf8) : needle_(needleUtf8) {
  foldLatin(needle_);
  // A needle without letters that fold matches the same bytes in the
  // folded and in the original text: no need to fold every value.
  for (size_t i = 0; i < needle_.size(); ++i) {
    uint8_t c = uint8_t(needle_[i]);
    if ((c >= 'a' && c <= 'z') || c == 0xC3) fold_ = true;
  }
}

bool FoldedNeedle::foundIn(std::string_view haystackUtf8) {
  if (needle_.empty()) return true;
  if (haystackUtf8.size() < needle_.size()) return false;
  if (!fold_) return haystackUtf8.find(needle_) != std::string_view::npos;
  buffer_.assign(haystackUtf8);
  foldLatin(buffer_);
  return buffer_.find(needle_) != std::string::npos;
}

bool containsFolded(std::string_view haystackUtf8, std::string_view needleUtf8) {
  return FoldedNeedle(needleUtf8).foundIn(haystackUtf8);
}

}  // namespace jet
