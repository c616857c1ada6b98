// Where the ink of every printed waybill field lands, read back from the PDF
// rasterised at 300 dpi: inside its box, whole, and off every other item's
// ink, for every template in every window, with the longest ordinary data,
// in the layout's fonts and in the fonts a user may set.
//
// Each item prints alone on a page of its own (the branding label on the
// first, slot k on page k, everything on the last), so that its ink is the
// ink of that page.  A second print gives every box room to the right and
// below while keeping the lines that fit in the box itself: what that print
// has and the real one lacks is what the box's clip cut off.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <map>

#include "platform/report/Fonts.h"
#include "platform/report/Report.h"
#include "printing/WaybillReport.h"
#include "tests/support/Ink.h"

using namespace waybill;

namespace {

// The longest values a shop ordinarily prints, per column.
QString worstCase(Role role, const QString& column) {
  static const std::map<QString, QString> common = {
      {"城市", "石家庄"},
      {"邮编", "518057"},
      {"地址", "浙江省杭州市西湖区文三路华星时代广场A座一五零一室前台代收件"},
      {"手机", "13800138000"},
      {"电话", "0755-86001234"},
      {"内件品名", "蓝牙耳机及充电配件"},
      {"数量", "12"},
      {"备注", "易碎物品请轻拿轻放"},
      {"签名", "王晓明"},
      {"年", "2026"},
      {"月", "12"},
      {"日", "28"},
      {"运单号", "SF1234567890123"},
  };
  if (column == "姓名") return role == Role::kSender ? "王晓明" : "欧阳娜";
  if (column == "寄件单位") return "深圳市晨帆网络科技有限公司";
  if (column == "收件单位") return "杭州文三路电子市场有限公司";
  auto it = common.find(column);
  return it == common.end() ? QString() : it->second;
}

// A record source of `count` bands that tells which band is printing.
class Bands : public report::RecordSource {
 public:
  Bands(int count, std::function<void(int)> moved) : count_(count), moved_(std::move(moved)) {}
  bool isOpen() const override { return true; }
  int rowCount() const override { return count_; }
  void moveTo(int row) override { moved_(row); }

