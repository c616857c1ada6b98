// Thermal labels rendered to PDF by `waybill print` and read back from
// outside: poppler's tools for the page and the place of every text, zbar
// for the barcodes, rasterised at a thermal printer's 203 dpi.
#include <gtest/gtest.h>

#include <QDate>
#include <QTemporaryDir>
#include <map>

#include "platform/jet/database.h"
#include "records/waybill_schema.h"
#include "tests/support/EmBox.h"
#include "tests/support/PdfTools.h"
#include "thermal/ThermalLabel.h"

using namespace waybill;
using pdftools::run;
using pdftools::Word;

namespace {

constexpr double kPtPerPx = 0.75;
constexpr double kTolerancePt = 0.2 * 72 / 25.4;  // 0.2 mm

int columnOf(const std::vector<std::string>& columns, const char* name) {
  return int(std::find(columns.begin(), columns.end(), std::string(name)) - columns.begin());
}

// Letter tokens: poppler gives no text back for some digit glyphs of the
// CJK faces, so the columns the layout places hold letters.
QString senderToken(int column) { return QStringLiteral("S") + QChar('a' + column) + QStringLiteral("q"); }
QString recipientToken(int column, int row) { return QStringLiteral("R") + QChar('a' + column) + QChar('k' + row); }

class ThermalPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    db = dir.filePath("data.mdb");
    ASSERT_TRUE(jet::Database::create(db.toStdString(), kDatabasePassword, databaseSchema()).ok());
  }
  void append(const char* table, const std::vector<QString>& values) {
    auto d = std::move(jet::Database::open(db.toStdString(), kDatabasePassword)).value();
    std::vector<jet::Value> v;
    for (const QString& s : values) v.push_back(jet::Value::text(s.toStdString()));
    ASSERT_TRUE(d->append(table, v).ok());
  }
  void seedSender() {
    std::vector<QString> s;
    for (size_t c = 0; c < senderColumns().size(); ++c) s.push_back(senderToken(int(c)));
    append("outr", s);
  }
  // A recipient whose every column holds its own token, but the waybill
  // number where one is given.
  void seedRecipient(const char* table, int row, const QString& waybill = {}) {
    std::vector<QString> v;
    for (size_t c = 0; c < recipientColumns().size(); ++c) v.push_back(recipientToken(int(c), row));
    if (!waybill.isNull()) v[size_t(columnOf(recipientColumns(), "运单号"))] = waybill;
    append(table, v);
  }
  QString print(const char* window) {
    QString pdf = dir.filePath(QStringLiteral("%1.pdf").arg(window));
    int status = -1;
    QString out = run(WAYBILL, {"print", "--window", window, "--pdf", pdf, "--db", db}, &status);
    EXPECT_EQ(status, 0) << out.toStdString();
    return pdf;
  }
  // What zbar reads in a strip of `page` (1-based), band pixels from `top`
  // to `bottom`, rasterised at 203 dpi.
  QStringList decode(const QString& pdf, int page, int top, int bottom) {
    const double scale = 203.0 / 96.0;
    QString png = dir.filePath(QStringLiteral("strip-%1-%2").arg(page).arg(top));
    run("pdftoppm", {"-r", "203", "-gray", "-png", "-singlefile", "-f", QString::number(page), "-l",
                     QString::number(page), "-x", "0", "-y", QString::number(int(top * scale)), "-W", "800", "-H",
                     QString::number(int((bottom - top) * scale)), pdf, png});
    QString out = run("zbarimg", {"-q", "--raw", png + ".png"});
    QStringList read;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts))
      if (!line.startsWith("Connection")) read << line;
    return read;
  }
  QTemporaryDir dir;
  QString db;
};

// The text each item prints for the sender and recipient row `row`.
QString expectedText(const LabelItem& item, int row, const QString& date) {
  const QString column = QString::fromUtf8(item.content);
  const auto& columns = item.role == Role::kSender ? senderColumns() : recipientColumns();
  switch (item.kind) {
    case LabelItemKind::kData:
    case LabelItemKind::kAddress: {
      int c = columnOf(columns, item.content);
      return item.role == Role::kSender ? senderToken(c) : recipientToken(c, row);
    }
    case LabelItemKind::kLabel: return column;
    case LabelItemKind::kDate: return date;
    case LabelItemKind::kBranding: return brandingCaption();
    default: return {};
  }
}

}  // namespace

