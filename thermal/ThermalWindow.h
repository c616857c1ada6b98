// ThermalWindow: the one design of the four thermal label windows
// (TRddForm, TPrdForm, TErdForm, TPerdForm).  It shows the 100 x 180 mm
// label over a picture of the blank stock, prints it without a dialog or
// previews it, once for the current recipient or once per row of a whole
// table, and moves every item by the user's offsets for the rest of the run.
#pragma once

#include <QDate>
#include <QDialog>
#include <QPoint>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "platform/report/Output.h"
#include "platform/ui/Dialogs.h"
#include "printing/MemoView.h"
#include "records/OwnRecordSet.h"
#include "records/RecordStore.h"
#include "thermal/ThermalLabel.h"

class QFrame;
class QLineEdit;
class QScrollArea;

namespace waybill {

enum class ThermalWindowKind { TRddForm, TPrdForm, TErdForm, TPerdForm };
std::optional<ThermalWindowKind> thermalWindowByName(const QString& name);
bool isBatch(ThermalWindowKind kind);
// Whether the window's recipients come from the imported list (excel).
bool readsImportedList(ThermalWindowKind kind);

class LabelSurface;

class ThermalWindow : public QDialog {
  Q_OBJECT
 public:
  ThermalWindow(ThermalWindowKind kind, RecordStore& store, ui::Dialogs& dialogs, QWidget* parent = nullptr);
  ~ThermalWindow() override;

  ThermalWindowKind kind() const { return kind_; }
  bool batch() const { return isBatch(kind_); }

  // The opening steps of the thermal menus: caption and centred; then the
  // window is shown modally through `runModal`.
  void prepare(const QString& caption);
  std::function<void(QDialog*)> runModal = [](QDialog* d) { d->exec(); };
  void open(const QString& caption);

  // Where one of the 38 movable items stands now, layout px on the band.
  QRect itemRect(const QString& name) const;
  QPoint shift() const { return shift_; }
  // The date label's text: "日期" until the first print or preview.
  QString dateText() const { return dateText_; }
  MemoView* memo(int index) const { return memos_[size_t(index - 1)]; }
  RecordSet* recipients() const { return recipients_; }
  OwnRecordSet* ownRecordSet() const { return ownSet_; }

  // The report as "直接打印" and the preview make it, with the date label
  // as it stands.
  std::unique_ptr<ThermalReport> makeReport();

  void printCurrent();
  void previewCurrent();
  void shiftVertical();
  void shiftHorizontal();

  // Where "直接打印" sends the label; the default printer unless a test
  // gives another.
  QString printerName;
  // The preview window; tests look at the report instead.
  std::function<void(const report::Report&, QWidget*)> showPreview = report::previewReport;
  // Today, for the date label.
  std::function<QDate()> today = [] { return QDate::currentDate(); };

 protected:
  bool event(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void buildToolbar();
  void place();
  void refreshMemos();
  void stampDate();
  void shiftBy(QLineEdit* box, QPoint axis);

  ThermalWindowKind kind_;
  RecordStore& store_;
  ui::Dialogs& dialogs_;
  QPoint shift_;
  QString dateText_;
  QLineEdit* vertical_ = nullptr;
  QLineEdit* horizontal_ = nullptr;
  QFrame* bar_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  LabelSurface* surface_ = nullptr;
  std::array<MemoView*, 4> memos_{};
  OwnRecordSet* ownSet_ = nullptr;
  RecordSet* recipients_ = nullptr;
};

}  // namespace waybill
