// The import page: the imported list of excel, replaced from a spreadsheet,
// searched one column at a time, rows deleted, grid columns hidden.
#pragma once

#include <functional>

#include "records/RecordPage.h"

namespace waybill {

class RecordStore;

class ImportPage : public RecordPage {
  Q_OBJECT
 public:
  ImportPage(ui::Dialogs& dialogs, RecordStore& store, QWidget* parent);
  // The remembered sender name, which narrows the sender list after an
  // import so that the current sender stays current.
  void setRememberedSender(std::function<QString()> name) { rememberedSender_ = std::move(name); }

  void showAction() override;
  // "...": the path of a file chosen in the file dialog.
  void choosePath();
  // "开始导入".
  void startImport();

 private:
  RecordStore& store_;
  QLineEdit* path_;
  std::vector<std::pair<QLineEdit*, QString>> searchBoxes_;
  std::function<QString()> rememberedSender_ = [] { return QString(); };
};

}  // namespace waybill
