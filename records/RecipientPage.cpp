#include "records/RecipientPage.h"

#include <QLabel>
#include <QMenu>

namespace waybill {

RecipientPage::RecipientPage(ui::Dialogs& dialogs, RecordSet* set, RecordSetModel* model, QWidget* parent)
    : RecordPage(dialogs, set, model, parent) {
  setObjectName(QStringLiteral("recipientPage"));
  const Box boxes[] = {
      {"姓名", {53, 18}, "Edit10", {88, 16}, 137, "姓名"},
      {"城市", {261, 18}, "Edit11", {296, 16}, 137, "城市"},
      {"收件单位", {443, 18}, "Edit12", {506, 16}, 335, "收件单位"},
      {"邮编", {53, 45}, "Edit13", {88, 43}, 137, "邮编"},
      {"地址", {261, 45}, "Edit14", {296, 43}, 545, "地址"},
      {"手机", {53, 72}, "Edit15", {88, 70}, 137, "手机"},
      {"电话", {261, 72}, "Edit16", {296, 70}, 137, "电话"},
      {"内件品名", {443, 72}, "Edit17", {506, 70}, 335, "内件品名"},
      {"数量", {53, 99}, "Edit18", {88, 97}, 137, "数量"},
      {"运单号", {249, 99}, "Edit19", {296, 97}, 137, "运单号"},
      {"备注", {470, 99}, "Edit31", {506, 97}, 335, "备注"},
  };
  for (const Box& b : boxes) addBox(b, 20);

  addSearchTitle(136);
  const Box searchBoxes[] = {
      {"姓名", {53, 154}, "Edit20", {88, 152}, 137, nullptr},
      {"手机", {261, 154}, "Edit21", {296, 152}, 137, nullptr},
      {"收件单位", {443, 154}, "Edit29", {506, 152}, 335, nullptr},
      {"运单号", {40, 181}, "Edit32", {88, 179}, 137, nullptr},
  };
  const char* searched[] = {"姓名", "手机", "收件单位", "运单号"};
  for (int i = 0; i < 4; ++i) {
    bool small = i < 2;
    QLineEdit* e = addBox(searchBoxes[i], small ? 19 : 20, small ? 13 : 14);
    searchBoxes_.emplace_back(e, QString::fromUtf8(searched[i]));
  }
  addVerticalTitle(QStringLiteral("收件信息"));

  addButton_ = addButton("SpeedButton15", QStringLiteral("添加"), QRect(880, 15, 65, 21));
  changeButton_ = addButton("SpeedButton16", QStringLiteral("修改"), QRect(880, 42, 65, 21));
  changeButton_->setEnabled(false);
  QPushButton* del = addButton("SpeedButton17", QStringLiteral("删除"), QRect(880, 69, 65, 21));
  QPushButton* sw = addButton("SpeedButton18", QStringLiteral("切换"), QRect(880, 96, 65, 21));
  QPushButton* find = addButton("SpeedButton19", QStringLiteral("查询"), QRect(880, 151, 65, 22));
  QPushButton* all = addButton("SpeedButton20", QStringLiteral("刷新"), QRect(880, 178, 65, 22));

  QStringList columns = {"姓名", "城市", "收件单位", "邮编", "地址", "手机", "电话", "内件品名", "数量", "运单号", "备注"};
  addGrid("DBGridEh2", QRect(2, 211, 976, 296), columns, {60, 65, 100, 50, 200, 80, 90, 110, 40, 90, 90});

  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("PopupMenu8"));
  QAction* n52 = menu->addAction(QStringLiteral("修改记录"));
  n52->setObjectName(QStringLiteral("N52"));
  QAction* n53 = menu->addAction(QStringLiteral("删除记录"));
  n53->setObjectName(QStringLiteral("N53"));
  menu->addSeparator()->setObjectName(QStringLiteral("N163"));
  addHidePair(menu, "N164", "N165", QStringLiteral("隐藏城市"), 1);
  addHidePair(menu, "N166", "N167", QStringLiteral("隐藏收件单位"), 2);
  addHidePair(menu, "N168", "N169", QStringLiteral("隐藏邮编"), 3);
  addHidePair(menu, "N170", "N171", QStringLiteral("隐藏运单号"), 9);
  connect(n52, &QAction::triggered, this, [this] { beginChange(); });
  connect(n53, &QAction::triggered, this, [this] { deleteSelected(); });
  connect(grid_, &RecordGrid::contextMenuAt, menu, [menu](const QPoint& p) { menu->popup(p); });

  QWidget* previous = entries_.back().first;
  for (auto& [box, column] : searchBoxes_) {
    setTabOrder(previous, box);
    previous = box;
  }
  setTabOrder(previous, grid_);

  connect(addButton_, &QPushButton::clicked, this, [this] { add(); });
  connect(changeButton_, &QPushButton::clicked, this, [this] { finishChange(); });
  connect(del, &QPushButton::clicked, this, [this] { deleteSelected(); });
  connect(sw, &QPushButton::clicked, this, [this] {
    if (switchTarget_) switchTarget_->showAction();
  });
  connect(find, &QPushButton::clicked, this, [this] { search(searchBoxes_); });
  connect(all, &QPushButton::clicked, this, [this] { refresh(searchBoxes_); });
}

std::vector<QLineEdit*> RecipientPage::boxesClearedOnShow() const {
  std::vector<QLineEdit*> boxes = RecordPage::boxesClearedOnShow();
  for (auto& [box, column] : searchBoxes_) boxes.push_back(box);
  return boxes;
}

void RecipientPage::showAction() {
  clearEntries();
  for (auto& [box, column] : searchBoxes_) box->clear();
  showSelf(entries_.front().first);
}

void RecipientPage::add() {
  // The first ten boxes count; a remark alone is not a recipient.
  if (entriesEmpty(10)) {
    ui::tell(dialogs_, QStringLiteral("收件信息不能为空！"));
    return;
  }
  if (failed(set_->append(entryValues()))) return;
  clearEntries();
}

}  // namespace waybill
