// "直接打印" through a real CUPS queue: the cups-pdf printer that
// tools/cups-setup.sh makes the default.  The sheet is the template's size,
// and the fields stand where the direct PDF of the same report puts them,
// measured from the sheet's corner.
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include "platform/report/Report.h"
#include "printing/RecordSetSource.h"
#include "tests/gui/GuiFixture.h"
#include "tests/support/CupsPdf.h"
#include "tests/support/PdfTools.h"

using namespace guitest;
using namespace waybill;

namespace {

QSizeF pageSizePt(const QString& pdf) {
  auto m = QRegularExpression(R"re(Page size:\s+([\d.]+) x ([\d.]+) pts)re").match(pdftools::run("pdfinfo", {pdf}));
  return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

QImage raster(const QString& pdf, int page, const QString& stem) {
  pdftools::run("pdftoppm", {"-r", "150", "-gray", "-png", "-singlefile", "-f", QString::number(page), "-l",
                      QString::number(page), pdf, stem});
  return QImage(stem + ".png").convertToFormat(QImage::Format_Grayscale8);
}

// The shift (in pixels at 150 dpi) that best lays `b`'s ink over `a`'s,
// and how much ink is left unmatched then.  Glyphs rasterise a little
// differently through CUPS (its fonts are re-embedded), so some ink never
// matches; a field in the wrong place leaves much more, or a larger shift.
struct Fit {
  int dx = 0, dy = 0;
  double unmatched = 1;
};
Fit bestFit(const QImage& a, const QImage& b) {
  const int w = std::min(a.width(), b.width()) - 12, h = std::min(a.height(), b.height()) - 12;
  auto ink = [](const QImage& img, int x, int y) { return img.constScanLine(y)[x] < 128; };
  long total = 0;
  for (int y = 6; y < h; ++y)
    for (int x = 6; x < w; ++x) total += ink(a, x, y);
  Fit best;
  if (total == 0) return best;
  for (int dy = -6; dy <= 6; ++dy)
    for (int dx = -6; dx <= 6; ++dx) {
      long miss = 0;
      for (int y = 6; y < h; y += 2)
        for (int x = 6; x < w; x += 2)
          if (ink(a, x, y) != ink(b, x + dx, y + dy)) ++miss;
      double frac = double(miss) * 4 / double(total);
      if (frac < best.unmatched) best = {dx, dy, frac};
    }
  return best;
}

}  // namespace

class CupsPrint : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (QPrinterInfo::defaultPrinterName() != "CUPS-PDF") GTEST_SKIP() << "no cups-pdf default printer (tools/cups-setup.sh)";
  }
  // Prints with the window's button and returns what CUPS made of it, and
  // the direct PDF of the same report.
  std::pair<QString, QString> printBoth(PrintWindow* w, int number) {
    const WaybillTemplate& t = w->templateOf(number);
    w->runModal = [](QDialog*) {};
    w->open(t.caption, number, t.windowHeight);
    QDateTime since = QDateTime::currentDateTime().addSecs(-1);
    QThread::msleep(1100);
    w->findChild<QToolButton*>("SpeedButton2")->click();
    QString cups = pdftools::awaitCupsPdf(since);
    auto r = w->makeReport(number);
    RecordSetSource source(w->recipients());
    if (w->batch()) r->report().source = &source;
    QString direct = dir.filePath(QStringLiteral("direct-%1.pdf").arg(number));
    EXPECT_TRUE(report::writePdf(r->report(), direct).isEmpty());
    return {cups, direct};
  }
};

TEST_F(CupsPrint, DirectPrintOfOneWaybillFromTDdForm) {
  seed("outr", {{"晨帆网店", "广州", "晨帆电子商务有限公司", "510000", "广州市天河区体育西路1号", "13600001111",
                 "020-38880000", "王芳", "", "2026", "12", "11"}});
  seed("inr", {{"张伟", "杭州", "杭州西湖贸易有限公司", "310012", "杭州市西湖区文三路478号", "13800138000",
                "0571-88886666", "茶叶", "2", "", "工作日送达"}});
  start();
  auto [cups, direct] = printBoth(window->TDdForm(), 1);
  ASSERT_FALSE(cups.isEmpty()) << "cups-pdf wrote nothing";
  EXPECT_EQ(pdftools::pageCount(cups), 1);
  // 230 x 127 mm; cups-pdf gives custom sizes in whole points (651 x 360).
  QSizeF size = pageSizePt(cups);
  EXPECT_NEAR(size.width() * 25.4 / 72, 230.0, 0.5);
  EXPECT_NEAR(size.height() * 25.4 / 72, 127.0, 0.5);
  Fit fit = bestFit(raster(direct, 1, dir.filePath("d")), raster(cups, 1, dir.filePath("c")));
  // Within 0.5 mm (2.95 px at 150 dpi) of the direct PDF, from the corner.
  EXPECT_LE(std::abs(fit.dx), 2);
  EXPECT_LE(std::abs(fit.dy), 2);
  EXPECT_LT(fit.unmatched, 0.6) << fit.dx << "," << fit.dy;
}

