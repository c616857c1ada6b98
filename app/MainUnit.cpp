#include "app/MainUnit.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressDialog>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

#include "app/CourierTemplateMenu.h"
#include "app/DesktopEntry.h"
#include "records/Backup.h"
#include "records/Spreadsheet.h"
#include "printing/DdUnit.h"
#include "printing/EddUnit.h"
#include "printing/PdUnit.h"
#include "printing/PedUnit.h"
#include "thermal/ErdUnit.h"
#include "thermal/PerdUnit.h"
#include "thermal/PrdUnit.h"
#include "thermal/RddUnit.h"
#include "platform/ui/Artwork.h"
#include "records/Product.h"

namespace waybill {

namespace {

struct ToolbarButton {
  const char* name;
  int left;
  const char* caption;
};
const ToolbarButton kToolbar[] = {
    {"SpeedButton1", 8, "寄件信息"},    {"SpeedButton2", 81, "收件信息"},  {"SpeedButton3", 154, "单张打印"},
    {"SpeedButton4", 227, "批量打印"},  {"SpeedButton25", 300, "热敏打印"}, {"SpeedButton5", 372, "Excel导入"},
    {"SpeedButton6", 445, "数据导出"},  {"SpeedButton7", 518, "数据管理"},  {"SpeedButton8", 591, "隐藏日期"},
    {"SpeedButton9", 664, "帮助主题"},  {"SpeedButton10", 737, "退出软件"},
};

}  // namespace

TMainForm::TMainForm(RecordStore& store, ui::Dialogs& dialogs, Environment env)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), store_(store), dialogs_(dialogs), env_(std::move(env)) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QString::fromUtf8(kProductFullName));
  setWindowIcon(ui::artwork::programIcon());
  setFixedSize(992, 685);
  setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
  if (!env_.openUrl) env_.openUrl = [](const QUrl& u) { QDesktopServices::openUrl(u); };
  buildFrame();
  buildToolbar();
  // The windows of the start-up order after the main window, hidden.
  printWindows_ = {new waybill::TDdForm(store_, dialogs_, this), new waybill::TEddForm(store_, dialogs_, this),
                   new waybill::TPdForm(store_, dialogs_, this), new waybill::TPedForm(store_, dialogs_, this)};
  thermalWindows_ = {new waybill::TRddForm(store_, dialogs_, this), new waybill::TPrdForm(store_, dialogs_, this),
                     new waybill::TErdForm(store_, dialogs_, this), new waybill::TPerdForm(store_, dialogs_, this)};
  for (ThermalWindow* w : thermalWindows_) w->today = [this] { return env_.today(); };
  buildMenus();
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  f1->setContext(Qt::ApplicationShortcut);
  connect(f1, &QShortcut::activated, this, &TMainForm::openHelp);
  creationHandler();
}

