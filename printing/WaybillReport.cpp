#include "printing/WaybillReport.h"

namespace waybill {

QFont slotFont(const FieldSlot& s, const WaybillLayout& layout) {
  if (layout.slotFont && !s.largeCity()) return *layout.slotFont;
  QFont f(QStringLiteral("宋体"));
  f.setPixelSize(s.fontPixels);
  f.setBold(s.bold);
  return f;
}

QFont brandingFont() {
  QFont f(QStringLiteral("华文新魏"));
  f.setPixelSize(kBrandingFontPixels);
  f.setBold(true);
  return f;
}

QFont memoFont(const FieldSlot& s, const WaybillLayout& layout) {
  QFont f = slotFont(s, layout);
  if (!layout.slotFont || s.largeCity()) f.setBold(true);
  return f;
}

QStringList WaybillReport::memoLines(const FieldSlot& s, const WaybillLayout& layout, const QString& text) {
  return report::TextBox::breakLines(text, memoFont(s, layout), s.box.width());
}

WaybillReport::WaybillReport(const WaybillTemplate& t, const WaybillLayout& layout,
                             std::function<QStringList(const FieldSlot&)> linesOf)
    : t_(t) {
  // The waybill's sheet is asked for as a user-defined paper size in whole
  // tenths of a millimetre.
  report_.page = {t.pageWidth, t.pageLength, true};
  for (const FieldSlot& s : t.fieldSlots) {
    auto* box = report_.add<report::TextBox>();
    box->box = QRectF(s.box.translated(layout.shift));
    box->font = slotFont(s, layout);
    boxes_.push_back(box);
  }
  label_ = report_.add<report::Label>();
  label_->box = QRectF(QRect(t.label + layout.shift, kBrandingSize));
  label_->font = brandingFont();
  label_->setCaption(brandingCaption());
  // Just before each band: every print box takes its slot's lines, in
  // slot order.
  report_.beforePrint = [this, linesOf = std::move(linesOf)] {
    for (size_t i = 0; i < t_.fieldSlots.size(); ++i) boxes_[i]->lines = linesOf(t_.fieldSlots[i]);
  };
}

}  // namespace waybill
