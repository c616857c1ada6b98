// The recipient page: the recipients of inr, a search on one column at a
// time, and hideable grid columns.
#pragma once

#include "records/RecordPage.h"

namespace waybill {

class RecipientPage : public RecordPage {
  Q_OBJECT
 public:
  RecipientPage(ui::Dialogs& dialogs, RecordSet* set, RecordSetModel* model, QWidget* parent);
  // "切换" runs the sender page's show action.
  void setSwitchTarget(RecordPage* senders) { switchTarget_ = senders; }

  void showAction() override;
  std::vector<QLineEdit*> boxesClearedOnShow() const override;

 private:
  void add();
  std::vector<std::pair<QLineEdit*, QString>> searchBoxes_;
  RecordPage* switchTarget_ = nullptr;
};

}  // namespace waybill
