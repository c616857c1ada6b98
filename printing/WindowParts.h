// The pieces the print windows and the label windows share: the toolbar
// panel and its buttons, the "调整打印位置" group, reading an offset box,
// and printing a report with a progress window.
#pragma once

#include <QPoint>
#include <QString>
#include <optional>

#include "platform/report/Report.h"
#include "platform/ui/Dialogs.h"

class QFrame;
class QGroupBox;
class QLineEdit;
class QToolButton;
class QWidget;

namespace waybill {

// The 79 px panel across the top of a window.
QFrame* makeToolbarPanel(QWidget* window, int width);
// A 73 x 73 flat button with a picture above its caption.
QToolButton* addToolbarButton(QFrame* bar, const char* name, int left, const QString& caption, const QString& art);

struct AdjustmentGroup {
  QGroupBox* group;
  QLineEdit* vertical;   // Edit1
  QLineEdit* horizontal; // Edit2
  QToolButton* verticalOk;
  QToolButton* horizontalOk;
};
// The group "调整打印位置" at `at`, 435 x 57; the two "确定" buttons get the
// given object names.
AdjustmentGroup makeAdjustmentGroup(QFrame* bar, QPoint at, const char* verticalOk, const char* horizontalOk);

// The offset in `box`: nothing for an empty box, and nothing after showing
// the conversion error in the standard error box.
std::optional<int> readOffset(const QLineEdit* box, ui::Dialogs& dialogs);

// "直接打印": the report to `printerName` (empty: the default printer)
// without a printer dialog, with a progress window that can cancel a long
// batch; a failure goes to the standard error box.
void printWithProgress(const report::Report& r, const QString& printerName, QWidget* window, ui::Dialogs& dialogs);

}  // namespace waybill
