// The main of the tests that render reports without windows: fonts need a
// Gui application, on the offscreen platform, with the program's font
// substitutions, so that the PDFs carry the faces the program prints in.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "platform/report/Fonts.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  report::installFontSubstitutions();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
