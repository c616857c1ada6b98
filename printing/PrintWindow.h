// PrintWindow: the one design of the four print windows (TDdForm, TEddForm,
// TPdForm, TPedForm).  It shows one template at a time, the form's picture
// with a memo per field slot over it, prints it without a dialog or
// previews it, and keeps the user's shifts and font for all 36 templates.
//
// Pages are built when first shown; the shifts and the font are the
// window's, so they hold for every page whether built or not, and every
// report is made from them when it prints.
#pragma once

#include <QDialog>
#include <QFont>
#include <QLineEdit>
#include <QStackedWidget>
#include <QToolButton>
#include <array>
#include <functional>
#include <memory>

#include "platform/ui/Dialogs.h"
#include "printing/MemoView.h"
#include "printing/WaybillReport.h"
#include "records/OwnRecordSet.h"
#include "records/RecordStore.h"

class QLabel;

namespace waybill {

class WaybillPage;

class PrintWindow : public QDialog {
  Q_OBJECT
 public:
  PrintWindow(PrintWindowKind kind, RecordStore& store, ui::Dialogs& dialogs, QWidget* parent = nullptr);
  ~PrintWindow() override;

  PrintWindowKind kind() const { return kind_; }
  bool batch() const { return kind_ == PrintWindowKind::TPdForm || kind_ == PrintWindowKind::TPedForm; }

  // The opening steps of the template menus: caption, page, outer height,
  // centred; then the window is shown modally through `runModal`.
  void prepare(const QString& caption, int number, int outerHeight);
  std::function<void(QDialog*)> runModal = [](QDialog* d) { d->exec(); };
  void open(const QString& caption, int number, int outerHeight);

  int currentTemplate() const { return current_; }
  const WaybillTemplate& templateOf(int number) const;
  const WaybillLayout& layout() const { return layout_; }
  // Where slot `slot` (0-based) of template `number` stands now, and its
  // branding label: the layout moved by the window's shifts.
  QRect slotRect(int number, size_t slot) const;
  QPoint labelPosition(int number) const;
  // The on-screen memo of a slot of the page showing (built on demand).
  MemoView* memo(size_t slot);

  // The report of template `number` as "直接打印" prints it.
  std::unique_ptr<WaybillReport> makeReport(int number);
  RecordSet* recipients() const { return recipients_; }
  // The batch windows' own snapshot; nothing for the single windows.
  OwnRecordSet* ownRecordSet() const { return ownSet_; }

  void printCurrent();
  void previewCurrent();
  void shiftVertical();
  void shiftHorizontal();
  void chooseFont();

  // Where "直接打印" sends the report; the desktop's default printer unless
  // a test gives another.
  QString printerName;

 protected:
  bool event(QEvent* e) override;

 private:
  void buildToolbar();
  WaybillPage* page(int number);
  void refreshPage();
  void applyLayout();
  void shift(const QString& box, QPoint axis);

  PrintWindowKind kind_;
  RecordStore& store_;
  ui::Dialogs& dialogs_;
  WaybillLayout layout_;
  QFont lastFont_;
  int current_ = 1;
  QStackedWidget* pages_;
  std::array<WaybillPage*, 36> built_{};
  OwnRecordSet* ownSet_ = nullptr;
  RecordSet* recipients_ = nullptr;
};

}  // namespace waybill
