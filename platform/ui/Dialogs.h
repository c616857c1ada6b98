// The one seam through which the program asks the user anything: message
// boxes, file dialogs and the font dialog.
//
// Windows receive a Dialogs& and never call QMessageBox or QFileDialog
// themselves, so tests hand them a ScriptedDialogs that answers from a
// script and records what would have been shown.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

namespace ui {

enum class Icon { kNone, kInformation, kWarning, kStop };
enum class Buttons { kOk, kOkCancel };
enum class Answer { kOk, kCancel };

struct Message {
  QString text;
  QString caption;
  Icon icon = Icon::kNone;
  Buttons buttons = Buttons::kOk;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual Answer message(const Message& m) = 0;
  // Empty when the user cancels.
  virtual QString openFileName(const QString& title, const QString& filter) = 0;
  virtual QString saveFileName(const QString& title, const QString& filter) = 0;
  // The chosen font, or nothing when the user cancels.
  virtual std::optional<QFont> font(const QFont& initial) = 0;
};

// The real dialogs of the desktop.
class DesktopDialogs : public Dialogs {
 public:
  Answer message(const Message& m) override;
  QString openFileName(const QString& title, const QString& filter) override;
  QString saveFileName(const QString& title, const QString& filter) override;
  std::optional<QFont> font(const QFont& initial) override;
};

// Answers from a script, records what was asked.  A question without a
// scripted answer gets OK; a file dialog without one is cancelled.
class ScriptedDialogs : public Dialogs {
 public:
  Answer message(const Message& m) override;
  QString openFileName(const QString& title, const QString& filter) override;
  QString saveFileName(const QString& title, const QString& filter) override;
  std::optional<QFont> font(const QFont& initial) override;

  std::deque<Answer> answers;
  std::deque<QString> fileNames;
  std::deque<std::optional<QFont>> fonts;
  std::vector<Message> shown;
  QStringList fileDialogTitles, fileDialogFilters;

  // The texts of the messages shown so far, and forget them.
  QStringList takeTexts();
};

// The program's standard error box: the error's text, with a full stop
// appended when its last character sorts after "."; the program's title
// (its executable's name up to the first dot, the first character in upper
// and the rest in lower case: "Waybill") as caption; a stop icon; OK.
void showError(Dialogs& dialogs, const QString& text);
QString programTitle();

// A message of the program's own: caption "提示".
Answer tell(Dialogs& dialogs, const QString& text, Icon icon = Icon::kNone, Buttons buttons = Buttons::kOk);

}  // namespace ui
