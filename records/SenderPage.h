// The sender page: the senders of outr, the waybill date and the
// remembered sender name.
#pragma once

#include <QAbstractButton>
#include <QDate>
#include <functional>

#include "records/RecordPage.h"

namespace waybill {

class SenderPage : public RecordPage {
  Q_OBJECT
 public:
  SenderPage(ui::Dialogs& dialogs, RecordSet* set, RecordSetModel* model, QWidget* parent);

  // The toolbar's date toggle, whose caption this page keeps.
  void setDateToggle(QAbstractButton* toggle) { dateToggle_ = toggle; }
  // Today, as the date toggle and the start-up stamp read it.
  void setClock(std::function<QDate()> today) { today_ = std::move(today); }
  // "切换" runs this page's show action.
  void setSwitchTarget(RecordPage* recipients) { switchTarget_ = recipients; }

  void showAction() override;
  // The main window's creation handler: the start-up date stamp and the
  // remembered sender.
  void startUp();
  // The toolbar's date toggle.
  void toggleDate();

  QString rememberedSender() const;  // Edit28

 private:
  void add();
  void cellClicked();
  void followCurrentDate();
  void setDateBoxes(const QString& y, const QString& m, const QString& d);

  QLineEdit* year_;
  QLineEdit* month_;
  QLineEdit* day_;
  QLineEdit* remembered_;
  QAbstractButton* dateToggle_ = nullptr;
  RecordPage* switchTarget_ = nullptr;
  std::function<QDate()> today_ = [] { return QDate::currentDate(); };
};

}  // namespace waybill
