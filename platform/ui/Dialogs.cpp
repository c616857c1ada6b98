#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>

namespace ui {

Answer DesktopDialogs::message(const Message& m) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(m.caption);
  box.setText(m.text);
  switch (m.icon) {
    case Icon::kNone: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::kInformation: box.setIcon(QMessageBox::Information); break;
    case Icon::kWarning: box.setIcon(QMessageBox::Warning); break;
    case Icon::kStop: box.setIcon(QMessageBox::Critical); break;
  }
  if (m.buttons == Buttons::kOkCancel) {
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  return box.exec() == QMessageBox::Ok ? Answer::kOk : Answer::kCancel;
}

QString DesktopDialogs::openFileName(const QString& title, const QString& filter) {
  return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, QString(), filter);
}

QString DesktopDialogs::saveFileName(const QString& title, const QString& filter) {
  return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, QString(), filter);
}

std::optional<QFont> DesktopDialogs::font(const QFont& initial) {
  bool ok = false;
  QFont f = QFontDialog::getFont(&ok, initial, QApplication::activeWindow());
  if (!ok) return std::nullopt;
  return f;
}

Answer ScriptedDialogs::message(const Message& m) {
  shown.push_back(m);
  if (answers.empty()) return Answer::kOk;
  Answer a = answers.front();
  answers.pop_front();
  return a;
}

QString ScriptedDialogs::openFileName(const QString& title, const QString& filter) {
  fileDialogTitles << title;
  fileDialogFilters << filter;
  if (fileNames.empty()) return {};
  QString f = fileNames.front();
  fileNames.pop_front();
  return f;
}

QString ScriptedDialogs::saveFileName(const QString& title, const QString& filter) {
  return openFileName(title, filter);
}

std::optional<QFont> ScriptedDialogs::font(const QFont&) {
  if (fonts.empty()) return std::nullopt;
  auto f = fonts.front();
  fonts.pop_front();
  return f;
}

QStringList ScriptedDialogs::takeTexts() {
  QStringList texts;
  for (const Message& m : shown) texts << m.text;
  shown.clear();
  return texts;
}

QString programTitle() {
  QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  name = name.section('.', 0, 0);
  if (name.isEmpty()) return name;
  return name.left(1).toUpper() + name.mid(1).toLower();
}

void showError(Dialogs& dialogs, const QString& text) {
  QString t = text;
  if (!t.isEmpty() && t.back() > QChar('.')) t += '.';
  dialogs.message(Message{t, programTitle(), Icon::kStop, Buttons::kOk});
}

Answer tell(Dialogs& dialogs, const QString& text, Icon icon, Buttons buttons) {
  return dialogs.message(Message{text, QStringLiteral("提示"), icon, buttons});
}

}  // namespace ui
