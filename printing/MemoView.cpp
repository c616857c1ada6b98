#include "printing/MemoView.h"

#include <QFontMetricsF>
#include <QPainter>

#include "platform/report/Report.h"

namespace waybill {

MemoView::MemoView(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

void MemoView::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

void MemoView::setMemoFont(const QFont& f) {
  font_ = f;
  update();
}

QStringList MemoView::lines() const { return report::TextBox::breakLines(text_, font_, width()); }

void MemoView::paintEvent(QPaintEvent*) {
  // Drawn as the print box draws itself, at the same line breaks.
  report::TextBox box;
  box.box = QRectF(0, 0, width(), height());
  box.font = font_;
  box.background = Qt::transparent;
  box.colour = QColor(0, 0, 160);
  box.lines = lines();
  QPainter p(this);
  box.draw(p);
}

}  // namespace waybill
