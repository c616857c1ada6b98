// TPerdForm: the thermal label window for every row of the imported list.
#pragma once

#include "thermal/ThermalWindow.h"

namespace waybill {

class TPerdForm : public ThermalWindow {
  Q_OBJECT
 public:
  TPerdForm(RecordStore& store, ui::Dialogs& dialogs, QWidget* parent = nullptr)
      : ThermalWindow(ThermalWindowKind::TPerdForm, store, dialogs, parent) {}
};

}  // namespace waybill
