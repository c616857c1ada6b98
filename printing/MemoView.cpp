#include "printing/MemoView.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

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

LabelView::LabelView(const QString& caption, const QFont& font, QWidget* parent)
    : QWidget(parent), caption_(caption), font_(font) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  report::Label label;
  label.font = font_;
  label.setCaption(caption_);
  resize(int(std::ceil(label.box.width())), int(std::ceil(label.box.height())));
}

void LabelView::paintEvent(QPaintEvent*) {
  report::Label label;
  label.font = font_;
  label.setCaption(caption_);
  QPainter p(this);
  label.draw(p);
}

}  // namespace waybill
