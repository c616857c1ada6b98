// The text of an offset box as a whole number of layout pixels.
//
// A signed 32-bit number: leading blanks are skipped, an optional sign
// follows, then decimal digits, or up to eight hexadecimal digits after
// "$", "x", "X", "0x" or "0X" taken as a 32-bit two's complement value;
// nothing may follow.  The print windows and the label windows share it.
#pragma once

#include <QString>
#include <optional>

namespace waybill {

std::optional<int> parseOffset(const QString& text);
// The message for a text parseOffset refuses.
QString invalidOffsetMessage(const QString& text);

}  // namespace waybill
