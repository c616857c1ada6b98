// Waybills rendered to PDF by `waybill print` and read back by poppler's
// tools: page size, the place of every field, pages per batch, no picture.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <map>

#include "platform/jet/database.h"
#include "platform/report/Report.h"
#include "platform/report/Units.h"
#include "printing/WaybillReport.h"
#include "records/waybill_schema.h"
#include "tests/support/EmBox.h"
#include "tests/support/PdfTools.h"

using namespace waybill;
using pdftools::run;
using pdftools::Word;
using pdftools::words;

namespace {

// Tokens of letters only: poppler does not give back some digit glyphs of
// the CJK face (they print, as pdftoppm shows, but have no text mapping).
// The date columns stand in boxes two characters wide.
QString senderToken(int column) {
  return QStringLiteral("S") + QChar('a' + column) + (column >= 9 ? QString() : QStringLiteral("q"));
}
QString recipientToken(int column, int row) { return QStringLiteral("R") + QChar('a' + column) + QChar('k' + row); }

constexpr double kPtPerPx = 0.75;
constexpr double kTolerancePt = 0.2 * 72 / 25.4;  // 0.2 mm

class WaybillPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    db = dir.filePath("data.mdb");
    ASSERT_TRUE(jet::Database::create(db.toStdString(), kDatabasePassword, databaseSchema()).ok());
  }
  // A sender and recipients whose every column holds its own token.
  void seed(int recipients, const char* table = "inr") {
    auto d = std::move(jet::Database::open(db.toStdString(), kDatabasePassword)).value();
    std::vector<jet::Value> s;
    for (size_t c = 0; c < senderColumns().size(); ++c) s.push_back(jet::Value::text(senderToken(int(c)).toStdString()));
    ASSERT_TRUE(d->append("outr", s).ok());
    for (int r = 0; r < recipients; ++r) {
      std::vector<jet::Value> v;
      for (size_t c = 0; c < recipientColumns().size(); ++c)
        v.push_back(jet::Value::text(recipientToken(int(c), r).toStdString()));
      ASSERT_TRUE(d->append(table, v).ok());
    }
  }
  QString print(const char* window, int number, QStringList extra = {}) {
    QString pdf = dir.filePath(QStringLiteral("%1-%2.pdf").arg(window).arg(number));
    int status = -1;
    QString out = run(WAYBILL, QStringList{"print", "--window", window, "--template", QString::number(number), "--pdf",
                                           pdf, "--db", db} + extra,
                      &status);
    EXPECT_EQ(status, 0) << out.toStdString();
    return pdf;
  }
  QString token(const FieldSlot& s, int row = 0) {
    const auto& cols = s.role == Role::kSender ? senderColumns() : recipientColumns();
    int c = int(std::find(cols.begin(), cols.end(), s.column.toStdString()) - cols.begin());
    return s.role == Role::kSender ? senderToken(c) : recipientToken(c, row);
  }
  QTemporaryDir dir;
  QString db;
};

}  // namespace

TEST_F(WaybillPdf, EveryFieldStandsInItsBoxOnAPageOfTheTemplatesSize) {
  seed(1);
  struct Case {
    const char* window;
    int number;
  } cases[] = {{"TDdForm", 1}, {"TDdForm", 9}, {"TDdForm", 15}, {"TPdForm", 14}, {"TEddForm", 12}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.window) + " " + std::to_string(c.number));
    if (std::string(c.window) == "TEddForm") seed(0), seed(1, "excel");
    QString pdf = print(c.window, c.number);
    const WaybillTemplate& t = Catalogue::builtIn().get(*windowByName(c.window), c.number);
    // The page: exactly the paper asked for.
    QString info = run("pdfinfo", {"-box", pdf});
    QRegularExpression media(R"(MediaBox:\s+([\d.]+)\s+([\d.]+)\s+([\d.]+)\s+([\d.]+))");
    auto m = media.match(info);
    ASSERT_TRUE(m.hasMatch()) << info.toStdString();
    QSize paper = t.paperTenthMm();
    EXPECT_NEAR(m.captured(3).toDouble(), paper.width() / 254.0 * 72, 0.01);
    EXPECT_NEAR(m.captured(4).toDouble(), paper.height() / 254.0 * 72, 0.01);
    // No picture reaches the paper.
    EXPECT_EQ(run("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts).size(), 2);
    // Each slot's token at its box's left and top.
    std::vector<Word> found = words(pdf);
    for (const FieldSlot& s : t.fieldSlots) {
      QString want = token(s);
      bool placed = false;
      const double top = pdftools::emTopPx(slotFont(s, {}), s.box.top());
      for (const Word& w : found)
        if (w.text == want && std::abs(w.xMin - s.box.left() * kPtPerPx) <= kTolerancePt &&
            std::abs(w.yMin - top * kPtPerPx) <= kTolerancePt)
          placed = true;
      EXPECT_TRUE(placed) << "slot " << s.index << " " << s.column.toStdString() << " (" << want.toStdString() << ") at "
                          << s.box.left() << "," << s.box.top();
    }
    bool branded = false;
    const double labelTop = pdftools::emTopPx(brandingFont(), t.label.y());
    for (const Word& w : found)
      if (w.text.startsWith("晨帆快递单打印软件") && std::abs(w.xMin - t.label.x() * kPtPerPx) <= kTolerancePt &&
          std::abs(w.yMin - labelTop * kPtPerPx) <= kTolerancePt)
        branded = true;
    EXPECT_TRUE(branded);
    // 宋体 prints in a Song face and 华文新魏 in a brush face, never in Kai for 宋体.
    QString fonts = run("pdffonts", {pdf});
    EXPECT_TRUE(fonts.contains("NotoSerifCJK") || fonts.contains("UMing")) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains("UKai")) << fonts.toStdString();
  }
  // Template 14's recipient 电话 from TPdForm: 640 px, 169.3 mm from the edge.
  EXPECT_NEAR(report::pxToMm(640), 169.33, 0.01);
}

