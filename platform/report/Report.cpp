#include "platform/report/Report.h"

#include <QFile>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <cmath>

#include "platform/report/Units.h"

namespace report {

namespace {

// The device that gives fonts their 96-dpi layout metrics, whatever the
// screen or the printer: line breaks and widths are decided here alone.
QPaintDevice* layoutDevice() {
  static QImage device = [] {
    QImage img(1, 1, QImage::Format_ARGB32);
    img.setDotsPerMeterX(int(std::lround(96 / 0.0254)));
    img.setDotsPerMeterY(int(std::lround(96 / 0.0254)));
    return img;
  }();
  return &device;
}

// Sets a font sized in layout pixels on a painter whose transform maps
// layout pixels to the device.  A font sized in points would be sized for
// the device's resolution and then scaled by the transform once more, so
// its points are taken at 96 dpi, as the layout's.
void setLayoutFont(QPainter& p, const QFont& font) {
  if (font.pixelSize() > 0 || !p.device()) return p.setFont(font);
  QFont f(font);
  f.setPointSizeF(font.pointSizeF() * 96.0 / p.device()->logicalDpiY());
  p.setFont(f);
}

}  // namespace

void Item::draw(QPainter& p) const {
  if (!visible) return;
  p.save();
  drawItem(p);
  p.restore();
}

QStringList TextBox::breakLines(const QString& text, const QFont& font, double widthPx) {
  QStringList lines;
  QFont f(font, layoutDevice());
  const QStringList paragraphs = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split('\n');
  for (const QString& para : paragraphs) {
    if (para.isEmpty()) {
      lines << QString();
      continue;
    }
    QTextLayout layout(para, f, layoutDevice());
    QTextOption opt;
    opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(opt);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(widthPx);
      lines << para.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
  }
  // A trailing line break ends the last line; it adds none.
  if (!lines.isEmpty() && lines.back().isEmpty() && text.endsWith('\n')) lines.removeLast();
  if (text.isEmpty()) lines.clear();
  return lines;
}

void TextBox::drawItem(QPainter& p) const {
  if (background.alpha() > 0) p.fillRect(box, background);
  p.setClipRect(box);
  setLayoutFont(p, font);
  p.setPen(colour);
  QFontMetricsF m(QFont(font, layoutDevice()), layoutDevice());
  const double advance = lineAdvance(font);
  const double glyphs = font.pixelSize() > 0 ? font.pixelSize() : m.height();
  double top = box.top();
  for (const QString& line : lines) {
    if (top + glyphs > box.bottom() + 0.5) break;
    p.drawText(QPointF(box.left(), top + m.ascent()), line);
    top += advance;
  }
}

double TextBox::lineAdvance(const QFont& font) {
  if (font.pixelSize() > 0) return std::round(font.pixelSize() * 1.4);
  return QFontMetricsF(QFont(font, layoutDevice()), layoutDevice()).height();
}

void Label::setCaption(const QString& caption) {
  lines = QStringList{caption};
  QFontMetricsF m(QFont(font, layoutDevice()), layoutDevice());
  box.setSize(QSizeF(m.horizontalAdvance(caption), m.height()));
}

void Label::drawItem(QPainter& p) const {
  setLayoutFont(p, font);
  p.setPen(colour);
  QFontMetricsF m(QFont(font, layoutDevice()), layoutDevice());
  if (!lines.isEmpty()) p.drawText(QPointF(box.left(), box.top() + m.ascent()), lines.front());
}

void DataText::drawItem(QPainter& p) const {
  QString t = text ? text() : QString();
  QFontMetricsF m(QFont(font, layoutDevice()), layoutDevice());
  QRectF r(box.left(), box.top(), std::max(box.width(), m.horizontalAdvance(t)), box.height());
  p.fillRect(r, Qt::white);
  setLayoutFont(p, font);
  p.setPen(Qt::black);
  p.drawText(QPointF(r.left(), r.top() + m.ascent()), t);
}

void Rule::drawItem(QPainter& p) const {
  // A thin solid line across the box, at its vertical middle.
  p.fillRect(QRectF(box.left(), box.center().y() - thickness / 2, box.width(), thickness), Qt::black);
}

void Picture::drawItem(QPainter& p) const {
  if (!image.isNull()) p.drawImage(box, image);
}

int Report::bandCount() const {
  if (!source || !source->isOpen()) return 1;
  return std::max(1, source->rowCount());
}

void Report::renderBand(QPainter& p, int band) const {
  if (source && source->isOpen() && source->rowCount() > 0) source->moveTo(band);
  if (beforePrint) beforePrint();
  for (const auto& item : items)
    if (item->printable) item->draw(p);
}

QSizeF Report::paperMm() const {
  if (!page.wholeTenths) return QSizeF(page.width / 10.0, page.length / 10.0);
  return QSizeF(std::round(page.width) / 10.0, std::round(page.length) / 10.0);
}

QString writePdf(const Report& r, const QString& path, const Progress& progress) {
  QPdfWriter pdf(path);
  const int dpi = 1200;
  pdf.setResolution(dpi);
  pdf.setPageSize(QPageSize(r.paperMm(), QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  pdf.setCreator(QStringLiteral("waybill"));
  // Qt's writer keeps the page in whole points and measures the content from
  // that page's top; exactMediaBox below gives the page its exact height, so
  // the content moves by the difference to stay where it belongs from the
  // top edge.
  const double exactHeightPt = r.paperMm().height() * 72 / 25.4;
  const double lift = exactHeightPt - pdf.pageLayout().fullRectPoints().height();
  QPainter p;
  if (!p.begin(&pdf)) return QStringLiteral("cannot write %1").arg(path);
  const int total = r.bandCount();
  for (int band = 0; band < total; ++band) {
    if (band > 0) pdf.newPage();
    p.save();
    p.translate(0, -lift * dpi / 72.0);
    p.scale(dpi / 96.0, dpi / 96.0);
    r.renderBand(p, band);
    p.restore();
    if (progress && !progress(band + 1, total)) break;
  }
  p.end();
  return exactMediaBox(path, r.paperMm());
}

namespace {

// `value` in as many characters as `width`, so that it can stand in the
// place of a number of that width.
QByteArray numberOfWidth(double value, qsizetype width) {
  for (int decimals = 9; decimals >= 0; --decimals) {
    QByteArray n = QByteArray::number(value, 'f', decimals);
    if (n.size() == width) return n;
    if (n.size() < width) return n + QByteArray(width - n.size(), ' ');
  }
  return {};
}

}  // namespace

QString exactMediaBox(const QString& path, const QSizeF& mm) {
  // Qt's PDF writer keeps page sizes in whole points.  The exact size goes
  // in place of every page's, in as many characters, so that every offset
  // of the file stays right.
  QFile f(path);
  if (!f.open(QIODevice::ReadWrite)) return QStringLiteral("cannot reopen %1").arg(path);
  QByteArray pdf = f.readAll();
  static const QRegularExpression box(QStringLiteral(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])"));
  const QString text = QString::fromLatin1(pdf);
  for (auto it = box.globalMatch(text); it.hasNext();) {
    auto m = it.next();
    QByteArray w = numberOfWidth(mm.width() * 72 / 25.4, m.capturedLength(1));
    QByteArray h = numberOfWidth(mm.height() * 72 / 25.4, m.capturedLength(2));
    if (w.isEmpty() || h.isEmpty()) return QStringLiteral("cannot give %1 its page size").arg(path);
    pdf.replace(m.capturedStart(1), w.size(), w);
    pdf.replace(m.capturedStart(2), h.size(), h);
  }
  f.seek(0);
  if (f.write(pdf) != pdf.size()) return QStringLiteral("cannot write %1").arg(path);
  return {};
}

}  // namespace report
