#include "records/ImportPage.h"

#include <QApplication>
#include <QMenu>
#include <QProgressDialog>

#include "records/RecordStore.h"
#include "records/Spreadsheet.h"
#include "records/waybill_schema.h"

namespace waybill {

ImportPage::ImportPage(ui::Dialogs& dialogs, RecordStore& store, QWidget* parent)
    : RecordPage(dialogs, store.ADOQuery3(), store.DataSource3(), parent), store_(store) {
  setObjectName(QStringLiteral("importPage"));
  path_ = addBox({"Excel路径", {19, 18}, "Edit22", {88, 16}, 729, nullptr}, 19);
  QPushButton* choose = addButton("SpeedButton21", QStringLiteral("..."), QRect(816, 15, 23, 21));
  choose->setFont(pixelFont(QStringLiteral("宋体"), 13));
  choose->setToolTip(QStringLiteral("点击选择路径"));
  QPushButton* start = addButton("SpeedButton22", QStringLiteral("开始导入"), QRect(864, 15, 81, 22));

  addSearchTitle(56);
  const Box boxes[] = {
      {"姓名", {53, 74}, "Edit23", {88, 72}, 137, nullptr},
      {"手机", {261, 74}, "Edit24", {296, 72}, 137, nullptr},
      {"收件单位", {443, 74}, "Edit30", {506, 72}, 335, nullptr},
      {"运单号", {40, 101}, "Edit33", {88, 99}, 137, nullptr},
  };
  const char* searched[] = {"姓名", "手机", "收件单位", "运单号"};
  for (int i = 0; i < 4; ++i) searchBoxes_.emplace_back(addBox(boxes[i], 19), QString::fromUtf8(searched[i]));
  QPushButton* find = addButton("SpeedButton23", QStringLiteral("查询"), QRect(880, 71, 65, 22));
  QPushButton* all = addButton("SpeedButton24", QStringLiteral("刷新"), QRect(880, 98, 65, 22));

  QStringList columns;
  for (const std::string& c : recipientColumns()) columns << QString::fromStdString(c);
  QStringList titles = columns;
  titles[4] = QStringLiteral("收件地址");
  addGrid("DBGridEh3", QRect(2, 131, 976, 376), columns, {60, 65, 100, 50, 200, 80, 90, 110, 40, 90, 90}, titles);

  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("PopupMenu11"));
  QAction* remove = menu->addAction(QStringLiteral("删除记录"));
  remove->setObjectName(QStringLiteral("N188"));
  menu->addSeparator()->setObjectName(QStringLiteral("N189"));
  addHidePair(menu, "N172", "N173", QStringLiteral("隐藏城市"), 1);
  addHidePair(menu, "N174", "N175", QStringLiteral("隐藏收件单位"), 2);
  addHidePair(menu, "N176", "N177", QStringLiteral("隐藏邮编"), 3);
  addHidePair(menu, "N178", "N179", QStringLiteral("隐藏运单号"), 9);
  connect(remove, &QAction::triggered, this, [this] { deleteSelected(); });
  connect(grid_, &RecordGrid::contextMenuAt, menu, [menu](const QPoint& p) { menu->popup(p); });

  QWidget* previous = path_;
  for (auto& [box, column] : searchBoxes_) {
    setTabOrder(previous, box);
    previous = box;
  }
  setTabOrder(previous, grid_);

  connect(choose, &QPushButton::clicked, this, &ImportPage::choosePath);
  connect(start, &QPushButton::clicked, this, &ImportPage::startImport);
  connect(find, &QPushButton::clicked, this, [this] { search(searchBoxes_); });
  connect(all, &QPushButton::clicked, this, [this] { refresh(searchBoxes_); });
}

void ImportPage::showAction() {
  failed(set_->requery(Query::all(QString::fromUtf8(kImportTable))));
  for (auto& [box, column] : searchBoxes_) box->clear();
  showSelf(path_);
}

void ImportPage::choosePath() {
  QString chosen = dialogs_.openFileName(QStringLiteral("请选择相应的Excel文件"), QStringLiteral("Excel(*.xls)"));
  if (!chosen.isEmpty()) path_->setText(chosen);
}

void ImportPage::startImport() {
  const QString path = path_->text().trimmed();
  if (path.isEmpty()) {
    ui::tell(dialogs_, QStringLiteral("请正确选择相关路径！"));
    return;
  }
  // After a failed restore the connection may be closed; it opens again
  // here, or the import cannot be made.
  if (!store_.ADOConnection1()) store_.reconnect();
  if (Connection* connection = store_.ADOConnection1()) {
    std::optional<QString> error;
    {
      QProgressDialog progress(QStringLiteral("正在导入……"), QString(), 0, 1, this);
      progress.setWindowTitle(QStringLiteral("Excel导入"));
      progress.setMinimumDuration(300);
      progress.setWindowModality(Qt::WindowModal);
      error = importSpreadsheet(*connection, path, [&](int done, int total) {
        progress.setMaximum(std::max(total, 1));
        progress.setValue(std::min(done, std::max(total, 1)));
        QApplication::processEvents();
        return true;
      });
    }
    ui::tell(dialogs_, error ? QStringLiteral("批量导入EXCEL失败！") : QStringLiteral("批量导入EXCEL成功！"));
  } else {
    ui::tell(dialogs_, QStringLiteral("连接ACCESS失败！"));
  }
  // What the user sees after an import, whatever it gave: the senders
  // narrowed to the remembered one, which is current again, then all
  // recipients, then the imported list.
  const QString sender = rememberedSender_();
  if (failed(store_.ADOQuery1()->requery(Query::containing(QString::fromUtf8(kSenderTable), QStringLiteral("姓名"), sender))))
    return;
  if (failed(store_.ADOQuery2()->requery(Query::all(QString::fromUtf8(kRecipientTable))))) return;
  failed(set_->requery(Query::all(QString::fromUtf8(kImportTable))));
}

}  // namespace waybill
