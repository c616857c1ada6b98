#include "records/RecordPage.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QStackedWidget>

#include "platform/ui/Artwork.h"

namespace waybill {

QFont pixelFont(const QString& family, int pixels, bool bold) {
  QFont f(family);
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

RecordPage::RecordPage(ui::Dialogs& dialogs, RecordSet* set, RecordSetModel* model, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), set_(set), model_(model) {}

std::vector<QLineEdit*> RecordPage::boxesClearedOnShow() const {
  std::vector<QLineEdit*> boxes;
  for (auto& [box, column] : entries_) boxes.push_back(box);
  return boxes;
}

QLabel* RecordPage::addLabel(const QString& text, QPoint at, const QFont& font) {
  auto* l = new QLabel(text, this);
  l->setFont(font);
  l->adjustSize();
  l->move(at);
  return l;
}

QLineEdit* RecordPage::addBox(const Box& b, int height, int fontPixels) {
  if (b.label) addLabel(QString::fromUtf8(b.label), b.labelAt, pixelFont(QStringLiteral("宋体"), 14));
  auto* e = new QLineEdit(this);
  e->setObjectName(QString::fromUtf8(b.name));
  e->setFont(pixelFont(QStringLiteral("宋体"), fontPixels));
  e->setGeometry(b.boxAt.x(), b.boxAt.y(), b.width, height);
  e->setFrame(false);
  e->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid #7f9db9; background: white; padding: 0 2px; }"
                                  "QLineEdit:read-only { border: 1px solid #7f9db9; }"));
  if (b.column) entries_.emplace_back(e, QString::fromUtf8(b.column));
  return e;
}

void RecordPage::addVerticalTitle(const QString& text) {
  const int tops[] = {20, 44, 68, 92};
  for (int i = 0; i < text.size() && i < 4; ++i) {
    QLabel* l = addLabel(text.mid(i, 1), QPoint(16, tops[i]), pixelFont(QStringLiteral("黑体"), 19, true));
    l->setStyleSheet(QStringLiteral("color: blue;"));
  }
}

void RecordPage::addSearchTitle(int ruleTop) {
  QLabel* title = addLabel(QStringLiteral("单项查询"), QPoint(40, ruleTop - 8), pixelFont(QStringLiteral("宋体"), 14, true));
  title->setStyleSheet(QStringLiteral("color: blue;"));
  for (QRect r : {QRect(0, ruleTop, 36, 2), QRect(104, ruleTop, 881, 2)}) {
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(r);
  }
}

QPushButton* RecordPage::addButton(const char* name, const QString& caption, const QRect& r) {
  auto* b = new QPushButton(caption, this);
  b->setObjectName(QString::fromUtf8(name));
  b->setFont(pixelFont(QStringLiteral("宋体"), 14));
  b->setGeometry(r);
  b->setFlat(true);
  b->setStyleSheet(QStringLiteral(
      "QPushButton { border: 1px solid #8aa8c8; border-radius: 2px; background: qlineargradient(x1:0,y1:0,x2:0,y2:1,"
      " stop:0 #ffffff, stop:1 #dde8f4); }"
      "QPushButton:hover { background: #e8f2ff; } QPushButton:pressed { background: #c8dcf0; }"
      "QPushButton:disabled { color: #9a9a9a; border-color: #c0c8d0; background: #f0f0f0; }"));
  return b;
}

RecordGrid* RecordPage::addGrid(const char* name, const QRect& r, const QStringList& columns,
                                const std::vector<int>& widths, const QStringList& titles) {
  grid_ = new RecordGrid(this);
  grid_->setObjectName(QString::fromUtf8(name));
  grid_->setGeometry(r);
  model_->setColumns(columns, titles);
  grid_->setRecordModel(model_, widths);
  // An 11-digit mobile and a waybill number of 15 characters show whole.
  grid_->setColumnSample(int(columns.indexOf(QStringLiteral("手机"))), QStringLiteral("13800138000"));
  grid_->setColumnSample(int(columns.indexOf(QStringLiteral("运单号"))), QStringLiteral("SF1234567890123"));
  connect(grid_, &RecordGrid::rowDoubleClicked, this, [this] { beginChange(); });
  return grid_;
}

