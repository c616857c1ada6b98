#include "printing/OffsetText.h"

namespace waybill {

std::optional<int> parseOffset(const QString& text) {
  int i = 0;
  const int n = int(text.size());
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  auto hexStart = [&]() -> int {
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) return 1;
    if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) return 2;
    return 0;
  };
  if (int skip = hexStart()) {
    i += skip;
    if (i >= n || n - i > 8) return std::nullopt;
    quint32 v = 0;
    for (; i < n; ++i) {
      int d = QStringLiteral("0123456789abcdef").indexOf(text[i].toLower());
      if (d < 0) return std::nullopt;
      v = v * 16 + quint32(d);
    }
    // Two's complement both ways: $FFFFFFFF is -1, and a sign negates
    // within 32 bits.
    return int(qint32(negative ? quint32(0) - v : v));
  }
  if (i >= n) return std::nullopt;
  qint64 v = 0;
  for (; i < n; ++i) {
    if (!text[i].isDigit() || text[i].unicode() > '9') return std::nullopt;
    v = v * 10 + (text[i].unicode() - '0');
    if (v > qint64(1) << 31) return std::nullopt;
  }
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  return int(v);
}

QString invalidOffsetMessage(const QString& text) {
  return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

}  // namespace waybill
