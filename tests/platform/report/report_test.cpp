// The report engine on its own: bands per record source, the before-print
// event, screen-only items, clipping and line breaking.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include "platform/report/Barcode.h"
#include "platform/report/Fonts.h"
#include "platform/report/Report.h"
#include "platform/report/Units.h"

using namespace report;

namespace {

class Rows : public RecordSource {
 public:
  Rows(bool open, int count) : open_(open), count_(count) {}
  bool isOpen() const override { return open_; }
  int rowCount() const override { return count_; }
  void moveTo(int row) override { visited.push_back(row); }
  std::vector<int> visited;

 private:
  bool open_;
  int count_;
};

QString pdfText(const QString& pdf) {
  QProcess p;
  p.start("pdftotext", {pdf, "-"});
  p.waitForFinished();
  return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

TEST(Report, OneBandPerRowAndExactlyOneWithoutRows) {
  struct Case {
    bool hasSource, open;
    int rows, bands;
  } cases[] = {{false, false, 0, 1}, {true, false, 5, 1}, {true, true, 0, 1}, {true, true, 3, 3}};
  for (const Case& c : cases) {
    Report r;
    Rows rows(c.open, c.rows);
    if (c.hasSource) r.source = &rows;
    int events = 0;
    r.beforePrint = [&] { ++events; };
    EXPECT_EQ(r.bandCount(), c.bands);
    QImage img(10, 10, QImage::Format_RGB32);
    QPainter p(&img);
    for (int b = 0; b < r.bandCount(); ++b) r.renderBand(p, b);
    EXPECT_EQ(events, c.bands);
    if (c.open && c.rows) EXPECT_EQ(rows.visited, (std::vector<int>{0, 1, 2}));
    else EXPECT_TRUE(rows.visited.empty());
  }
}

TEST(Report, ScreenOnlyItemsNeverPrintAndBoxesCutWhatDoesNotFit) {
  QTemporaryDir dir;
  Report r;
  r.page = {2300, 1270};
  auto* pic = r.add<Picture>();
  pic->box = QRectF(0, 0, 869, 475);
  pic->image = QImage(100, 50, QImage::Format_RGB32);
  pic->image.fill(Qt::red);
  auto* box = r.add<TextBox>();
  box->box = QRectF(100, 100, 200, 22);  // one line high
  box->font = QFont("宋体");
  box->font.setPixelSize(15);
  box->setText("alpha\nomega");
  ASSERT_EQ(box->lines.size(), 2);
  QString pdf = dir.filePath("r.pdf");
  ASSERT_TRUE(writePdf(r, pdf).isEmpty());
  QProcess images;
  images.start("pdfimages", {"-list", pdf});
  images.waitForFinished();
  EXPECT_EQ(QString::fromUtf8(images.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).size(), 2);
  QString text = pdfText(pdf);
  EXPECT_TRUE(text.contains("alpha"));
  EXPECT_FALSE(text.contains("omega"));
}

TEST(Report, LinesBreakAtTheBoxWidthInLayoutPixels) {
  QFont f("宋体");
  f.setPixelSize(15);
  f.setBold(true);
  QString text = QString(40, QChar(0x4E2D));  // 40 × 中
  QStringList lines = TextBox::breakLines(text, f, 150);
  ASSERT_GE(lines.size(), 2);
  EXPECT_EQ(lines.join(""), text);
  for (const QString& l : lines) EXPECT_LE(l.size(), 10);
  EXPECT_EQ(TextBox::breakLines("", f, 150).size(), 0);
  EXPECT_EQ(TextBox::breakLines("a\n\nb", f, 150), (QStringList{"a", "", "b"}));
  EXPECT_DOUBLE_EQ(pxToTenthMm(120), 317.5);
  EXPECT_EQ(tenthMmToPx(2299.229), 869);
}

TEST(Barcode, ReadsBackAsItsTextAtThermalResolution) {
  QTemporaryDir dir;
  for (const char* number : {"1234567890", "123456789012345", "SF1234567890", "EMS00123ab"}) {
    Report r;
    r.page = {1000, 400};
    auto* bc = r.add<Barcode>();
    bc->box = QRectF(20, 20, 0, 60);
    bc->text = [number] { return QString::fromLatin1(number); };
    QString pdf = dir.filePath("b.pdf");
    ASSERT_TRUE(writePdf(r, pdf).isEmpty());
    QProcess raster;
    raster.start("pdftoppm", {"-r", "203", "-png", "-singlefile", pdf, dir.filePath("b")});
    raster.waitForFinished();
    QProcess scan;
    scan.start("zbarimg", {"-q", "--raw", dir.filePath("b.png")});
    scan.waitForFinished();
    EXPECT_EQ(QString::fromUtf8(scan.readAllStandardOutput()).trimmed(), QString::fromLatin1(number));
  }
  EXPECT_TRUE(code128("").bars.empty());
  EXPECT_TRUE(code128(QString::fromUtf8("中文")).bars.empty());  // beyond Latin-1: no bars
}

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  installFontSubstitutions();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
