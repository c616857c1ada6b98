#include "thermal/LabelStock.h"

#include <QPainter>
#include <QPainterPath>

namespace waybill {

QImage labelStockPicture() {
  static const QImage picture = [] {
    // Drawn at the picture's own size; the band (378 x 681) stretches it,
    // so a band pixel y lies at y * 605 / 681 here.
    const int w = 388, h = 605;
    auto y = [](double bandY) { return bandY * 605.0 / 681.0; };
    auto x = [](double bandX) { return bandX * 388.0 / 378.0; };
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x9a, 0xa9, 0xbb);
    const QColor tint(0xf1, 0xf5, 0xfa);
    p.setPen(QPen(ink, 1.5));
    // The frame with its curved corners, round the main part and the stub.
    const QRectF main(x(10), y(4), x(358), y(478));
    const QRectF stub(x(10), y(487), x(358), y(190));
    for (const QRectF& part : {main, stub}) {
      QPainterPath frame;
      frame.addRoundedRect(part, 12, 12);
      p.fillPath(frame, Qt::white);
      p.drawPath(frame);
    }
    // The tear-off divider between them: perforation dashes.
    p.setPen(QPen(ink, 1, Qt::DashLine));
    p.drawLine(QPointF(0, y(485)), QPointF(w, y(485)));
    // A neutral heading at the top of each part, where no item prints.
    QFont heading(QStringLiteral("黑体"));
    heading.setBold(true);
    auto title = [&](QRectF bandBox, int pixels, const QString& text) {
      QRectF box(x(bandBox.left()), y(bandBox.top()), x(bandBox.width()), y(bandBox.height()));
      p.fillRect(box, tint);
      heading.setPixelSize(pixels);
      p.setFont(heading);
      p.setPen(ink);
      p.drawText(box, Qt::AlignCenter, text);
    };
    title(QRectF(20, 32, 100, 24), 14, QStringLiteral("快 递 运 单"));
    title(QRectF(282, 489, 72, 17), 11, QStringLiteral("寄件存根"));
    // Light boxes where the recipient and sender blocks stand.
    p.setPen(QPen(ink, 0.8));
    for (double top : {172.0, 244.0, 486.0, 556.0}) p.drawLine(QPointF(x(20), y(top)), QPointF(x(358), y(top)));
    p.drawLine(QPointF(x(20), y(316)), QPointF(x(358), y(316)));
    p.drawLine(QPointF(x(20), y(628)), QPointF(x(358), y(628)));
    p.end();
    return img;
  }();
  return picture;
}

}  // namespace waybill