TEST_F(ThermalPdf, ABatchOfThreeRowsGivesThreeLabelsWithEveryTextInItsPlace) {
  seedSender();
  for (int r = 0; r < 3; ++r) seedRecipient("inr", r);
  const QString before = labelDate(QDate::currentDate());
  const QString pdf = print("TPrdForm");
  const QString after = labelDate(QDate::currentDate());
  // Three pages of 100.01 x 180.45 mm.
  ASSERT_EQ(pdftools::pageCount(pdf), 3);
  QString info = run("pdfinfo", {"-f", "1", "-l", "3", pdf});
  EXPECT_EQ(info.count(QRegularExpression(R"(size:\s+283\.5 x 511\.5 pts)")), 3) << info.toStdString();
  EXPECT_NEAR(283.5 * 25.4 / 72, 100.01, 0.005);
  EXPECT_NEAR(511.5 * 25.4 / 72, 180.45, 0.005);
  // The stock's picture never prints.
  EXPECT_EQ(run("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts).size(), 2);

  std::map<int, std::vector<Word>> pages;
  for (const Word& w : pdftools::words(pdf)) pages[w.page].push_back(w);
  ASSERT_EQ(pages.size(), 3u);
  QString date;
  for (const Word& w : pages[0])
    if (w.text == before || w.text == after) date = w.text;
  ASSERT_FALSE(date.isEmpty()) << "no print date on the first label";
  for (int page = 0; page < 3; ++page) {
    for (const LabelItem& item : labelItems()) {
      QString want = expectedText(item, page, date);
      if (want.isEmpty()) continue;
      bool placed = std::any_of(pages[page].begin(), pages[page].end(), [&](const Word& w) {
        return w.text.normalized(QString::NormalizationForm_KC) == want.normalized(QString::NormalizationForm_KC) &&
               std::abs(w.xMin - item.box.left() * kPtPerPx) <= kTolerancePt &&
               std::abs(w.yMin - pdftools::emTopPx(item.font(), item.box.top()) * kPtPerPx) <= kTolerancePt;
      });
      EXPECT_TRUE(placed) << "page " << page + 1 << " item " << item.number << " " << item.name << " ("
                          << want.toStdString() << ") at " << item.box.left() << "," << item.box.top();
    }
  }
}

TEST_F(ThermalPdf, BothBarcodesOfEveryLabelReadBackAsTheWaybillNumber) {
  seedSender();
  const QStringList numbers = {"1234567890",   "12345678901",  "123456789012", "1234567890123",
                               "12345678901234", "123456789012345", "SF1234567890", "YT2026121199A"};
  for (int r = 0; r < numbers.size(); ++r) seedRecipient("inr", r, numbers[r]);
  const QString pdf = print("TPrdForm");
  ASSERT_EQ(pdftools::pageCount(pdf), numbers.size());
  for (int r = 0; r < numbers.size(); ++r) {
    SCOPED_TRACE(numbers[r].toStdString());
    // The large symbol of the main part (100 to 156 px) and the small one
    // above the divider (440 to 469 px), each read on its own.
    EXPECT_EQ(decode(pdf, r + 1, 90, 166), QStringList{numbers[r]});
    EXPECT_EQ(decode(pdf, r + 1, 430, 476), QStringList{numbers[r]});
  }
}

TEST_F(ThermalPdf, AnEmptyOrUnencodableNumberDrawsNoBarsButItsTextStillPrints) {
  seedSender();
  seedRecipient("excel", 0, "");
  seedRecipient("excel", 1, QStringLiteral("运单号甲"));
  const QString pdf = print("TPerdForm");
  ASSERT_EQ(pdftools::pageCount(pdf), 2);
  for (int page = 1; page <= 2; ++page) EXPECT_TRUE(decode(pdf, page, 0, 681).isEmpty()) << page;
  const LabelItem* figures = findLabelItem("QRDBText3");
  bool printed = false;
  for (const Word& w : pdftools::words(pdf))
    if (w.page == 1 && w.text == QStringLiteral("运单号甲") && std::abs(w.xMin - figures->box.left() * kPtPerPx) <= kTolerancePt)
      printed = true;
  EXPECT_TRUE(printed);
}

TEST_F(ThermalPdf, AnEmptyTableOrNoCurrentRowGivesOneLabelWithTheSenderAndNoRecipient) {
  seedSender();
  for (const char* window : {"TPerdForm", "TErdForm", "TRddForm"}) {
    SCOPED_TRACE(window);
    const QString pdf = print(window);
    EXPECT_EQ(pdftools::pageCount(pdf), 1);
    std::vector<Word> found = pdftools::words(pdf);
    auto has = [&](const QString& t) { return std::any_of(found.begin(), found.end(), [&](const Word& w) { return w.text == t; }); };
    EXPECT_TRUE(has(senderToken(columnOf(senderColumns(), "姓名"))));
    EXPECT_TRUE(has(QStringLiteral("收件签字：")));
    EXPECT_FALSE(std::any_of(found.begin(), found.end(), [](const Word& w) { return w.text.startsWith("R"); }));
  }
}
