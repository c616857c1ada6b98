// What a real window manager makes of the print and label windows, run
// under Xvfb with openbox (tests/support/with-openbox.sh): the outer size
// the menus ask for, on the first opening as on later ones, centred; and
// the buttons the windows ask for (the Motif hints window managers draw
// their title bars from: a close box, no minimise or maximise button) and
// the actions openbox then allows (_NET_WM_ALLOWED_ACTIONS: neither
// resizing nor maximising the print windows, whose size is fixed, while
// the label windows' border can be dragged).  openbox keeps minimising in
// its window menu, and maximising for a window that can be resized,
// whatever a window asks; those actions are not held here.
#include <QMenu>
#include <QProcess>
#include <QScreen>

#include "tests/gui/GuiFixture.h"
#include "printing/PrintWindow.h"
#include "thermal/ThermalWindow.h"

using namespace waybill;
using guitest::MainWindowTest;

namespace {

struct Seen {
  QRect frame;          // the window's outer rectangle, as shown
  QStringList actions;  // what the window manager allows
  unsigned functions = 0, decorations = 0;  // what the window asks for
};

// The Motif hints' bits, which window managers draw their buttons from.
constexpr unsigned kFunctionMinimise = 1u << 3, kFunctionMaximise = 1u << 4, kFunctionClose = 1u << 5;
constexpr unsigned kDecorAll = 1u << 0, kDecorTitle = 1u << 3, kDecorMinimise = 1u << 5, kDecorMaximise = 1u << 6;

QString xprop(QDialog* d, const char* property) {
  QProcess p;
  p.start("xprop", {"-id", QString::number(d->winId()), property});
  p.waitForFinished(5000);
  return QString::fromUtf8(p.readAllStandardOutput()).section('=', 1);
}

// Shows `d` as the modal call would, waits until the window manager has
// framed it, and reads what it decided.
Seen showAndLook(QDialog* d) {
  d->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(d));
  Seen seen;
  for (int i = 0; i < 100 && d->frameGeometry() == d->geometry(); ++i) QTest::qWait(10);
  QTest::qWait(50);
  seen.frame = d->frameGeometry();
  for (const QString& a : xprop(d, "_NET_WM_ALLOWED_ACTIONS").split(',', Qt::SkipEmptyParts))
    seen.actions << a.trimmed().remove("_NET_WM_ACTION_");
  const QStringList motif = xprop(d, "_MOTIF_WM_HINTS").split(',', Qt::SkipEmptyParts);
  EXPECT_GE(motif.size(), 3);
  if (motif.size() >= 3) {
    seen.functions = motif[1].trimmed().toUInt(nullptr, 16);
    seen.decorations = motif[2].trimmed().toUInt(nullptr, 16);
  }
  d->hide();
  return seen;
}

// A title bar with a close box and neither minimise nor maximise button.
void expectCloseBoxOnly(const Seen& seen) {
  EXPECT_TRUE(seen.functions & kFunctionClose);
  EXPECT_FALSE(seen.functions & (kFunctionMinimise | kFunctionMaximise)) << std::hex << seen.functions;
  EXPECT_TRUE(seen.decorations & kDecorTitle);
  EXPECT_FALSE(seen.decorations & (kDecorAll | kDecorMinimise | kDecorMaximise)) << std::hex << seen.decorations;
  EXPECT_TRUE(seen.actions.contains("CLOSE")) << seen.actions.join(' ').toStdString();
}

void expectCentred(const QRect& frame) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 1) << frame.center().x();
  EXPECT_LE(std::abs(frame.center().y() - screen.center().y()), 1) << frame.center().y();
}

}  // namespace

TEST_F(MainWindowTest, PrintWindowsHaveTheMenusOuterHeightFromTheFirstOpeningAndOnlyACloseBox) {
  start();
  ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "run under with-openbox.sh";
  struct Opening {
    int number, height;
  } openings[] = {{1, 592}, {9, 682}, {12, 647}, {1, 592}};
  for (PrintWindow* w : {window->TDdForm(), window->TPdForm()}) {
    SCOPED_TRACE(w->objectName().toStdString());
    for (const Opening& o : openings) {
      SCOPED_TRACE("template " + std::to_string(o.number));
      Seen seen;
      w->runModal = [&](QDialog* d) { seen = showAndLook(d); };
      w->open(QStringLiteral("EMS快递单模板"), o.number, o.height);
      EXPECT_EQ(seen.frame.height(), o.height);
      EXPECT_EQ(w->width(), w->kind() == PrintWindowKind::TDdForm ? 877 : 878);
      expectCentred(seen.frame);
      expectCloseBoxOnly(seen);
      for (const char* never : {"RESIZE", "MAXIMIZE_HORZ", "MAXIMIZE_VERT"}) EXPECT_FALSE(seen.actions.contains(never)) << never;
    }
  }
}

TEST_F(MainWindowTest, LabelWindowsHaveTheirOuterSizeFromTheFirstOpeningAndNoMinimiseOrMaximise) {
  start();
  ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "run under with-openbox.sh";
  for (ThermalWindow* w : window->thermalWindows()) {
    SCOPED_TRACE(w->objectName().toStdString());
    for (int opening = 0; opening < 2; ++opening) {
      Seen seen;
      w->runModal = [&](QDialog* d) { seen = showAndLook(d); };
      w->open(QStringLiteral("热敏快递单模板"));
      EXPECT_EQ(seen.frame.size(), QSize(751, 622));
      expectCentred(seen.frame);
      expectCloseBoxOnly(seen);
      EXPECT_TRUE(seen.actions.contains("RESIZE"));
    }
  }
}
