// Where the ink of every item of the thermal label lands, read back from
// the PDF rasterised at 300 dpi, with the longest ordinary data: inside its
// box (texts grow to the right, so only their left edge is held), whole,
// not covered by a later item's white ground, and off every other item's
// ink.  The city in particular stays clear of the barcode under it.
//
// Each item prints alone on a page of its own, and a last page has them
// all; a second print gives the address boxes room below and to the right
// while keeping the lines that fit the box itself, so that what the box's
// clip cuts off shows as the difference.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>

#include "platform/report/Fonts.h"
#include "platform/report/Report.h"
#include "tests/support/Ink.h"
#include "thermal/ThermalLabel.h"

using namespace waybill;

namespace {

QString worstCase(Role role, const QString& column) {
  const bool sender = role == Role::kSender;
  if (column == "城市") return "石家庄";
  if (column == "运单号") return "SF1234567890123";
  if (column == "姓名") return sender ? "王晓明" : "欧阳娜";
  if (column == "手机") return sender ? "13912345678" : "13800138000";
  if (column == "地址") return sender ? "广东省深圳市南山区科技园南区高新南一道飞亚达大厦十八楼" : "浙江省杭州市西湖区文三路华星时代广场A座一五零一室前台代收件";
  if (column == "内件品名") return "蓝牙耳机及充电配件";
  if (column == "数量") return "12";
  if (column == "备注") return "易碎物品请轻拿轻放";
  if (column == "签名") return "王晓明";
  return {};
}

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

constexpr double kRoom = 30;

const QString& addressOf(int index) {
  // Items 2 and 29 are the recipient's, 3 and 30 the sender's.
  static const QString recipient = worstCase(Role::kRecipient, "地址"), sender = worstCase(Role::kSender, "地址");
  return index % 2 ? recipient : sender;
}

QString printItems(bool roomy, const QString& path) {
  const std::vector<LabelItem>& kinds = labelItems();
  const int count = int(kinds.size());
  LabelContent content;
  content.field = [](Role role, const QString& column) { return worstCase(role, column); };
  content.date = labelDate(QDate(2026, 12, 28));
  const QFont addressFont = kinds[1].font();
  const QRectF addressBox(kinds[1].box);
  content.addressLines = [&](int index) {
    QStringList lines = ThermalReport::addressLines(addressOf(index));
    if (!roomy) return lines;
    const double advance = report::textMetrics(addressFont).height;
    int n = 0;
    for (double top = addressBox.top(); n < lines.size() && report::TextBox::lineFits(addressFont, top, addressBox.bottom());
         top += advance)
      ++n;
    return lines.mid(0, n);
  };
  ThermalReport label(QPoint(0, 0), content);
  auto& items = label.report().items;
  EXPECT_EQ(int(items.size()), count);
  if (roomy)
    for (auto& item : items)
      if (auto* box = dynamic_cast<report::TextBox*>(item.get()); box && !dynamic_cast<report::Label*>(item.get())) {
        box->box.adjust(0, 0, kRoom, kRoom);
        box->background = Qt::transparent;
      }
  Bands bands(count + 1, [&](int band) {
    for (int i = 0; i < count; ++i) items[size_t(i)]->visible = band == i || band == count;
  });
  label.report().source = &bands;
  return report::writePdf(label.report(), path);
}

}  // namespace

TEST(ThermalInk, EveryItemStaysInItsBoxWholeAndOffOtherInk) {
  QTemporaryDir dir;
  const QString real = dir.filePath("real.pdf"), roomy = dir.filePath("roomy.pdf");
  ASSERT_EQ(printItems(false, real), QString());
  ASSERT_EQ(printItems(true, roomy), QString());
  ink::Pdf printed(real), unclipped(roomy);
  const std::vector<LabelItem>& items = labelItems();
  const int count = int(items.size());
  ASSERT_EQ(printed.pages(), count + 1);

  const double tolerance = ink::mmToPx(0.3);
  const int noise = 3;
  std::vector<ink::Mask> alone;
  for (int k = 0; k < count; ++k) {
    const LabelItem& item = items[size_t(k)];
    SCOPED_TRACE(std::to_string(item.number) + " " + item.name);
    const QRectF box(item.box);
    // Texts grow to the right: look far enough for the longest.
    const QRectF region = box.adjusted(-kRoom, -kRoom, 300, 2 * kRoom);
    ink::Mask mine = printed.render(k, region);
    ink::Mask whole = unclipped.render(k, region);
    ink::Mask everything = printed.render(count, region);
    const bool text = item.kind != LabelItemKind::kRule && item.kind != LabelItemKind::kBarcode;
    EXPECT_FALSE(mine.empty()) << "prints nothing";
    EXPECT_LE(whole.missingFrom(mine), noise) << "the box's clip cuts characters the box holds";
    if (!whole.empty()) {
      const QRectF b = whole.bounds();
      EXPECT_LE(b.bottom(), box.bottom() + tolerance) << "ink ends " << b.bottom() - box.bottom() << " px below";
      EXPECT_GE(b.top(), box.top() - tolerance) << "ink starts " << box.top() - b.top() << " px above";
      EXPECT_GE(b.left(), box.left() - tolerance);
      if (item.kind == LabelItemKind::kAddress) EXPECT_LE(b.right(), box.right() + tolerance);
    }
    if (text) EXPECT_LE(mine.missingFrom(everything), noise) << "a later item's ground covers this one's ink";
    alone.push_back(std::move(mine));
  }
  for (size_t i = 0; i < alone.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      EXPECT_EQ(alone[i].common(alone[j]), 0) << items[i].name << " inks over " << items[j].name;
}
