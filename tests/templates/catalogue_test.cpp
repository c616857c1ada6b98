// The template catalogue: the values the print windows rely on, and the
// soundness of every layout in every window.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "platform/report/Units.h"
#include "templates/WaybillTemplate.h"

using namespace waybill;

namespace {

// Window height and slot count of each template, as the catalogue gives them.
const int kHeight[36] = {592, 592, 592, 592, 592, 592, 592, 592, 682, 592, 592, 647, 647, 592, 592, 592, 592, 642,
                         592, 592, 642, 642, 592, 592, 592, 642, 592, 592, 642, 592, 647, 592, 592, 592, 592, 592};
const int kSlots[36] = {20, 18, 20, 21, 18, 19, 17, 17, 17, 20, 21, 15, 18, 18, 22, 17, 17, 17,
                        18, 18, 16, 18, 17, 18, 16, 17, 21, 18, 18, 19, 16, 17, 18, 18, 15, 18};
const int kLargeCity[][3] = {{2, 18, 48},  {3, 20, 48},  {4, 21, 48},  {5, 18, 48},  {6, 19, 48},  {10, 20, 48},
                             {15, 22, 56}, {27, 21, 56}, {28, 18, 29}, {30, 1, 48},  {33, 18, 48}, {36, 18, 48}};

const Catalogue& cat() { return Catalogue::builtIn(); }

}  // namespace

TEST(Catalogue, EveryTemplateHasItsCaptionHeightAndSlotCountInEveryWindow) {
  for (PrintWindowKind w : kPrintWindows)
    for (int n = 1; n <= 36; ++n) {
      const WaybillTemplate& t = cat().get(w, n);
      SCOPED_TRACE(std::string(windowName(w)) + " template " + std::to_string(n));
      EXPECT_EQ(t.number, n);
      EXPECT_EQ(t.windowHeight, kHeight[n - 1]);
      EXPECT_EQ(int(t.fieldSlots.size()), kSlots[n - 1]);
      EXPECT_TRUE(t.caption.endsWith("模板"));
      EXPECT_TRUE(t.caption.startsWith(t.courier));
    }
  EXPECT_EQ(cat().get(PrintWindowKind::TDdForm, 13).caption, "德邦物流模板");
  EXPECT_EQ(cat().get(PrintWindowKind::TDdForm, 31).caption, "德邦快递单模板");
  EXPECT_EQ(cat().get(PrintWindowKind::TDdForm, 14).variant, "模板一");
  EXPECT_TRUE(cat().get(PrintWindowKind::TDdForm, 1).variant.isEmpty());
}

TEST(Catalogue, BoxesLieInsideTheirBandAndNeverOverlap) {
  for (PrintWindowKind w : kPrintWindows)
    for (int n = 1; n <= 36; ++n) {
      const WaybillTemplate& t = cat().get(w, n);
      SCOPED_TRACE(std::string(windowName(w)) + " template " + std::to_string(n));
      QRect band(0, 0, t.bandWidth, t.bandHeight);
      QRect label(t.label, kBrandingSize);
      EXPECT_TRUE(band.contains(label));
      for (size_t i = 0; i < t.fieldSlots.size(); ++i) {
        const QRect& a = t.fieldSlots[i].box;
        EXPECT_TRUE(band.contains(a)) << "slot " << i + 1;
        EXPECT_FALSE(a.intersects(label)) << "slot " << i + 1 << " under the branding label";
        for (size_t j = 0; j < i; ++j)
          EXPECT_FALSE(a.intersects(t.fieldSlots[j].box)) << "fieldSlots " << j + 1 << " and " << i + 1;
      }
    }
}

