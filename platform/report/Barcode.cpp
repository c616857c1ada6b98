#include "platform/report/Barcode.h"

#include <zint.h>

#include <QPainter>
#include <memory>

namespace report {

Symbol code128(const QString& text) {
  Symbol out;
  if (text.isEmpty()) return out;
  std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> s(ZBarcode_Create(), ZBarcode_Delete);
  if (!s) return out;
  s->symbology = BARCODE_CODE128;
  s->input_mode = UNICODE_MODE;
  s->show_hrt = 0;
  s->whitespace_width = 0;
  s->border_width = 0;
  QByteArray data = text.toUtf8();
  int rc = ZBarcode_Encode_and_Buffer_Vector(s.get(), reinterpret_cast<const unsigned char*>(data.constData()),
                                             int(data.size()), 0);
  if (rc >= ZINT_ERROR || !s->vector || s->width <= 0) return out;
  const double unitsPerModule = s->vector->width / s->width;
  for (zint_vector_rect* r = s->vector->rectangles; r; r = r->next)
    out.bars.push_back(Bar{r->x / unitsPerModule, r->width / unitsPerModule});
  out.modules = s->width;
  return out;
}

void Barcode::drawItem(QPainter& p) const {
  Symbol sym = code128(text ? text() : QString());
  if (sym.bars.empty()) return;
  if (background.alpha() > 0) p.fillRect(QRectF(box.left(), box.top(), sym.modules * moduleWidthPx, box.height()), background);
  for (const Bar& b : sym.bars)
    p.fillRect(QRectF(box.left() + b.start * moduleWidthPx, box.top(), b.width * moduleWidthPx, box.height()), Qt::black);
}

}  // namespace report
