// The report of one waybill template: a print box per slot and the
// branding label, on the template's page.  The print windows and the
// headless `waybill print` both build their reports here.
#pragma once

#include <QFont>
#include <QPoint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/report/Report.h"
#include "templates/WaybillTemplate.h"

namespace waybill {

struct WaybillLayout {
  QPoint shift;                   // the window's offsets, px
  std::optional<QFont> slotFont;  // the user's font for the slots but the large city ones
};

// The font a slot prints in, and the font of its on-screen memo (always
// bold, where template 12 prints plain from TEddForm).
QFont slotFont(const FieldSlot& s, const WaybillLayout& layout);
QFont memoFont(const FieldSlot& s, const WaybillLayout& layout);
// The branding label's font: 华文新魏, 19 px, bold, whatever the user sets.
QFont brandingFont();

class WaybillReport {
 public:
  // `linesOf` gives each slot's lines just before a band prints: the lines
  // its on-screen memo shows then.
  WaybillReport(const WaybillTemplate& t, const WaybillLayout& layout,
                std::function<QStringList(const FieldSlot&)> linesOf);
  // The lines a memo of `s` shows for `text`, where there is no memo.
  static QStringList memoLines(const FieldSlot& s, const WaybillLayout& layout, const QString& text);

  report::Report& report() { return report_; }
  const WaybillTemplate& waybillTemplate() const { return t_; }
  // The print box of slot i (0-based), and the branding label.
  report::TextBox* box(size_t i) const { return boxes_[i]; }
  report::Label* brandingLabel() const { return label_; }

 private:
  const WaybillTemplate& t_;
  report::Report report_;
  std::vector<report::TextBox*> boxes_;
  report::Label* label_;
};

}  // namespace waybill
