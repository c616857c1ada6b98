// Code 128 symbols, drawn as bars by the report engine (zint encodes).
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "platform/report/Report.h"

namespace report {

struct Bar {
  double start = 0, width = 0;  // in modules from the symbol's left edge
};
struct Symbol {
  std::vector<Bar> bars;
  double modules = 0;  // the symbol's whole width in modules
};

// The bars of `text` as a Code 128 symbol (start, check and stop included),
// or an empty symbol when Code 128 cannot encode it.
Symbol code128(const QString& text);

// A Code 128 symbol at the item's left and top, the item's height high,
// growing to the right.  Its module is a whole number of printer dots:
// two dots of a 203-dpi thermal printer (0.25 mm) by default.
class Barcode : public Item {
 public:
  std::function<QString()> text;
  QColor background = Qt::white;  // under the symbol, as under a data text
  double moduleWidthPx = 2 * 96.0 / 203.0;

 protected:
  void drawItem(QPainter& p) const override;
};

}  // namespace report
