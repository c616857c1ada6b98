// The report on a printer and in the preview window.
#pragma once

#include <QString>

#include "platform/report/Report.h"

class QPrinter;
class QWidget;

namespace report {

// Sets the printer up for the report: a user-defined sheet of the page's
// size in whole tenths of a millimetre, portrait, no margins, one copy, and
// coordinates from the sheet's corner rather than its printable area.
void setUpPrinter(QPrinter& printer, const Report& r);

// Prints to `printerName` (empty: the system's default printer) without a
// dialog.  Returns an error text, empty on success.
QString printReport(const Report& r, const QString& printerName, const Progress& progress = {});

// Draws every band of the report on an open printer, one sheet each.
QString renderToPrinter(const Report& r, QPrinter& printer, const Progress& progress = {});

// The preview window, captioned "打印预览", at normal size with the whole
// page in view; returns when the user closes it.
void previewReport(const Report& r, QWidget* parent);

}  // namespace report
