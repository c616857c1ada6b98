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

// The font a slot prints in.
QFont slotFont(const FieldSlot& s, const WaybillLayout& layout);

class WaybillReport {
 public:
  // `textOf` gives each slot's text just before a band prints, as its
  // on-screen memo shows it then.
  WaybillReport(const WaybillTemplate& t, const WaybillLayout& layout,
                std::function<QString(const FieldSlot&)> textOf);

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