 private:
  int count_;
  std::function<void(int)> moved_;
};

// How much room the second print gives each box, px.
constexpr double kRoom = 30;

// The lines of `lines` that stand whole in `box` in `font`.
QStringList fitting(QStringList lines, const QFont& font, const QRectF& box) {
  const double advance = report::textMetrics(font).height;
  int n = 0;
  for (double top = box.top(); n < lines.size() && report::TextBox::lineFits(font, top, box.bottom()); top += advance) ++n;
  return lines.mid(0, n);
}

// Prints `t` one item a page; see the head of this file.
QString printItems(const WaybillTemplate& t, const WaybillLayout& layout, bool roomy, const QString& path) {
  const int slotCount = int(t.fieldSlots.size());
  int band = 0;
  std::vector<QRectF> own;
  WaybillReport r(t, layout, [&](const FieldSlot& s) -> QStringList {
    if (band != s.index && band != slotCount + 1) return {};
    QStringList lines = WaybillReport::memoLines(s, layout, worstCase(s.role, s.column));
    return roomy ? fitting(lines, slotFont(s, layout), own[size_t(s.index - 1)]) : lines;
  });
  for (int i = 0; i < slotCount; ++i) {
    own.push_back(r.box(size_t(i))->box);
    if (roomy) {
      r.box(size_t(i))->box.adjust(0, 0, kRoom, kRoom);
      r.box(size_t(i))->background = Qt::transparent;
    }
  }
  Bands bands(slotCount + 2, [&](int b) {
    band = b;
    r.brandingLabel()->visible = b == 0 || b == slotCount + 1;
  });
  r.report().source = &bands;
  return report::writePdf(r.report(), path);
}

struct Item {
  QString name;
  QRectF box;
  bool hasText;
};

// Every check of one template in one window and layout; failures name the
// item and say by how much.
void checkTemplate(const WaybillTemplate& t, const WaybillLayout& layout, const QTemporaryDir& dir) {
  const QString real = dir.filePath("real.pdf"), roomy = dir.filePath("roomy.pdf");
  ASSERT_EQ(printItems(t, layout, false, real), QString());
  ASSERT_EQ(printItems(t, layout, true, roomy), QString());
  ink::Pdf printed(real), unclipped(roomy);
  ASSERT_TRUE(printed.ok() && unclipped.ok());
  const int slotCount = int(t.fieldSlots.size());
  ASSERT_EQ(printed.pages(), slotCount + 2);

  std::vector<Item> items;
  {
    report::Label label;
    label.font = brandingFont();
    label.box.moveTopLeft(QPointF(t.label + layout.shift));
    label.setCaption(brandingCaption());
    items.push_back({"branding label", label.box, true});
  }
  for (const FieldSlot& s : t.fieldSlots)
    items.push_back({QStringLiteral("slot %1 %2").arg(s.index).arg(s.column), QRectF(s.box.translated(layout.shift)),
                     !worstCase(s.role, s.column).isEmpty()});

  const double tolerance = ink::mmToPx(0.3);
  const int noise = 3;  // device pixels where anti-aliased edges may differ
  std::vector<ink::Mask> alone;
  for (int k = 0; k <= slotCount; ++k) {
    const Item& item = items[size_t(k)];
    SCOPED_TRACE(item.name.toStdString());
    const QRectF region = item.box.adjusted(-kRoom, -kRoom, 2 * kRoom, 2 * kRoom);
    ink::Mask mine = printed.render(k, region);
    ink::Mask whole = unclipped.render(k, region);
    ink::Mask everything = printed.render(slotCount + 1, region);
    if (item.hasText) {
      EXPECT_FALSE(mine.empty()) << "prints nothing";
    }
    EXPECT_LE(whole.missingFrom(mine), noise) << "the box's clip cuts characters the box holds";
    if (!whole.empty()) {
      const QRectF b = whole.bounds();
      EXPECT_LE(b.bottom(), item.box.bottom() + tolerance) << "ink ends " << b.bottom() - item.box.bottom() << " px below";
      EXPECT_GE(b.top(), item.box.top() - tolerance) << "ink starts " << item.box.top() - b.top() << " px above";
      EXPECT_GE(b.left(), item.box.left() - tolerance);
      EXPECT_LE(b.right(), item.box.right() + tolerance) << "ink ends " << b.right() - item.box.right() << " px right";
    }
    EXPECT_LE(mine.missingFrom(everything), noise) << "another item covers this one's ink";
    alone.push_back(std::move(mine));
  }
  for (size_t i = 0; i < alone.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      EXPECT_EQ(alone[i].common(alone[j]), 0) << items[i].name.toStdString() << " inks over "
                                                << items[j].name.toStdString();
}

WaybillLayout userFont(const char* family, int points, bool bold) {
  WaybillLayout layout;
  QFont f(QString::fromUtf8(family));
  f.setPointSize(points);
  f.setBold(bold);
  layout.slotFont = f;
  return layout;
}

}  // namespace

TEST(Ink, EveryFieldOfEveryTemplateInEveryWindowStaysInItsBoxWholeAndOffOtherInk) {
  QTemporaryDir dir;
  for (PrintWindowKind w : kPrintWindows)
    for (int n = 1; n <= 36; ++n) {
      SCOPED_TRACE(std::string(windowName(w)) + " template " + std::to_string(n));
      checkTemplate(Catalogue::builtIn().get(w, n), {}, dir);
    }
}

// The fonts a user sets with "设置字体", up to 14 pt, in the face that
// draws 宋体 (so laid out with 宋体's metrics) and in one with metrics of
// its own.
TEST(Ink, FontsAUserSetsUpTo14PointFitEveryBox) {
  QTemporaryDir dir;
  const WaybillLayout layouts[] = {userFont("Noto Serif CJK SC", 12, false), userFont("Noto Serif CJK SC", 14, true),
                                   userFont("Noto Sans CJK SC", 14, false), userFont("DejaVu Sans", 12, false)};
  for (const WaybillLayout& layout : layouts)
    for (int n = 1; n <= 36; ++n) {
      SCOPED_TRACE(layout.slotFont->family().toStdString() + " " + std::to_string(layout.slotFont->pointSize()) +
                   " pt, template " + std::to_string(n));
      checkTemplate(Catalogue::builtIn().get(PrintWindowKind::TDdForm, n), layout, dir);
    }
}

// A 15 px 宋体 line's ideographs begin where SimSun's do: its baseline lies
// 0.859375 em below the line's top and a full-height ideograph rises about
// 0.80 em above it, so the ink starts about 0.06 em (0.9 px) below the top.
TEST(Ink, A15PixelSongLineInksWhereSimSunWould) {
  QTemporaryDir dir;
  const QString path = dir.filePath("song.pdf");
  report::Report r;
  r.page = {1000, 400};
  auto* box = r.add<report::TextBox>();
  box->box = QRectF(100, 50, 200, 22);
  box->font = QFont(QStringLiteral("宋体"));
  box->font.setPixelSize(15);
  box->font.setBold(true);
  box->lines = {QStringLiteral("国圆园回图")};
  ASSERT_EQ(report::writePdf(r, path), QString());
  ink::Pdf pdf(path);
  ink::Mask m = pdf.render(0, box->box.adjusted(-10, -10, 10, 10));
  ASSERT_FALSE(m.empty());
  const double expected = box->box.top() + (0.859375 - 0.80) * 15;
  EXPECT_NEAR(m.bounds().top(), expected, ink::mmToPx(0.3));
  // And the line ends inside its 1 em: the ideographs sit on the baseline.
  EXPECT_LE(m.bounds().bottom(), box->box.top() + 15 + ink::mmToPx(0.3));
}
