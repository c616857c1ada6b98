// TErdForm: the thermal label window for the current row of the imported list.
#pragma once

#include "thermal/ThermalWindow.h"

namespace waybill {

class TErdForm : public ThermalWindow {
  Q_OBJECT
 public:
  TErdForm(RecordStore& store, ui::Dialogs& dialogs, QWidget* parent = nullptr)
      : ThermalWindow(ThermalWindowKind::TErdForm, store, dialogs, parent) {}
};

}  // namespace waybill