void TMainForm::buildFrame() {
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setGeometry(0, 0, 992, 685);
  panel->setFrameShape(QFrame::Box);
  panel->setStyleSheet(QStringLiteral("#Panel1 { border: 1px solid #3a6ea5; background: #eef4fb; }"));

  title_ = new QLabel(panel);
  title_->setObjectName(QStringLiteral("Image1"));
  title_->setPixmap(ui::artwork::titlePicture());
  title_->setGeometry(1, 1, 989, 66);
  title_->installEventFilter(this);
  minimise_ = new QLabel(panel);
  minimise_->setObjectName(QStringLiteral("Image2"));
  minimise_->setPixmap(ui::artwork::minimisePicture());
  minimise_->setGeometry(942, 5, 19, 19);
  minimise_->setCursor(Qt::PointingHandCursor);
  minimise_->setToolTip(QStringLiteral("最小化"));
  minimise_->installEventFilter(this);
  close_ = new QLabel(panel);
  close_->setObjectName(QStringLiteral("Image3"));
  close_->setPixmap(ui::artwork::closePicture());
  close_->setGeometry(965, 5, 19, 19);
  close_->setCursor(Qt::PointingHandCursor);
  close_->setToolTip(QStringLiteral("关闭"));
  close_->installEventFilter(this);

  // The pages lie under the toolbar, which hides where their tabs would be.
  pages_ = new QStackedWidget(panel);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  pages_->setGeometry(3, 150, 982, 505);
  senderPage_ = new SenderPage(dialogs_, store_.ADOQuery1(), store_.DataSource1(), pages_);
  recipientPage_ = new RecipientPage(dialogs_, store_.ADOQuery2(), store_.DataSource2(), pages_);
  importPage_ = new ImportPage(dialogs_, store_, pages_);
  importPage_->setRememberedSender([this] { return senderPage_->rememberedSender(); });
  pages_->addWidget(senderPage_);
  pages_->addWidget(recipientPage_);
  pages_->addWidget(importPage_);
  pages_->setCurrentWidget(recipientPage_);
  senderPage_->setSwitchTarget(recipientPage_);
  recipientPage_->setSwitchTarget(senderPage_);
  senderPage_->setClock([this] { return env_.today(); });

  toolbar_ = new QFrame(panel);
  toolbar_->setObjectName(QStringLiteral("Panel2"));
  toolbar_->setGeometry(0, 68, 990, 80);
  toolbar_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  toolbar_->setLineWidth(2);
  toolbar_->setStyleSheet(QStringLiteral(
      "#Panel2 { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #fdfeff, stop:1 #dce8f5);"
      " border: 2px outset #c8d8ea; }"));
  toolbar_->raise();

  auto* status = new QFrame(panel);
  status->setObjectName(QStringLiteral("StatusBar1"));
  status->setGeometry(1, 655, 986, 25);
  status->setStyleSheet(QStringLiteral("#StatusBar1 { background: #e4ecf6; border-top: 1px solid #b0c4de; }"
                                       "QLabel { border-right: 1px solid #b0c4de; padding-left: 2px; }"));
  const QString texts[] = {QStringLiteral("  以“好用、实用、易用”为设计理念！"), QStringLiteral(" 快捷键:帮助F1"),
                           QStringLiteral(" 网站:") + QString::fromUtf8(kProductWebsite)};
  const int widths[] = {600, 150, 236};
  int x = 0;
  for (int i = 0; i < 3; ++i) {
    auto* l = new QLabel(texts[i], status);
    l->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
    l->setGeometry(x, 0, widths[i], 25);
    l->setFont(pixelFont(QStringLiteral("宋体"), 12));
    x += widths[i];
  }
}

void TMainForm::buildToolbar() {
  for (const ToolbarButton& b : kToolbar) {
    auto* t = new QToolButton(toolbar_);
    t->setObjectName(QString::fromUtf8(b.name));
    QString caption = QString::fromUtf8(b.caption);
    t->setText(caption);
    t->setIcon(ui::artwork::toolbarIcon(caption));
    t->setIconSize(QSize(48, 48));
    t->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    t->setAutoRaise(true);
    t->setFont(pixelFont(QStringLiteral("宋体"), 14));
    t->setGeometry(b.left, 3, 73, 73);
  }
  connect(button("SpeedButton1"), &QToolButton::clicked, this, [this] { senderPage_->showAction(); });
  connect(button("SpeedButton2"), &QToolButton::clicked, this, [this] { recipientPage_->showAction(); });
  connect(button("SpeedButton5"), &QToolButton::clicked, this, [this] { importPage_->showAction(); });
  connect(button("SpeedButton6"), &QToolButton::clicked, this, &TMainForm::exportRecipients);
  connect(button("SpeedButton8"), &QToolButton::clicked, this, [this] { senderPage_->toggleDate(); });
  connect(button("SpeedButton10"), &QToolButton::clicked, this, &QWidget::close);
  senderPage_->setDateToggle(button("SpeedButton8"));
}

