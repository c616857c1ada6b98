// What the window tests share: a QApplication on the offscreen platform, a
// real data.mdb in a temporary folder, the scripted dialog seam, and the
// main window built over them.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "app/MainUnit.h"
#include "platform/jet/database.h"
#include "platform/ui/Dialogs.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '[' << l.join("|").toStdString() << ']'; }

namespace guitest {

using Row = std::vector<std::string>;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Rows to put into the file before the window opens.
  void seed(const char* table, const std::vector<Row>& rows);
  // Opens the store and the window (call after seed).
  void start();

  // The rows of a table as the file holds them now, read by a new handle.
  std::vector<Row> stored(const char* table);

  template <class W>
  W* find(const char* name) {
    W* w = window->findChild<W*>(QString::fromUtf8(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QLineEdit* edit(const char* name) { return find<QLineEdit>(name); }
  void type(const char* box, const QString& text);
  void click(const char* name);  // a button on a page or the toolbar
  void clickRow(const char* grid, int row);
  void doubleClickRow(const char* grid, int row);
  void selectRows(const char* grid, std::initializer_list<int> rows);
  void trigger(const char* action);
  QStringList messages() { return dialogs.takeTexts(); }

  QTemporaryDir dir;
  QString dbPath;
  ui::ScriptedDialogs dialogs;
  waybill::Environment env;
  std::vector<QUrl> opened;
  std::unique_ptr<waybill::RecordStore> store;
  std::unique_ptr<waybill::TMainForm> window;
};

}  // namespace guitest
