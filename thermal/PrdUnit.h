// TPrdForm: the thermal label window for every recipient of inr.
#pragma once

#include "thermal/ThermalWindow.h"

namespace waybill {

class TPrdForm : public ThermalWindow {
  Q_OBJECT
 public:
  TPrdForm(RecordStore& store, ui::Dialogs& dialogs, QWidget* parent = nullptr)
      : ThermalWindow(ThermalWindowKind::TPrdForm, store, dialogs, parent) {}
};

}  // namespace waybill