void TMainForm::buildMenus() {
  auto make = [this](const char* name) {
    auto* m = new QMenu(this);
    m->setObjectName(QString::fromUtf8(name));
    return m;
  };
  buildCourierTemplateMenu(make("PopupMenu1"), printWindows_[0]);
  buildCourierTemplateMenu(make("PopupMenu2"), printWindows_[2]);
  buildCourierTemplateMenu(make("PopupMenu5"), printWindows_[1]);
  buildCourierTemplateMenu(make("PopupMenu6"), printWindows_[3]);
  // The thermal menus: a single and a batch label window each.
  const std::pair<const char*, int> thermal[] = {{"PopupMenu9", 0}, {"PopupMenu10", 2}};
  for (auto [name, first] : thermal) {
    QMenu* m = make(name);
    ThermalWindow* single = thermalWindows_[size_t(first)];
    ThermalWindow* batch = thermalWindows_[size_t(first + 1)];
    const QString caption = QStringLiteral("热敏快递单模板");
    connect(m->addAction(QStringLiteral("单张打印【100*180】")), &QAction::triggered, single,
            [single, caption] { single->open(caption); });
    connect(m->addAction(QStringLiteral("批量打印【100*180】")), &QAction::triggered, batch,
            [batch, caption] { batch->open(caption); });
  }
  QMenu* data = make("PopupMenu3");
  QAction* n1 = data->addAction(QStringLiteral("数据备份"));
  n1->setObjectName(QStringLiteral("N1"));
  QAction* n2 = data->addAction(QStringLiteral("数据恢复"));
  n2->setObjectName(QStringLiteral("N2"));
  connect(n1, &QAction::triggered, this, &TMainForm::backUp);
  connect(n2, &QAction::triggered, this, &TMainForm::restore);
  QMenu* help = make("PopupMenu4");
  QAction* n3 = help->addAction(QStringLiteral("使用帮助"));
  n3->setObjectName(QStringLiteral("N3"));
  QAction* n5 = help->addAction(QStringLiteral("常见问题"));
  n5->setObjectName(QStringLiteral("N5"));
  QAction* n6 = help->addAction(QStringLiteral("软件网站"));
  n6->setObjectName(QStringLiteral("N6"));
  connect(n3, &QAction::triggered, this, &TMainForm::openHelp);
  const QString site = QString::fromUtf8(kProductUrl);
  connect(n5, &QAction::triggered, this, [this, site] { env_.openUrl(QUrl(site + QStringLiteral("/ques.htm"))); });
  connect(n6, &QAction::triggered, this, [this, site] { env_.openUrl(QUrl(site)); });

  connect(button("SpeedButton3"), &QToolButton::clicked, this,
          [this] { printButton(menu("PopupMenu1"), menu("PopupMenu5"), false); });
  connect(button("SpeedButton4"), &QToolButton::clicked, this,
          [this] { printButton(menu("PopupMenu2"), menu("PopupMenu6"), false); });
  connect(button("SpeedButton25"), &QToolButton::clicked, this,
          [this] { printButton(menu("PopupMenu9"), menu("PopupMenu10"), true); });
  connect(button("SpeedButton7"), &QToolButton::clicked, this, [this] { openMenu(menu("PopupMenu3"), button("SpeedButton7")); });
  connect(button("SpeedButton9"), &QToolButton::clicked, this, [this] { openMenu(menu("PopupMenu4"), button("SpeedButton9")); });
}

QToolButton* TMainForm::button(const char* name) const { return findChild<QToolButton*>(QString::fromUtf8(name)); }

QMenu* TMainForm::menu(const char* name) const { return findChild<QMenu*>(QString::fromUtf8(name)); }

QPoint TMainForm::menuPoint(const QToolButton* b) const {
  QPoint topLeft = frameGeometry().topLeft();
  return QPoint(topLeft.x() + b->x(), topLeft.y() + 145);
}

void TMainForm::openMenu(QMenu* m, QToolButton* b) {
  QPoint at = menuPoint(b);
  emit menuOpening(m, at);
  if (!m->actions().isEmpty()) m->popup(at);
}

// The print menus of the recipient list are used with the recipient page
// in view, those of the imported list with the import page.
void TMainForm::printButton(QMenu* fromRecipients, QMenu* fromImport, bool thermal) {
  QToolButton* b = qobject_cast<QToolButton*>(sender());
  if (!b) b = button(thermal ? "SpeedButton25" : "SpeedButton3");
  if (pages_->currentWidget() == senderPage_) pages_->setCurrentWidget(recipientPage_);
  openMenu(pages_->currentWidget() == importPage_ ? fromImport : fromRecipients, b);
}

