#include "thermal/ThermalLabel.h"

#include <QPainter>

#include "platform/report/Barcode.h"
#include "platform/report/Fonts.h"
#include "templates/WaybillTemplate.h"
#include "thermal/LabelStock.h"

namespace waybill {

namespace {

constexpr Role R = Role::kRecipient;
constexpr Role S = Role::kSender;
using K = LabelItemKind;

// Number, name, kind, record, column or text, box (left, top, width,
// height), font family, size, size in pixels rather than points, bold.
// The widths of texts are those of their design texts; they grow to the
// right to fit what they print.
const std::vector<LabelItem> kItems = {
    {1, "QRHRule1", K::kRule, S, "", {24, 64, 329, 9}, "", 0, false, false},
    {2, "QRRichText1", K::kAddress, R, "地址", {64, 196, 289, 45}, "宋体", 13, true, false},
    {3, "QRRichText2", K::kAddress, S, "地址", {64, 268, 289, 45}, "宋体", 13, true, false},
    {4, "QRDBText1", K::kData, R, "城市", {136, 70, 63, 30}, "黑体", 22, false, true},
    {5, "QRDBText2", K::kBarcode, R, "运单号", {96, 100, 163, 56}, "宋体", 11, false, false},
    {6, "QRDBText3", K::kData, R, "运单号", {136, 155, 49, 17}, "宋体", 11, false, true},
    {7, "QRDBText4", K::kData, R, "姓名", {64, 176, 31, 17}, "宋体", 11, false, false},
    {8, "QRDBText5", K::kData, R, "手机", {176, 176, 31, 17}, "宋体", 11, false, false},
    {9, "QRLabel1", K::kLabel, S, "收件", {24, 188, 31, 17}, "宋体", 11, false, false},
    {10, "QRLabel2", K::kLabel, S, "寄件", {24, 260, 31, 17}, "宋体", 11, false, false},
    {11, "QRDBText6", K::kData, S, "姓名", {64, 248, 27, 17}, "宋体", 10, false, false},
    {12, "QRDBText7", K::kData, S, "手机", {176, 248, 27, 17}, "宋体", 10, false, false},
    {13, "QRDBText8", K::kData, R, "内件品名", {24, 320, 53, 17}, "宋体", 10, false, false},
    {14, "QRDBText9", K::kData, R, "数量", {320, 320, 27, 17}, "宋体", 10, false, false},
    {15, "QRDBText10", K::kData, R, "备注", {24, 340, 27, 17}, "宋体", 10, false, false},
    {16, "QRDBText11", K::kData, S, "签名", {24, 360, 27, 17}, "宋体", 10, false, false},
    {17, "QRLabel3", K::kDate, S, "日期", {24, 380, 27, 17}, "宋体", 10, false, false},
    {18, "QRLabel4", K::kLabel, S, "收件签字：", {160, 360, 86, 20}, "宋体", 12, false, true},
    {19, "QRLabel5", K::kLabel, S, "日期：", {202, 380, 40, 17}, "宋体", 10, false, false},
    {20, "QRHRule2", K::kRule, S, "", {24, 480, 329, 10}, "", 0, false, false},
    {21, "QRDBText12", K::kBarcode, R, "运单号", {192, 440, 85, 29}, "宋体", 10, false, false},
    {22, "QRDBText13", K::kData, R, "运单号", {200, 468, 40, 17}, "宋体", 10, false, false},
    {23, "QRLabel6", K::kLabel, S, "收件", {24, 500, 31, 17}, "宋体", 11, false, false},
    {24, "QRDBText14", K::kData, R, "姓名", {64, 488, 31, 17}, "宋体", 11, false, false},
    {25, "QRDBText15", K::kData, R, "手机", {176, 488, 31, 17}, "宋体", 11, false, false},
    {26, "QRLabel7", K::kLabel, S, "寄件", {24, 572, 31, 17}, "宋体", 11, false, false},
    {27, "QRDBText16", K::kData, S, "姓名", {64, 560, 27, 17}, "宋体", 10, false, false},
    {28, "QRDBText17", K::kData, S, "手机", {176, 560, 27, 17}, "宋体", 10, false, false},
    {29, "QRRichText3", K::kAddress, R, "地址", {64, 508, 289, 45}, "宋体", 13, true, false},
    {30, "QRRichText4", K::kAddress, S, "地址", {64, 580, 289, 45}, "宋体", 13, true, false},
    {31, "QRDBText18", K::kData, R, "内件品名", {24, 632, 53, 17}, "宋体", 10, false, false},
    {32, "QRDBText19", K::kData, R, "数量", {320, 632, 27, 17}, "宋体", 10, false, false},
    {33, "QRLabel8", K::kLabel, S, "已验视", {280, 32, 64, 20}, "黑体", 14, false, true},
    {34, "QRLabel9", K::kBranding, S, "", {56, 10, 231, 17}, "宋体", 10, false, true},
};

// Where a barcode prints, as the window shows it: a light frame of the
// symbol's height with the column's name, see-through, so that the city
// above it stays whole.
class BarcodeStandIn : public report::Item {
 public:
  QString caption;
  QFont font;

