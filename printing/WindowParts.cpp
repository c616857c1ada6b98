#include "printing/WindowParts.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QToolButton>

#include "platform/report/Output.h"
#include "platform/ui/Artwork.h"
#include "printing/OffsetText.h"
#include "records/RecordPage.h"

namespace waybill {

QFrame* makeToolbarPanel(QWidget* window, int width) {
  auto* bar = new QFrame(window);
  bar->setObjectName(QStringLiteral("Panel1"));
  bar->setGeometry(0, 0, width, 79);
  bar->setFrameStyle(QFrame::Panel | QFrame::Raised);
  bar->setLineWidth(2);
  bar->setStyleSheet(QStringLiteral("#Panel1 { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #fdfeff,"
                                    " stop:1 #dce8f5); border: 2px outset #c8d8ea; }"));
  return bar;
}

QToolButton* addToolbarButton(QFrame* bar, const char* name, int left, const QString& caption, const QString& art) {
  auto* t = new QToolButton(bar);
  t->setObjectName(QString::fromUtf8(name));
  t->setText(caption);
  t->setIcon(ui::artwork::toolbarIcon(art));
  t->setIconSize(QSize(48, 48));
  t->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  t->setAutoRaise(true);
  t->setFont(pixelFont(QStringLiteral("宋体"), 14));
  t->setGeometry(left, 2, 73, 73);
  return t;
}

AdjustmentGroup makeAdjustmentGroup(QFrame* bar, QPoint at, const char* verticalOk, const char* horizontalOk) {
  auto* group = new QGroupBox(QStringLiteral("调整打印位置"), bar);
  group->setObjectName(QStringLiteral("GroupBox1"));
  group->setGeometry(at.x(), at.y(), 435, 57);
  group->setFont(pixelFont(QStringLiteral("宋体"), 15));
  auto label = [&](const char* name, const QString& text, QPoint p) {
    auto* l = new QLabel(text, group);
    l->setObjectName(QString::fromUtf8(name));
    l->adjustSize();
    l->move(p);
  };
  auto box = [&](const char* name, QPoint p) {
    auto* e = new QLineEdit(group);
    e->setObjectName(QString::fromUtf8(name));
    e->setFrame(false);
    e->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid #7f9db9; background: white; }"));
    e->setGeometry(p.x(), p.y(), 41, 21);
    return e;
  };
  auto ok = [&](const char* name, QPoint p) {
    auto* b = new QToolButton(group);
    b->setObjectName(QString::fromUtf8(name));
    b->setText(QStringLiteral("确定"));
    b->setGeometry(p.x(), p.y(), 57, 21);
    return b;
  };
  AdjustmentGroup g{group, nullptr, nullptr, nullptr, nullptr};
  label("Label1", QStringLiteral("上下移动"), {22, 28});
  g.vertical = box("Edit1", {89, 24});
  g.verticalOk = ok(verticalOk, {144, 24});
  label("Label2", QStringLiteral("左右移动"), {229, 28});
  g.horizontal = box("Edit2", {296, 24});
  g.horizontalOk = ok(horizontalOk, {352, 24});
  return g;
}

std::optional<int> readOffset(const QLineEdit* box, ui::Dialogs& dialogs) {
  const QString text = box->text();
  if (text.isEmpty()) return std::nullopt;
  auto v = parseOffset(text);
  if (!v) ui::showError(dialogs, invalidOffsetMessage(text));
  return v;
}

void printWithProgress(const report::Report& r, const QString& printerName, QWidget* window, ui::Dialogs& dialogs) {
  QProgressDialog progress(QStringLiteral("正在打印……"), QStringLiteral("取消"), 0, r.bandCount(), window);
  progress.setWindowTitle(window->windowTitle());
  progress.setMinimumDuration(500);
  QString error = report::printReport(r, printerName, [&](int done, int total) {
    progress.setMaximum(total);
    progress.setValue(done);
    QApplication::processEvents();
    return !progress.wasCanceled();
  });
  if (!error.isEmpty() && error != QStringLiteral("cancelled")) ui::showError(dialogs, error);
}

}  // namespace waybill