TEST_F(WaybillPdf, ABatchPrintsOneSheetPerRowWithTheSameSender) {
  seed(3);
  std::vector<Word> found = words(print("TPdForm", 9));
  std::map<int, std::vector<QString>> byPage;
  for (const Word& w : found) byPage[w.page].push_back(w.text);
  ASSERT_EQ(byPage.size(), 3u);
  for (int p = 0; p < 3; ++p) {
    EXPECT_NE(std::find(byPage[p].begin(), byPage[p].end(), "Saq"), byPage[p].end()) << p;  // the sender's name
    EXPECT_NE(std::find(byPage[p].begin(), byPage[p].end(), recipientToken(0, p)), byPage[p].end()) << p;
  }
}

TEST_F(WaybillPdf, AnEmptyListStillGivesOneSheetWithTheSender) {
  seed(0);
  QString pdf = print("TPdForm", 1);
  EXPECT_TRUE(run("pdfinfo", {pdf}).contains(QRegularExpression(R"(Pages:\s+1\b)")));
  std::vector<Word> found = words(pdf);
  EXPECT_TRUE(std::any_of(found.begin(), found.end(), [](const Word& w) { return w.text == "Saq"; }));
  EXPECT_FALSE(std::any_of(found.begin(), found.end(), [](const Word& w) { return w.text.startsWith("R"); }));
}

TEST_F(WaybillPdf, AWrappedAddressBreaksWhereTheLineBreakingRoutineBreaksIt) {
  auto d = std::move(jet::Database::open(db.toStdString(), kDatabasePassword)).value();
  const QString address = "浙江省杭州市西湖区文三路478号华星时代广场A座1501室请放门卫处谢谢配合收件人不在时请电话联系并改日再送";
  std::vector<jet::Value> r(11, jet::Value::text(""));
  r[4] = jet::Value::text(address.toStdString());
  ASSERT_TRUE(d->append("inr", r).ok());
  d.reset();
  const WaybillTemplate& t = Catalogue::builtIn().get(PrintWindowKind::TDdForm, 1);
  const FieldSlot& slot = t.fieldSlots[10];  // R:地址, two lines high
  QStringList lines = report::TextBox::breakLines(address, slotFont(slot, {}), slot.box.width());
  ASSERT_GE(lines.size(), 3);  // longer than the box: the third line is cut off
  std::vector<Word> found = words(print("TDdForm", 1));
  QStringList printed;
  for (const Word& w : found)
    if (w.xMin >= slot.box.left() * kPtPerPx - 1 && w.yMin >= pdftools::emTopPx(slotFont(slot, {}), slot.box.top()) * kPtPerPx - 1 &&
        w.yMax <= (slot.box.bottom() + 8) * kPtPerPx)
      printed << w.text;
  // pdftotext may show some characters as compatibility forms; compare the
  // count of characters per line and the line ends, which are digits here.
  ASSERT_EQ(printed.size(), 2) << printed.join("|").toStdString();
  EXPECT_EQ(printed[0].size(), lines[0].size());
  EXPECT_EQ(printed[1].size(), lines[1].size());
  EXPECT_EQ(printed[0].right(3), lines[0].right(3));
}
