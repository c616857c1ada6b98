#include "platform/report/Output.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>

namespace report {

void setUpPrinter(QPrinter& printer, const Report& r) {
  printer.setFullPage(true);
  printer.setCopyCount(1);
  printer.setDuplex(QPrinter::DuplexNone);
  printer.setPaperSource(QPrinter::Auto);
  QPageSize size(r.paperMm(), QPageSize::Millimeter, QStringLiteral("Custom"), QPageSize::ExactMatch);
  printer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

QString renderToPrinter(const Report& r, QPrinter& printer, const Progress& progress) {
  QPainter p;
  if (!p.begin(&printer)) return QStringLiteral("the printer %1 cannot print").arg(printer.printerName());
  // Layout pixels to device pixels; (0, 0) is the sheet's corner because
  // the printer prints the full page.
  const double scale = printer.resolution() / 96.0;
  const int total = r.bandCount();
  for (int band = 0; band < total; ++band) {
    if (band > 0) printer.newPage();
    p.save();
    p.scale(scale, scale);
    r.renderBand(p, band);
    p.restore();
    if (progress && !progress(band + 1, total)) {
      printer.abort();
      p.end();
      return QStringLiteral("cancelled");
    }
  }
  p.end();
  return {};
}

QString printReport(const Report& r, const QString& printerName, const Progress& progress) {
  QString name = printerName.isEmpty() ? QPrinterInfo::defaultPrinterName() : printerName;
  if (name.isEmpty()) return QStringLiteral("no default printer is set up");
  if (QPrinterInfo::printerInfo(name).isNull()) return QStringLiteral("there is no printer named %1").arg(name);
  QPrinter printer(QPrinter::HighResolution);
  printer.setPrinterName(name);
  setUpPrinter(printer, r);
  return renderToPrinter(r, printer, progress);
}

void previewReport(const Report& r, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  setUpPrinter(printer, r);
  QPrintPreviewDialog dialog(&printer, parent);
  dialog.setWindowTitle(QStringLiteral("打印预览"));
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&r](QPrinter* pr) { renderToPrinter(r, *pr); });
  if (auto* view = dialog.findChild<QPrintPreviewWidget*>()) view->fitInView();
  dialog.exec();
}

}  // namespace report