void TMainForm::openHelp() {
  QString dir = QFileInfo(env_.programPath).absolutePath();
  env_.openUrl(QUrl::fromLocalFile(dir + QStringLiteral("/使用帮助.html")));
}

void TMainForm::exportRecipients() {
  pages_->setCurrentWidget(recipientPage_);
  const QString chosen = dialogs_.saveFileName(QString(), QString());
  if (chosen.isEmpty()) return;
  RecordSet* recipients = store_.ADOQuery2();
  std::optional<QString> error;
  {
    QProgressDialog progress(QStringLiteral("正在导出……"), QStringLiteral("取消"), 0, std::max(recipients->rowCount(), 1), this);
    progress.setWindowTitle(QStringLiteral("数据导出"));
    progress.setMinimumDuration(300);
    progress.setWindowModality(Qt::WindowModal);
    error = exportRecordSet(*recipients, exportFileName(chosen), [&](int done, int total) {
      progress.setValue(std::min(done, std::max(total, 1)));
      QApplication::processEvents();
      return !progress.wasCanceled();
    });
  }
  if (error == QStringLiteral("cancelled")) return;
  if (error) return ui::showError(dialogs_, *error);
  // The list was walked to its end; its last row is current, as after
  // any walk through it.
  if (recipients->rowCount() > 0) recipients->setCurrentRow(recipients->rowCount() - 1);
  ui::tell(dialogs_, QStringLiteral("数据导出成功！"));
}

void TMainForm::backUp() {
  const QString chosen = dialogs_.saveFileName(QString(), QString());
  if (chosen.isEmpty()) return;
  if (backUpDatabase(store_.databasePath(), backupFileName(chosen)))
    ui::tell(dialogs_, QStringLiteral("数据备份失败，请重新备份！"));
  else
    ui::tell(dialogs_, QStringLiteral("数据备份成功！"));
}

void TMainForm::restore() {
  const QString chosen = dialogs_.openFileName(QString(), QString());
  if (chosen.isEmpty()) return;
  // A file that is not a database of this program never replaces data.mdb.
  if (restoreRefusal(chosen)) {
    ui::tell(dialogs_, QStringLiteral("数据恢复失败，请重新恢复！"));
    return;
  }
  closeAllConnections();
  if (restoreDatabase(chosen, store_.databasePath())) {
    ui::tell(dialogs_, QStringLiteral("数据恢复失败，请重新恢复！"));
    reopenAllConnections();
    return;
  }
  ui::tell(dialogs_, QStringLiteral("数据恢复成功！"));
  // The restored file is opened at the next start.
  close();
}

void TMainForm::closeAllConnections() {
  store_.disconnect();
  for (PrintWindow* w : printWindows_)
    if (OwnRecordSet* own = w->ownRecordSet()) own->close();
  for (ThermalWindow* w : thermalWindows_)
    if (OwnRecordSet* own = w->ownRecordSet()) own->close();
}

void TMainForm::reopenAllConnections() {
  // The batch windows open theirs again when they are next activated.
  if (auto error = store_.reconnect()) return ui::showError(dialogs_, *error);
  for (RecordSet* set : {store_.ADOQuery1(), store_.ADOQuery2(), store_.ADOQuery3()})
    if (auto error = set->requery(set->query())) return ui::showError(dialogs_, *error);
}

void TMainForm::creationHandler() {
  writeDesktopEntry(env_.programPath, env_.desktopDir);
  senderPage_->startUp();
}

void TMainForm::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (shownOnce_) return;
  shownOnce_ = true;
  if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  for (RecordPage* page : {static_cast<RecordPage*>(senderPage_), static_cast<RecordPage*>(recipientPage_)})
    for (QLineEdit* box : page->boxesClearedOnShow()) box->clear();
}

bool TMainForm::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::MouseButtonPress) {
    auto* m = static_cast<QMouseEvent*>(e);
    if (o == title_ && (m->buttons() & Qt::LeftButton)) {
      if (QWindow* w = windowHandle()) w->startSystemMove();
      return true;
    }
  } else if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
    if (o == minimise_) {
      showMinimized();
      return true;
    }
    if (o == close_) {
      close();
      return true;
    }
  }
  return QWidget::eventFilter(o, e);
}

}  // namespace waybill
