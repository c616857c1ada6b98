// TPdForm: the print window for a waybill to every recipient of inr.
#pragma once

#include "printing/PrintWindow.h"

namespace waybill {

class TPdForm : public PrintWindow {
  Q_OBJECT
 public:
  TPdForm(RecordStore& store, ui::Dialogs& dialogs, QWidget* parent = nullptr)
      : PrintWindow(PrintWindowKind::TPdForm, store, dialogs, parent) {}
};

}  // namespace waybill