 protected:
  void drawItem(QPainter& p) const override {
    p.setPen(QPen(QColor(0x9a, 0xa9, 0xbb), 1, Qt::DashLine));
    p.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setFont(report::drawingFont(font));
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter, caption);
  }
};

}  // namespace

QFont LabelItem::font() const {
  QFont f(QString::fromUtf8(family));
  if (pixels) f.setPixelSize(int(size));
  else f.setPointSizeF(size);
  f.setBold(bold);
  return f;
}

QString LabelItem::memoName() const {
  QString n = QString::fromUtf8(name);
  return n.startsWith(QStringLiteral("QRRichText")) ? QStringLiteral("DBMemo") + n.mid(10) : QString();
}

const std::vector<LabelItem>& labelItems() { return kItems; }

const LabelItem* findLabelItem(const QString& name) {
  for (const LabelItem& i : kItems)
    if (QString::fromUtf8(i.name) == name || (i.kind == K::kAddress && i.memoName() == name)) return &i;
  return nullptr;
}

const QStringList& movableItemNames() {
  static const QStringList names = [] {
    QStringList n{QStringLiteral("QRHRule1"), QStringLiteral("QRHRule2")};
    for (int i = 1; i <= 4; ++i) n << QStringLiteral("DBMemo%1").arg(i);
    for (int i = 1; i <= 4; ++i) n << QStringLiteral("QRRichText%1").arg(i);
    for (int i = 1; i <= 9; ++i) n << QStringLiteral("QRLabel%1").arg(i);
    for (int i = 1; i <= 19; ++i) n << QStringLiteral("QRDBText%1").arg(i);
    return n;
  }();
  return names;
}

QString labelDate(const QDate& day) { return day.toString(QStringLiteral("yyyy-MM-dd")); }

QString designDateText() { return QStringLiteral("日期"); }

QStringList ThermalReport::addressLines(const QString& text) {
  const LabelItem& slot = kItems[1];
  return report::TextBox::breakLines(text, slot.font(), slot.box.width());
}

ThermalReport::ThermalReport(QPoint shift, LabelContent content, bool onScreen) : content_(std::move(content)) {
  report_.page = {kLabelPageWidth, kLabelPageLength};
  if (onScreen) {
    // The stock's own printing, under everything and never printed.
    auto* stock = report_.add<report::Picture>();
    stock->box = QRectF(0, 0, kLabelBandWidth, kLabelBandHeight);
    stock->image = labelStockPicture();
  }
  for (const LabelItem& item : kItems) {
    const QRectF box(item.box.translated(shift));
    const QString column = QString::fromUtf8(item.content);
    std::function<QString()> valueOf = [this, role = item.role, column] { return content_.field(role, column); };
    auto fixed = [](QString text) -> std::function<QString()> { return [text] { return text; }; };
    switch (item.kind) {
      case K::kRule: {
        auto* rule = report_.add<report::Rule>();
        rule->box = box;
        break;
      }
      case K::kAddress: {
        auto* b = report_.add<report::TextBox>();
        b->box = box;
        b->font = item.font();
        b->visible = !onScreen;
        addresses_.push_back(b);
        break;
      }
      case K::kBarcode:
        if (onScreen) {
          auto* standIn = report_.add<BarcodeStandIn>();
          standIn->box = box;
          standIn->caption = column;
          standIn->font = item.font();
        } else {
          auto* code = report_.add<report::Barcode>();
          code->box = box;
          code->text = valueOf;
        }
        break;
      case K::kData:
      case K::kLabel:
      case K::kDate:
      case K::kBranding: {
        auto* t = report_.add<report::DataText>();
        t->box = box;
        t->font = item.font();
        if (item.kind == K::kData) t->text = onScreen ? fixed(column) : valueOf;
        else if (item.kind == K::kDate) t->text = fixed(content_.date);
        else if (item.kind == K::kBranding) t->text = fixed(brandingCaption());
        else t->text = fixed(QString::fromUtf8(item.content));
        break;
      }
    }
  }
  // Just before each band the four print boxes take their memos' lines.
  report_.beforePrint = [this] {
    if (content_.beforeBand) content_.beforeBand();
    if (!content_.addressLines) return;
    for (size_t i = 0; i < addresses_.size(); ++i) addresses_[i]->lines = content_.addressLines(int(i + 1));
  };
}

}  // namespace waybill
