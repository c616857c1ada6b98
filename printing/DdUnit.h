// TDdForm: the print window for one waybill to the current recipient.
#pragma once

#include "printing/PrintWindow.h"

namespace waybill {

class TDdForm : public PrintWindow {
  Q_OBJECT
 public:
  TDdForm(RecordStore& store, ui::Dialogs& dialogs, QWidget* parent = nullptr)
      : PrintWindow(PrintWindowKind::TDdForm, store, dialogs, parent) {}
};

}  // namespace waybill
