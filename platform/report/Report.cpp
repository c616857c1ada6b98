#include "platform/report/Report.h"

#include <QFile>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <cmath>

#include "platform/report/Fonts.h"
#include "platform/report/Units.h"

namespace report {

void Item::draw(QPainter& p) const {
  if (!visible) return;
  p.save();
  drawItem(p);
  p.restore();
}

QStringList TextBox::breakLines(const QString& text, const QFont& font, double widthPx) {
  QStringList lines;
  QFont f(drawingFont(font), layoutDevice());
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
  p.setFont(drawingFont(font));
  p.setPen(colour);
  const TextMetrics m = textMetrics(font);
  double top = box.top();
  for (const QString& line : lines) {
    if (!lineFits(font, top, box.bottom())) break;
    p.drawText(QPointF(box.left(), top + m.ascent), line);
    top += m.height;
  }
}

bool TextBox::lineFits(const QFont& font, double top, double bottom) {
  // Judged by the Windows face's line, as the form's boxes were drawn for
  // it; a hair's tolerance for the sums of fractional pixels.
  return top + textMetrics(font).height <= bottom + 1e-6;
}

void Label::setCaption(const QString& caption) {
  lines = QStringList{caption};
  QFontMetricsF m(QFont(drawingFont(font), layoutDevice()), layoutDevice());
  box.setSize(QSizeF(m.horizontalAdvance(caption), textMetrics(font).height));
}

void Label::drawItem(QPainter& p) const {
  p.setFont(drawingFont(font));
  p.setPen(colour);
  if (!lines.isEmpty()) p.drawText(QPointF(box.left(), box.top() + textMetrics(font).ascent), lines.front());
}

void DataText::drawItem(QPainter& p) const {
  QString t = text ? text() : QString();
  const QFont f = drawingFont(font);
  QFontMetricsF m(QFont(f, layoutDevice()), layoutDevice());
  QRectF r(box.left(), box.top(), std::max(box.width(), m.horizontalAdvance(t)), box.height());
  p.fillRect(r, Qt::white);
  p.setFont(f);
  p.setPen(Qt::black);
  p.drawText(QPointF(r.left(), r.top() + textMetrics(font).ascent), t);
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
