#include "thermal/ThermalWindow.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QToolButton>

#include "platform/report/Output.h"
#include "platform/ui/WindowFrame.h"
#include "printing/RecordSetSource.h"
#include "printing/WindowParts.h"
#include "records/waybill_schema.h"

namespace waybill {

std::optional<ThermalWindowKind> thermalWindowByName(const QString& name) {
  if (name == QStringLiteral("TRddForm")) return ThermalWindowKind::TRddForm;
  if (name == QStringLiteral("TPrdForm")) return ThermalWindowKind::TPrdForm;
  if (name == QStringLiteral("TErdForm")) return ThermalWindowKind::TErdForm;
  if (name == QStringLiteral("TPerdForm")) return ThermalWindowKind::TPerdForm;
  return std::nullopt;
}

bool isBatch(ThermalWindowKind k) { return k == ThermalWindowKind::TPrdForm || k == ThermalWindowKind::TPerdForm; }

bool readsImportedList(ThermalWindowKind k) {
  return k == ThermalWindowKind::TErdForm || k == ThermalWindowKind::TPerdForm;
}

// The report surface: the label as the window shows it, 378 x 682 px.
class LabelSurface : public QWidget {
 public:
  explicit LabelSurface(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("QuickRep1"));
    setFixedSize(378, 682);
  }
  std::unique_ptr<ThermalReport> label;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!label) return;
    for (const auto& item : label->report().items) item->draw(p);
  }
};

namespace {
const char* windowObjectName(ThermalWindowKind k) {
  switch (k) {
    case ThermalWindowKind::TRddForm: return "RddForm";
    case ThermalWindowKind::TPrdForm: return "PrdForm";
    case ThermalWindowKind::TErdForm: return "ErdForm";
    case ThermalWindowKind::TPerdForm: return "PerdForm";
  }
  return "";
}
}  // namespace

ThermalWindow::ThermalWindow(ThermalWindowKind kind, RecordStore& store, ui::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      kind_(kind),
      store_(store),
      dialogs_(dialogs),
      dateText_(designDateText()) {
  setObjectName(QString::fromLatin1(windowObjectName(kind)));
  setModal(true);
  resize(751, 622);

  buildToolbar();

  // The report surface is taller than the window: the area under the
  // toolbar scrolls, the surface standing at (180, 85) of the window.
  scroll_ = new QScrollArea(this);
  scroll_->setObjectName(QStringLiteral("ScrollBox1"));
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(false);
  auto* content = new QWidget;
  content->setFixedSize(730, 85 - 79 + 682 + 12);
  content->setStyleSheet(QStringLiteral("background: #eef4fb;"));
  surface_ = new LabelSurface(content);
  surface_->move(180, 85 - 79);
  scroll_->setWidget(content);
  scroll_->setGeometry(0, 79, width(), height() - 79);

  for (int i = 0; i < 4; ++i) {
    auto* m = new MemoView(surface_);
    m->setObjectName(QStringLiteral("DBMemo%1").arg(i + 1));
    m->setMemoFont(labelItems()[1].font());
    memos_[size_t(i)] = m;
  }

  if (batch()) {
    // The batch windows read their own snapshot of the whole table.
    const char* table = readsImportedList(kind) ? kImportTable : kRecipientTable;
    ownSet_ = new OwnRecordSet(store, QString::fromUtf8(table), this);
    recipients_ = ownSet_->set();
    if (!ownSet_->error().isEmpty()) ui::showError(dialogs_, ownSet_->error());
  } else {
    recipients_ = readsImportedList(kind) ? store.ADOQuery3() : store.ADOQuery2();
  }
  for (RecordSet* set : {store.ADOQuery1(), recipients_}) {
    connect(set, &RecordSet::currentChanged, this, &ThermalWindow::refreshMemos);
    connect(set, &RecordSet::reset, this, &ThermalWindow::refreshMemos);
    connect(set, &RecordSet::rowChanged, this, &ThermalWindow::refreshMemos);
  }
  place();
  refreshMemos();
}

ThermalWindow::~ThermalWindow() = default;

void ThermalWindow::buildToolbar() {
  QFrame* bar = bar_ = makeToolbarPanel(this, 751);
  QToolButton* print = addToolbarButton(bar, "SpeedButton5", 8, QStringLiteral("直接打印"), QStringLiteral("单张打印"));
  QToolButton* preview = addToolbarButton(bar, "SpeedButton1", 80,
                                          batch() ? QStringLiteral("批量预览") : QStringLiteral("单张预览"),
                                          QStringLiteral("批量打印"));
  QToolButton* close = addToolbarButton(bar, "SpeedButton2", 153, QStringLiteral("关闭窗口"), QStringLiteral("退出软件"));
  AdjustmentGroup group = makeAdjustmentGroup(bar, {272, 16}, "SpeedButton3", "SpeedButton4");
  vertical_ = group.vertical;
  horizontal_ = group.horizontal;
  connect(print, &QToolButton::clicked, this, &ThermalWindow::printCurrent);
  connect(preview, &QToolButton::clicked, this, &ThermalWindow::previewCurrent);
  connect(close, &QToolButton::clicked, this, &QDialog::reject);
  connect(group.verticalOk, &QToolButton::clicked, this, &ThermalWindow::shiftVertical);
  connect(group.horizontalOk, &QToolButton::clicked, this, &ThermalWindow::shiftHorizontal);
}

void ThermalWindow::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  bar_->setGeometry(0, 0, width(), 79);
  scroll_->setGeometry(0, 79, width(), height() - 79);
}