TEST_F(CupsPrint, BatchPrintOfThreeWaybillsFromTPdForm) {
  seed("outr", {{"晨帆网店", "广州", "晨帆电子商务有限公司", "510000", "广州市天河区体育西路1号", "13600001111",
                 "020-38880000", "王芳", "", "2026", "12", "11"}});
  seed("inr", {{"张伟", "杭州", "", "", "杭州市西湖区文三路478号", "13800138000", "", "茶叶", "1", "", ""},
               {"李娜", "上海", "", "", "上海市浦东新区世纪大道100号", "13912345678", "", "书籍", "2", "", ""},
               {"王强", "北京", "", "", "北京市朝阳区建国路88号", "13700001111", "", "衣服", "3", "", ""}});
  start();
  auto [cups, direct] = printBoth(window->TPdForm(), 9);
  ASSERT_FALSE(cups.isEmpty()) << "cups-pdf wrote nothing";
  EXPECT_EQ(pdftools::pageCount(cups), 3);
  QSizeF size = pageSizePt(cups);
  EXPECT_NEAR(size.width() * 25.4 / 72, 229.9, 0.5);
  EXPECT_NEAR(size.height() * 25.4 / 72, 150.5, 0.5);
  for (int page = 1; page <= 3; ++page) {
    Fit fit = bestFit(raster(direct, page, dir.filePath("d")), raster(cups, page, dir.filePath("c")));
    EXPECT_LE(std::abs(fit.dx), 2) << page;
    EXPECT_LE(std::abs(fit.dy), 2) << page;
    EXPECT_LT(fit.unmatched, 0.6) << page;
  }
}

TEST_F(CupsPrint, BatchPrintOfThreeThermalLabelsFromTPrdForm) {
  seed("outr", {{"晨帆网店", "", "", "", "广州市天河区体育西路1号", "13600001111", "", "王芳", "", "", "", ""}});
  seed("inr", {{"张伟", "杭州", "", "", "杭州市西湖区文三路478号", "13800138000", "", "茶叶", "1", "268800000001", ""},
               {"李娜", "上海", "", "", "上海市浦东新区世纪大道100号", "13912345678", "", "书籍", "2", "268800000002", ""},
               {"王强", "北京", "", "", "北京市朝阳区建国路88号", "13700001111", "", "衣服", "3", "SF1234567890", ""}});
  start();
  ThermalWindow* w = window->thermalWindows()[1];
  ASSERT_EQ(w->kind(), ThermalWindowKind::TPrdForm);
  w->runModal = [](QDialog*) {};
  w->open("热敏快递单模板");
  QDateTime since = QDateTime::currentDateTime().addSecs(-1);
  QThread::msleep(1100);
  w->findChild<QToolButton*>("SpeedButton5")->click();
  QString cups = pdftools::awaitCupsPdf(since);
  ASSERT_FALSE(cups.isEmpty()) << "cups-pdf wrote nothing";
  EXPECT_EQ(pdftools::pageCount(cups), 3);
  QSizeF size = pageSizePt(cups);
  EXPECT_NEAR(size.width() * 25.4 / 72, 100.01, 0.5);
  EXPECT_NEAR(size.height() * 25.4 / 72, 180.45, 0.5);
  // The same labels as the direct PDF of the report, the date included.
  auto label = w->makeReport();
  RecordSetSource source(w->recipients());
  label->report().source = &source;
  QString direct = dir.filePath("direct-label.pdf");
  ASSERT_TRUE(report::writePdf(label->report(), direct).isEmpty());
  for (int page = 1; page <= 3; ++page) {
    Fit fit = bestFit(raster(direct, page, dir.filePath("d")), raster(cups, page, dir.filePath("c")));
    EXPECT_LE(std::abs(fit.dx), 2) << page;
    EXPECT_LE(std::abs(fit.dy), 2) << page;
    EXPECT_LT(fit.unmatched, 0.6) << page;
  }
}
