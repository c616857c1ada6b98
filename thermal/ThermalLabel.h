// The 100 x 180 mm thermal label: its 34 printed items in drawing order, and
// the report that prints them.
//
// The label stock has a main part and, below a divider, a tear-off stub that
// repeats the waybill number, the two addresses and the contents.  Items are
// placed in pixels of the 96-dpi layout on a band of 378 x 681 px; later
// items cover earlier ones where they overlap.
#pragma once

#include <QDate>
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "platform/report/Report.h"
#include "templates/WaybillTemplate.h"

namespace waybill {

enum class LabelItemKind {
  kRule,      // a thin line across the box
  kAddress,   // an address slot: a data memo on screen, a print box on paper
  kData,      // a column's text; on screen the column's name
  kBarcode,   // a Code 128 symbol of a column's text
  kLabel,     // a fixed text
  kDate,      // the print date, set before each print or preview
  kBranding,  // the product's name and web address
};

struct LabelItem {
  int number;           // 1-based, in drawing order
  const char* name;     // the print item: QRHRule1, QRRichText1, QRDBText1, QRLabel1 ...
  LabelItemKind kind;
  Role role;            // whose record a column comes from
  const char* content;  // the column, or a label's text
  QRect box;            // layout px on the band
  const char* family;
  double size;          // in points, or in pixels where `pixels`
  bool pixels;
  bool bold;

  QFont font() const;
  // The memo over an address slot: DBMemo1 over QRRichText1, and so on.
  QString memoName() const;
};

// The 34 items in drawing order.
const std::vector<LabelItem>& labelItems();
const LabelItem* findLabelItem(const QString& name);
// The 38 names the offset buttons move: the items and the four memos.
const QStringList& movableItemNames();

// The page: 100.01 x 180.45 mm, the band 378 x 681 px at its corner.
inline constexpr double kLabelPageWidth = 1000.125;          // 0.1 mm
inline constexpr double kLabelPageLength = 1804.458333333333;  // 0.1 mm
inline constexpr int kLabelBandWidth = 378;
inline constexpr int kLabelBandHeight = 681;

// The date label's text for `day`: yyyy-mm-dd.
QString labelDate(const QDate& day);
// The date label's text before the first print or preview.
QString designDateText();

// What a label is filled with.
struct LabelContent {
  // The text of `column` of the sender's or the recipient's record now.
  std::function<QString(Role role, const QString& column)> field;
  // Runs just before each band prints, when the band's row is current.
  std::function<void()> beforeBand;
  // The lines of address slot `index` (1 to 4), taken just before each band
  // prints.
  std::function<QStringList(int index)> addressLines;
  QString date;  // the date label's text
};

class ThermalReport {
 public:
  // The report of a label moved by `shift`.  On screen the data texts and
  // barcodes show their column's name, the background picture shows under
  // everything and the address print boxes give way to the memos.
  ThermalReport(QPoint shift, LabelContent content, bool onScreen = false);
  report::Report& report() { return report_; }
  const report::Report& report() const { return report_; }

  // The lines an address slot's memo shows for `text`, where there is no memo.
  static QStringList addressLines(const QString& text);

 private:
  report::Report report_;
  LabelContent content_;
  std::vector<report::TextBox*> addresses_;
};

}  // namespace waybill