void RecordPage::addHidePair(QMenu* menu, const char* hideName, const char* showName, const QString& caption,
                             int column) {
  QAction* hide = menu->addAction(caption);
  hide->setObjectName(QString::fromUtf8(hideName));
  QAction* show = menu->addAction(caption);
  show->setObjectName(QString::fromUtf8(showName));
  show->setCheckable(true);
  show->setChecked(true);
  show->setVisible(false);
  connect(hide, &QAction::triggered, this, [=, this] {
    hide->setVisible(false);
    show->setVisible(true);
    show->setChecked(true);
    grid_->setColumnShown(column, false);
  });
  connect(show, &QAction::triggered, this, [=, this] {
    show->setVisible(false);
    show->setChecked(true);
    hide->setVisible(true);
    grid_->setColumnShown(column, true);
  });
}

void RecordPage::clearEntries() {
  for (auto& [box, column] : entries_) box->clear();
}

bool RecordPage::entriesEmpty(size_t count) const {
  for (size_t i = 0; i < count && i < entries_.size(); ++i)
    if (!entries_[i].first->text().isEmpty()) return false;
  return true;
}

std::vector<std::pair<QString, QString>> RecordPage::entryValues() const {
  std::vector<std::pair<QString, QString>> v;
  for (auto& [box, column] : entries_) v.emplace_back(column, box->text());
  return v;
}

bool RecordPage::failed(const std::optional<QString>& error) {
  if (!error) return false;
  ui::showError(dialogs_, *error);
  return true;
}

void RecordPage::beginChange() {
  addButton_->setEnabled(false);
  changeButton_->setEnabled(true);
  // setText clears each box's modified flag: only what the user types
  // afterwards is written by "修改".
  for (auto& [box, column] : entries_) box->setText(set_->field(column));
}

void RecordPage::finishChange() {
  if (set_->rowCount() == 0) {
    ui::tell(dialogs_, QStringLiteral("当前修改记录为空！"));
  } else {
    std::vector<std::pair<QString, QString>> changed;
    for (auto& [box, column] : entries_)
      if (box->isModified()) changed.emplace_back(column, box->text());
    if (!failed(set_->changeCurrent(changed))) ui::tell(dialogs_, QStringLiteral("修改记录成功！"));
  }
  addButton_->setEnabled(true);
  changeButton_->setEnabled(false);
  clearEntries();
}

void RecordPage::deleteSelected() {
  std::vector<int> rows = grid_->selectedRowsDescending();
  if (rows.empty()) {
    ui::tell(dialogs_,
             QStringLiteral("请单击左边的序号选中一条记录或拖选一段记录，\r\n也可以用Ctrl及Shift来进行多选，然后再删除记录。"),
             ui::Icon::kInformation);
    return;
  }
  if (ui::tell(dialogs_, QStringLiteral("确定要删除选中的记录？"), ui::Icon::kWarning, ui::Buttons::kOkCancel) !=
      ui::Answer::kOk)
    return;
  if (set_->rowCount() == 0) return;
  grid_->setUpdatesEnabled(false);
  grid_->clearSelection();
  for (int row : rows)
    if (failed(set_->deleteRow(row))) break;
  grid_->setUpdatesEnabled(true);
}

void RecordPage::search(const std::vector<std::pair<QLineEdit*, QString>>& boxes) {
  for (auto& [box, column] : boxes) {
    if (box->text().isEmpty()) continue;
    if (failed(set_->requery(Query::containing(set_->query().table, column, box->text())))) return;
  }
}

void RecordPage::refresh(const std::vector<std::pair<QLineEdit*, QString>>& boxes) {
  for (auto& [box, column] : boxes) box->clear();
  failed(set_->requery(Query::all(set_->query().table)));
}

void RecordPage::showSelf(QWidget* first) {
  if (auto* stack = qobject_cast<QStackedWidget*>(parentWidget())) stack->setCurrentWidget(this);
  if (first) first->setFocus();
}

void RecordPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, ui::artwork::pageBackground());
}

}  // namespace waybill
