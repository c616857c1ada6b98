// TEddForm: the print window for one waybill to the current imported recipient.
#pragma once

#include "printing/PrintWindow.h"

namespace waybill {

class TEddForm : public PrintWindow {
  Q_OBJECT
 public:
  TEddForm(RecordStore& store, ui::Dialogs& dialogs, QWidget* parent = nullptr)
      : PrintWindow(PrintWindowKind::TEddForm, store, dialogs, parent) {}
};

}  // namespace waybill
