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
  p.setFont(font);
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
  p.setFont(font);
  p.setPen(colour);
  QFontMetricsF m(QFont(font, layoutDevice()), layoutDevice());
  if (!lines.isEmpty()) p.drawText(QPointF(box.left(), box.top() + m.ascent()), lines.front());
}

void DataText::drawItem(QPainter& p) const {
  QString t = text ? text() : QString();
  QFontMetricsF m(QFont(font, layoutDevice()), layoutDevice());
  QRectF r(box.left(), box.top(), std::max(box.width(), m.horizontalAdvance(t)), box.height());
  p.fillRect(r, Qt::white);
  p.setFont(font);
  p.setPen(Qt::black);
  p.drawText(QPointF(r.left(), r.top() + m.ascent()), t);
}

void Rule::drawItem(QPainter& p) const {
  p.fillRect(QRectF(box.left(), box.top(), box.width(), std::max(1.0, box.height())), Qt::black);
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

QSizeF Report::paperMm() const { return QSizeF(std::round(page.width) / 10.0, std::round(page.length) / 10.0); }

QString writePdf(const Report& r, const QString& path, const Progress& progress) {
  QPdfWriter pdf(path);
  const int dpi = 1200;
  pdf.setResolution(dpi);
  pdf.setPageSize(QPageSize(r.paperMm(), QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  pdf.setCreator(QStringLiteral("waybill"));
  QPainter p;
  if (!p.begin(&pdf)) return QStringLiteral("cannot write %1").arg(path);
  const int total = r.bandCount();
  for (int band = 0; band < total; ++band) {
    if (band > 0) pdf.newPage();
    p.save();
    p.scale(dpi / 96.0, dpi / 96.0);
    r.renderBand(p, band);
    p.restore();
    if (progress && !progress(band + 1, total)) break;
  }
  p.end();
  return exactMediaBox(path, r.paperMm());
}

QString exactMediaBox(const QString& path, const QSizeF& mm) {
  // Qt's PDF writer keeps page sizes in whole points and writes them with
  // six decimals.  The exact size has as many digits, so it goes in place
  // and every offset of the file stays right.
  QFile f(path);
  if (!f.open(QIODevice::ReadWrite)) return QStringLiteral("cannot reopen %1").arg(path);
  QByteArray pdf = f.readAll();
  static const QRegularExpression box(QStringLiteral(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])"));
  auto m = box.match(QString::fromLatin1(pdf));
  if (!m.hasMatch()) return {};
  QByteArray w = QByteArray::number(mm.width() * 72 / 25.4, 'f', 6);
  QByteArray h = QByteArray::number(mm.height() * 72 / 25.4, 'f', 6);
  if (w.size() != m.capturedLength(1) || h.size() != m.capturedLength(2)) return {};
  pdf.replace(m.capturedStart(1), w.size(), w);
  pdf.replace(m.capturedStart(2), h.size(), h);
  f.seek(0);
  if (f.write(pdf) != pdf.size()) return QStringLiteral("cannot write %1").arg(path);
  return {};
}

}  // namespace report
