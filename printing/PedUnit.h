// TPedForm: the print window for a waybill to every row of the imported list.
#pragma once

#include "printing/PrintWindow.h"

namespace waybill {

class TPedForm : public PrintWindow {
  Q_OBJECT
 public:
  TPedForm(RecordStore& store, ui::Dialogs& dialogs, QWidget* parent = nullptr)
      : PrintWindow(PrintWindowKind::TPedForm, store, dialogs, parent) {}
};

}  // namespace waybill