QRect ThermalWindow::itemRect(const QString& name) const {
  const LabelItem* item = findLabelItem(name);
  return item ? item->box.translated(shift_) : QRect();
}

// Lays the surface out anew for the shift and the date label.
void ThermalWindow::place() {
  LabelContent screen;
  screen.field = [](Role, const QString& column) { return column; };
  screen.date = dateText_;
  surface_->label = std::make_unique<ThermalReport>(shift_, std::move(screen), true);
  for (int i = 1; i <= 4; ++i) memo(i)->setGeometry(itemRect(QStringLiteral("DBMemo%1").arg(i)));
  surface_->update();
}

void ThermalWindow::refreshMemos() {
  for (int i = 1; i <= 4; ++i) {
    const LabelItem* slot = findLabelItem(QStringLiteral("DBMemo%1").arg(i));
    RecordSet* set = slot->role == Role::kSender ? store_.ADOQuery1() : recipients_;
    memo(i)->setText(set->field(QString::fromUtf8(slot->content)));
  }
}

void ThermalWindow::prepare(const QString& caption) {
  setWindowTitle(caption);
  refreshMemos();
  // The outer size is the window's own; the frame's share is the window
  // manager's, asked for before the first showing too.  The border can be
  // dragged: only the minimise and maximise buttons are gone.
  const QMargins frame = ui::frameMargins(this);
  resize(751 - frame.left() - frame.right(), 622 - frame.top() - frame.bottom());
  ui::centreOnScreen(this);
}

void ThermalWindow::open(const QString& caption) {
  prepare(caption);
  runModal(this);
}

std::unique_ptr<ThermalReport> ThermalWindow::makeReport() {
  LabelContent content;
  content.field = [this](Role role, const QString& column) {
    return (role == Role::kSender ? store_.ADOQuery1() : recipients_)->field(column);
  };
  // Before its band prints, an address box takes what its memo shows: the
  // memos follow the row being printed.
  content.beforeBand = [this] { refreshMemos(); };
  content.addressLines = [this](int index) { return memo(index)->lines(); };
  content.date = dateText_;
  return std::make_unique<ThermalReport>(shift_, std::move(content));
}

// The date is taken once per command, so every label of a batch carries
// the same one; it stays on the label until the next command.
void ThermalWindow::stampDate() {
  dateText_ = labelDate(today());
  place();
}

void ThermalWindow::printCurrent() {
  stampDate();
  auto label = makeReport();
  RecordSetSource source(recipients_);
  if (batch()) label->report().source = &source;
  printWithProgress(label->report(), printerName, this, dialogs_);
}

void ThermalWindow::previewCurrent() {
  stampDate();
  auto label = makeReport();
  RecordSetSource source(recipients_);
  if (batch()) label->report().source = &source;
  showPreview(label->report(), this);
}

void ThermalWindow::shiftVertical() { shiftBy(vertical_, QPoint(0, 1)); }
void ThermalWindow::shiftHorizontal() { shiftBy(horizontal_, QPoint(1, 0)); }

void ThermalWindow::shiftBy(QLineEdit* box, QPoint axis) {
  auto v = readOffset(box, dialogs_);
  if (!v) return;
  shift_ += axis * *v;
  place();
}

bool ThermalWindow::event(QEvent* e) {
  // A batch window takes a fresh snapshot each time it becomes active.
  if (e->type() == QEvent::WindowActivate && ownSet_)
    if (auto error = ownSet_->requeryOnActivation()) ui::showError(dialogs_, *error);
  return QDialog::event(e);
}

}  // namespace waybill