TEST(Catalogue, PaperSizesAreTheRoundedPages) {
  struct Case {
    int n;
    PrintWindowKind w;
    QSize paper;
  } cases[] = {
      {1, PrintWindowKind::TDdForm, {2300, 1270}},  {9, PrintWindowKind::TDdForm, {2299, 1503}},
      {9, PrintWindowKind::TEddForm, {2299, 1503}}, {9, PrintWindowKind::TPdForm, {2299, 1505}},
      {9, PrintWindowKind::TPedForm, {2299, 1505}}, {18, PrintWindowKind::TDdForm, {2159, 1402}},
      {12, PrintWindowKind::TEddForm, {2299, 1410}},
  };
  for (const Case& c : cases) EXPECT_EQ(cat().get(c.w, c.n).paperTenthMm(), c.paper) << c.n;
  EXPECT_DOUBLE_EQ(cat().get(PrintWindowKind::TDdForm, 9).pageLength, 1502.833);
  EXPECT_EQ(cat().get(PrintWindowKind::TEddForm, 12).bandHeight, 529);
  EXPECT_EQ(cat().get(PrintWindowKind::TDdForm, 18).screenOffset, 25);
  EXPECT_EQ(cat().get(PrintWindowKind::TDdForm, 28).screenOffset, 0);
  EXPECT_EQ(cat().get(PrintWindowKind::TPdForm, 28).screenOffset, -4);
  EXPECT_EQ(cat().get(PrintWindowKind::TPedForm, 9).pictureSize, QSize(2733, 1796));
  EXPECT_EQ(cat().get(PrintWindowKind::TPdForm, 18).pictureBox, QRect(0, 1, 816, 526));
}

TEST(Catalogue, TheFullTablesLargeCitySlotsAndDeviationsHold) {
  const WaybillTemplate& t1 = cat().get(PrintWindowKind::TDdForm, 1);
  EXPECT_EQ(t1.fieldSlots[0].column, "姓名");
  EXPECT_EQ(t1.fieldSlots[0].box, QRect(120, 100, 97, 22));
  EXPECT_EQ(t1.fieldSlots[10].box, QRect(104, 273, 343, 42));
  EXPECT_DOUBLE_EQ(report::pxToTenthMm(t1.fieldSlots[10].box.top()), 722.3125);
  EXPECT_EQ(cat().get(PrintWindowKind::TPedForm, 9).fieldSlots[16].box, QRect(576, 488, 185, 41));
  EXPECT_EQ(cat().get(PrintWindowKind::TEddForm, 15).fieldSlots[21].box, QRect(550, 344, 201, 73));
  for (auto& l : kLargeCity)
    for (PrintWindowKind w : kPrintWindows) {
      const FieldSlot& s = cat().get(w, l[0]).fieldSlots[size_t(l[1] - 1)];
      EXPECT_EQ(s.column, "城市") << l[0];
      EXPECT_EQ(s.role, Role::kRecipient);
      EXPECT_EQ(s.fontPixels, l[2]) << l[0];
    }
  // 14's recipient 电话 lands at 163.0 mm from TDdForm and 169.3 mm from TPdForm.
  EXPECT_NEAR(report::pxToMm(cat().get(PrintWindowKind::TDdForm, 14).fieldSlots[17].box.left()), 162.98, 0.01);
  EXPECT_NEAR(report::pxToMm(cat().get(PrintWindowKind::TPdForm, 14).fieldSlots[17].box.left()), 169.33, 0.01);
  EXPECT_EQ(cat().get(PrintWindowKind::TEddForm, 14).fieldSlots[17].box, QRect(616, 242, 160, 22));
  for (const FieldSlot& s : cat().get(PrintWindowKind::TEddForm, 12).fieldSlots) EXPECT_FALSE(s.bold);
  for (const FieldSlot& s : cat().get(PrintWindowKind::TDdForm, 12).fieldSlots) EXPECT_TRUE(s.bold);
  EXPECT_EQ(cat().get(PrintWindowKind::TEddForm, 12).label, QPoint(72, 120));
  EXPECT_EQ(cat().get(PrintWindowKind::TPedForm, 33).label, QPoint(72, 48));
  // Template 24 prints no sender name.
  for (const FieldSlot& s : cat().get(PrintWindowKind::TDdForm, 24).fieldSlots)
    EXPECT_FALSE(s.role == Role::kSender && s.column == "姓名");
}

TEST(Catalogue, BrokenCatalogueTextIsRefusedWithItsLine) {
  QString error;
  EXPECT_EQ(Catalogue::parse("[template 1]\ncourier EMS\nbogus 1\n", error), nullptr);
  EXPECT_TRUE(error.contains("line 3")) << error.toStdString();
  EXPECT_EQ(Catalogue::parse("[template 1]\n", error), nullptr);
  EXPECT_TRUE(error.contains("template 2 is missing")) << error.toStdString();
}

int main(int argc, char** argv) {
  QGuiApplication::setAttribute(Qt::AA_Use96Dpi);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
