// TRddForm: the thermal label window for the current recipient of inr.
#pragma once

#include "thermal/ThermalWindow.h"

namespace waybill {

class TRddForm : public ThermalWindow {
  Q_OBJECT
 public:
  TRddForm(RecordStore& store, ui::Dialogs& dialogs, QWidget* parent = nullptr)
      : ThermalWindow(ThermalWindowKind::TRddForm, store, dialogs, parent) {}
};

}  // namespace waybill
