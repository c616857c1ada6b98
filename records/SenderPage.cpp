#include "records/SenderPage.h"

#include <QMenu>

#include "records/waybill_schema.h"

namespace waybill {

namespace {
const QString kShown = QStringLiteral("隐藏日期");
const QString kHidden = QStringLiteral("显示日期");
}  // namespace

SenderPage::SenderPage(ui::Dialogs& dialogs, RecordSet* set, RecordSetModel* model, QWidget* parent)
    : RecordPage(dialogs, set, model, parent) {
  setObjectName(QStringLiteral("senderPage"));
  const Box boxes[] = {
      {"姓名", {53, 18}, "Edit1", {88, 16}, 137, "姓名"},      {"城市", {261, 18}, "Edit2", {296, 16}, 137, "城市"},
      {"寄件单位", {443, 18}, "Edit3", {504, 16}, 337, "寄件单位"}, {"邮编", {53, 45}, "Edit4", {88, 43}, 137, "邮编"},
      {"地址", {261, 45}, "Edit5", {296, 43}, 545, "地址"},    {"手机", {53, 72}, "Edit6", {88, 70}, 137, "手机"},
      {"电话", {261, 72}, "Edit7", {296, 70}, 137, "电话"},    {"签名", {469, 72}, "Edit8", {504, 70}, 137, "签名"},
      {"备注", {53, 99}, "Edit9", {88, 97}, 753, "备注"},
  };
  for (const Box& b : boxes) addBox(b, 19);
  auto dateBox = [&](const char* label, QPoint labelAt, const char* name, QPoint at, int width) {
    QLineEdit* e = addBox(Box{label, labelAt, name, at, width, nullptr}, 19);
    e->setReadOnly(true);
    e->setStyleSheet(QStringLiteral("QLineEdit { color: white; background: rgb(0,128,255); border: 1px solid #7f9db9; }"));
    return e;
  };
  year_ = dateBox("年", {654, 72}, "Edit25", {672, 70}, 57);
  month_ = dateBox("月", {736, 72}, "Edit26", {752, 70}, 33);
  day_ = dateBox("日", {792, 72}, "Edit27", {808, 70}, 33);
  remembered_ = new QLineEdit(this);
  remembered_->setObjectName(QStringLiteral("Edit28"));
  remembered_->hide();
  addVerticalTitle(QStringLiteral("寄件信息"));

  addButton_ = addButton("SpeedButton11", QStringLiteral("添加"), QRect(880, 15, 65, 21));
  changeButton_ = addButton("SpeedButton12", QStringLiteral("修改"), QRect(880, 42, 65, 21));
  changeButton_->setEnabled(false);
  QPushButton* del = addButton("SpeedButton13", QStringLiteral("删除"), QRect(880, 69, 65, 21));
  QPushButton* sw = addButton("SpeedButton14", QStringLiteral("切换"), QRect(880, 96, 65, 21));

  QStringList columns = {"姓名", "城市", "寄件单位", "邮编", "地址", "手机", "电话", "签名", "备注"};
  addGrid("DBGridEh1", QRect(2, 129, 976, 375), columns, {70, 70, 135, 80, 200, 80, 90, 70, 120});

  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("PopupMenu7"));
  QAction* n50 = menu->addAction(QStringLiteral("修改记录"));
  n50->setObjectName(QStringLiteral("N50"));
  QAction* n51 = menu->addAction(QStringLiteral("删除记录"));
  n51->setObjectName(QStringLiteral("N51"));
  connect(n50, &QAction::triggered, this, [this] { beginChange(); });
  connect(n51, &QAction::triggered, this, [this] { deleteSelected(); });
  connect(grid_, &RecordGrid::contextMenuAt, menu, [menu](const QPoint& p) { menu->popup(p); });

  setTabOrder(entries_.back().first, grid_);
  setTabOrder(grid_, year_);
  connect(addButton_, &QPushButton::clicked, this, [this] { add(); });
  connect(changeButton_, &QPushButton::clicked, this, [this] { finishChange(); });
  connect(del, &QPushButton::clicked, this, [this] { deleteSelected(); });
  connect(sw, &QPushButton::clicked, this, [this] {
    if (switchTarget_) switchTarget_->showAction();
  });
  connect(grid_, &RecordGrid::cellClicked, this, [this] { cellClicked(); });
}

QString SenderPage::rememberedSender() const { return remembered_->text(); }

void SenderPage::setDateBoxes(const QString& y, const QString& m, const QString& d) {
  year_->setText(y);
  month_->setText(m);
  day_->setText(d);
}

// The date boxes and the toggle's caption follow the current sender.
void SenderPage::followCurrentDate() {
  QString y = set_->field(QStringLiteral("年")), m = set_->field(QStringLiteral("月")),
          d = set_->field(QStringLiteral("日"));
  setDateBoxes(y, m, d);
  if (dateToggle_) dateToggle_->setText(y.isEmpty() && m.isEmpty() && d.isEmpty() ? kHidden : kShown);
}

void SenderPage::showAction() {
  if (failed(set_->requery(Query::all(QString::fromUtf8(kSenderTable))))) return;
  followCurrentDate();
  clearEntries();
  showSelf(entries_.front().first);
}

void SenderPage::cellClicked() {
  remembered_->setText(set_->field(QStringLiteral("姓名")));
  followCurrentDate();
}

void SenderPage::add() {
  if (entriesEmpty(entries_.size())) {
    ui::tell(dialogs_, QStringLiteral("寄件信息不能为空！"));
    return;
  }
  remembered_->setText(entries_.front().first->text());
  auto values = entryValues();
  values.emplace_back(QStringLiteral("年"), year_->text());
  values.emplace_back(QStringLiteral("月"), month_->text());
  values.emplace_back(QStringLiteral("日"), day_->text());
  if (failed(set_->append(values))) return;
  clearEntries();
}

void SenderPage::toggleDate() {
  bool shown = dateToggle_ && dateToggle_->text() == kShown;
  QString y, m, d;
  if (!shown) {
    QDate today = today_();
    y = today.toString(QStringLiteral("yyyy"));
    m = today.toString(QStringLiteral("MM"));
    d = today.toString(QStringLiteral("dd"));
  }
  if (dateToggle_) dateToggle_->setText(shown ? kHidden : kShown);
  setDateBoxes(y, m, d);
  // With no sender there is no row to stamp: storing one that holds only a
  // date would leave a blank sender behind.
  if (set_->rowCount() == 0) return;
  failed(set_->changeCurrent({{QStringLiteral("年"), y}, {QStringLiteral("月"), m}, {QStringLiteral("日"), d}}));
}

void SenderPage::startUp() {
  QString y = set_->field(QStringLiteral("年")), m = set_->field(QStringLiteral("月")),
          d = set_->field(QStringLiteral("日"));
  if (!(y.isEmpty() && m.isEmpty() && d.isEmpty())) {
    if (dateToggle_) dateToggle_->setText(kShown);
    QDate today = today_();
    setDateBoxes(today.toString(QStringLiteral("yyyy")), today.toString(QStringLiteral("MM")),
                 today.toString(QStringLiteral("dd")));
    failed(set_->changeCurrent(
        {{QStringLiteral("年"), year_->text()}, {QStringLiteral("月"), month_->text()}, {QStringLiteral("日"), day_->text()}}));
  } else {
    if (dateToggle_) dateToggle_->setText(kHidden);
    setDateBoxes({}, {}, {});
  }
  remembered_->setText(set_->field(QStringLiteral("姓名")));
}

}  // namespace waybill
