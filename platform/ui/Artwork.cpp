#include "platform/ui/Artwork.h"

#include <QFont>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace ui::artwork {

namespace {

const QColor kDeep(22, 78, 150);
const QColor kBright(64, 142, 222);

QFont pixels(const QString& family, int px, bool bold = true) {
  QFont f(family);
  f.setPixelSize(px);
  f.setBold(bold);
  return f;
}

// A parcel seen from above at an angle: the program's emblem.
void drawParcel(QPainter& p, const QRectF& r, const QColor& tape) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath box;
  qreal w = r.width(), h = r.height();
  QPointF top(r.left() + w * 0.5, r.top() + h * 0.08), left(r.left() + w * 0.06, r.top() + h * 0.3),
      right(r.left() + w * 0.94, r.top() + h * 0.3), mid(r.left() + w * 0.5, r.top() + h * 0.52),
      bl(r.left() + w * 0.06, r.top() + h * 0.72), br(r.left() + w * 0.94, r.top() + h * 0.72),
      bottom(r.left() + w * 0.5, r.top() + h * 0.94);
  QPolygonF lid{top, right, mid, left};
  QPolygonF leftSide{left, mid, bottom, bl};
  QPolygonF rightSide{mid, right, br, bottom};
  p.setPen(QPen(QColor(120, 80, 30), qMax(1.0, w / 40)));
  p.setBrush(QColor(236, 196, 130));
  p.drawPolygon(lid);
  p.setBrush(QColor(214, 164, 96));
  p.drawPolygon(leftSide);
  p.setBrush(QColor(196, 146, 80));
  p.drawPolygon(rightSide);
  p.setPen(QPen(tape, qMax(2.0, w / 12)));
  p.drawLine((top + left) / 2, (mid + right) / 2);
  p.restore();
}

QPixmap glyphButton(const QString& glyph, const QColor& colour) {
  QPixmap pm(48, 48);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, 48);
  g.setColorAt(0, colour.lighter(135));
  g.setColorAt(1, colour.darker(115));
  p.setPen(QPen(colour.darker(150), 1.2));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(3.5, 3.5, 41, 41), 9, 9);
  p.setPen(QColor(255, 255, 255, 90));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(5.5, 5.5, 37, 18), 7, 7);
  p.setPen(Qt::white);
  p.setFont(pixels(QStringLiteral("黑体"), 24));
  p.drawText(QRectF(3, 3, 42, 42), Qt::AlignCenter, glyph);
  return pm;
}

struct ButtonArt {
  const char* caption;
  const char* theme;
  const char* glyph;
  QColor colour;
};

const ButtonArt kButtons[] = {
    {"寄件信息", "contact-new", "寄", QColor(46, 125, 50)},
    {"收件信息", "x-office-address-book", "收", QColor(30, 110, 190)},
    {"单张打印", "document-print", "单", QColor(0, 121, 107)},
    {"批量打印", "document-print-preview", "批", QColor(2, 119, 189)},
    {"热敏打印", "printer", "热", QColor(216, 67, 21)},
    {"Excel导入", "document-import", "入", QColor(56, 142, 60)},
    {"数据导出", "document-export", "出", QColor(106, 27, 154)},
    {"数据管理", "drive-harddisk", "管", QColor(69, 90, 100)},
    {"隐藏日期", "x-office-calendar", "日", QColor(198, 40, 40)},
    {"显示日期", "x-office-calendar", "日", QColor(198, 40, 40)},
    {"帮助主题", "help-contents", "?", QColor(245, 124, 0)},
    {"退出软件", "application-exit", "退", QColor(97, 97, 97)},
};

bool themeHasAll() {
  static const bool all = [] {
    for (const ButtonArt& b : kButtons)
      if (!QIcon::hasThemeIcon(QString::fromLatin1(b.theme))) return false;
    return true;
  }();
  return all;
}

}  // namespace

QPixmap titlePicture() {
  QPixmap pm(989, 66);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 989, 66);
  g.setColorAt(0, kDeep);
  g.setColorAt(0.6, kBright);
  g.setColorAt(1, QColor(150, 200, 240));
  p.fillRect(pm.rect(), g);
  // Soft waves across the banner.
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 3; ++i) {
    QPainterPath wave;
    wave.moveTo(0, 50 + i * 6);
    wave.cubicTo(300, 20 + i * 8, 600, 80 - i * 5, 989, 30 + i * 10);
    wave.lineTo(989, 66);
    wave.lineTo(0, 66);
    p.setBrush(QColor(255, 255, 255, 18 + i * 8));
    p.drawPath(wave);
  }
  drawParcel(p, QRectF(14, 6, 54, 54), QColor(200, 40, 40));
  p.setPen(QColor(0, 0, 0, 70));
  p.setFont(pixels(QStringLiteral("黑体"), 28));
  p.drawText(QPoint(84, 42), QStringLiteral("晨帆快递单打印软件(专业版)"));
  p.setPen(Qt::white);
  p.drawText(QPoint(82, 40), QStringLiteral("晨帆快递单打印软件(专业版)"));
  p.setFont(pixels(QStringLiteral("宋体"), 13, false));
  p.setPen(QColor(230, 240, 255));
  p.drawText(QPoint(86, 58), QStringLiteral("快递单 · 热敏面单 · 批量打印 · 客户资料管理"));
  return pm;
}

static QPixmap captionButton(bool close) {
  QPixmap pm(19, 19);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(255, 255, 255, 200), 1));
  p.setBrush(close ? QColor(200, 50, 40) : QColor(40, 100, 170));
  p.drawRoundedRect(QRectF(0.5, 0.5, 18, 18), 3, 3);
  p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
  if (close) {
    p.drawLine(QPointF(5.5, 5.5), QPointF(13.5, 13.5));
    p.drawLine(QPointF(13.5, 5.5), QPointF(5.5, 13.5));
  } else {
    p.drawLine(QPointF(5, 13), QPointF(14, 13));
  }
  return pm;
}

QPixmap minimisePicture() { return captionButton(false); }
QPixmap closePicture() { return captionButton(true); }

QPixmap pageBackground() {
  static const QPixmap pm = [] {
    QPixmap bg(982, 522);
    QPainter p(&bg);
    QLinearGradient g(0, 0, 0, 522);
    g.setColorAt(0, QColor(236, 244, 252));
    g.setColorAt(1, QColor(250, 252, 255));
    p.fillRect(bg.rect(), g);
    p.setPen(QColor(220, 232, 246));
    for (int x = -522; x < 982; x += 24) p.drawLine(x, 522, x + 522, 0);
    return bg;
  }();
  return pm;
}

QIcon toolbarIcon(const QString& caption) {
  for (const ButtonArt& b : kButtons) {
    if (caption != QString::fromUtf8(b.caption)) continue;
    if (themeHasAll()) return QIcon::fromTheme(QString::fromLatin1(b.theme));
    return QIcon(glyphButton(QString::fromUtf8(b.glyph), b.colour));
  }
  return {};
}

QIcon programIcon() {
  QPixmap pm(64, 64);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  drawParcel(p, QRectF(2, 2, 60, 60), QColor(200, 40, 40));
  return QIcon(pm);
}

}  // namespace ui::artwork
