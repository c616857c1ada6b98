#include "printing/PrintWindow.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QScreen>

#include "platform/report/Output.h"
#include "platform/ui/Artwork.h"
#include "platform/ui/WindowFrame.h"
#include "printing/WindowParts.h"
#include "printing/RecordSetSource.h"
#include "records/RecordPage.h"
#include "records/waybill_schema.h"
#include "templates/FormPicture.h"

namespace waybill {

// One template's page: the picture, the memos and the branding label.
class WaybillPage : public QWidget {
 public:
  WaybillPage(const WaybillTemplate& t, QWidget* parent) : QWidget(parent), t_(t) {
    picture_ = formPicture(t, QCoreApplication::applicationDirPath());
    for (size_t i = 0; i < t.fieldSlots.size(); ++i) {
      auto* m = new MemoView(this);
      m->setObjectName(QStringLiteral("DBMemo%1").arg(i + 1));
      memos.push_back(m);
    }
    label = new LabelView(brandingCaption(), brandingFont(), this);
  }
  void place(const WaybillLayout& layout) {
    const int x = t_.screenOffset;
    for (size_t i = 0; i < memos.size(); ++i) {
      const FieldSlot& s = t_.fieldSlots[i];
      memos[i]->setGeometry(s.box.translated(layout.shift + QPoint(x, 0)));
      memos[i]->setMemoFont(memoFont(s, layout));
    }
    label->move(t_.label + layout.shift + QPoint(x, 0));
  }
  std::vector<MemoView*> memos;
  LabelView* label;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QRect band(t_.screenOffset, 0, t_.bandWidth, t_.bandHeight);
    p.fillRect(rect(), QColor(0xEE, 0xF4, 0xFB));
    p.fillRect(band, Qt::white);
    if (!picture_.isNull()) p.drawImage(t_.pictureBox.translated(t_.screenOffset, 0), picture_);
  }

 private:
  const WaybillTemplate& t_;
  QImage picture_;
};

namespace {
const char* windowObjectName(PrintWindowKind k) {
  switch (k) {
    case PrintWindowKind::TDdForm: return "DdForm";
    case PrintWindowKind::TEddForm: return "EddForm";
    case PrintWindowKind::TPdForm: return "PdForm";
    case PrintWindowKind::TPedForm: return "PedForm";
  }
  return "";
}
}  // namespace

PrintWindow::PrintWindow(PrintWindowKind kind, RecordStore& store, ui::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      kind_(kind),
      store_(store),
      dialogs_(dialogs) {
  setObjectName(QString::fromLatin1(windowObjectName(kind)));
  setModal(true);
  const int width = kind == PrintWindowKind::TDdForm ? 877 : 878;
  // A fixed size, which is what makes X11 window managers offer no
  // maximise button and no resize handles; the close box is the only
  // button the flags ask for.
  setFixedSize(width, 612);
  lastFont_ = QFont(QStringLiteral("MS Sans Serif"));
  lastFont_.setPixelSize(11);
  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  pages_->setGeometry(0, 79, width, 612 - 79);
  for (int n = 1; n <= 36; ++n) {
    auto* holder = new QWidget(pages_);
    holder->setObjectName(QStringLiteral("TabSheet%1").arg(n));
    pages_->addWidget(holder);
  }
  buildToolbar();

  if (batch()) {
    // The batch windows read their own snapshot of the whole table.
    const char* table = kind_ == PrintWindowKind::TPdForm ? kRecipientTable : kImportTable;
    ownSet_ = new OwnRecordSet(store, QString::fromUtf8(table), this);
    recipients_ = ownSet_->set();
    if (!ownSet_->error().isEmpty()) ui::showError(dialogs_, ownSet_->error());
  } else {
    recipients_ = kind == PrintWindowKind::TDdForm ? store.ADOQuery2() : store.ADOQuery3();
  }
  for (RecordSet* set : {store.ADOQuery1(), recipients_}) {
    connect(set, &RecordSet::currentChanged, this, &PrintWindow::refreshPage);
    connect(set, &RecordSet::reset, this, &PrintWindow::refreshPage);
    connect(set, &RecordSet::rowChanged, this, &PrintWindow::refreshPage);
  }
}

PrintWindow::~PrintWindow() = default;

void PrintWindow::buildToolbar() {
  QFrame* bar = makeToolbarPanel(this, 881);
  QToolButton* font = addToolbarButton(bar, "SpeedButton1", 8, QStringLiteral("设置字体"), QStringLiteral("帮助主题"));
  QToolButton* print = addToolbarButton(bar, "SpeedButton2", 81, QStringLiteral("直接打印"), QStringLiteral("单张打印"));
  QToolButton* preview = addToolbarButton(bar, "SpeedButton3", 154,
                                          batch() ? QStringLiteral("批量预览") : QStringLiteral("单张预览"),
                                          QStringLiteral("批量打印"));
  QToolButton* close = addToolbarButton(bar, "SpeedButton4", 227, QStringLiteral("关闭窗口"), QStringLiteral("退出软件"));
  AdjustmentGroup group = makeAdjustmentGroup(bar, {432, 16}, "SpeedButton5", "SpeedButton6");
  connect(font, &QToolButton::clicked, this, &PrintWindow::chooseFont);
  connect(print, &QToolButton::clicked, this, &PrintWindow::printCurrent);
  connect(preview, &QToolButton::clicked, this, &PrintWindow::previewCurrent);
  connect(close, &QToolButton::clicked, this, &QDialog::reject);
  connect(group.verticalOk, &QToolButton::clicked, this, &PrintWindow::shiftVertical);
  connect(group.horizontalOk, &QToolButton::clicked, this, &PrintWindow::shiftHorizontal);
}

const WaybillTemplate& PrintWindow::templateOf(int number) const { return Catalogue::builtIn().get(kind_, number); }

QRect PrintWindow::slotRect(int number, size_t slot) const {
  return templateOf(number).fieldSlots[slot].box.translated(layout_.shift);
}

QPoint PrintWindow::labelPosition(int number) const { return templateOf(number).label + layout_.shift; }

WaybillPage* PrintWindow::page(int number) {
  WaybillPage*& p = built_[size_t(number - 1)];
  if (!p) {
    QWidget* holder = pages_->widget(number - 1);
    p = new WaybillPage(templateOf(number), holder);
    p->setGeometry(0, 0, std::max(pages_->width(), templateOf(number).bandWidth + 30), 700);
    p->place(layout_);
    p->show();
  }
  return p;
}

MemoView* PrintWindow::memo(size_t slot) { return page(current_)->memos[slot]; }

void PrintWindow::refreshPage() {
  WaybillPage* p = built_[size_t(current_ - 1)];
  if (!p) return;
  const WaybillTemplate& t = templateOf(current_);
  for (size_t i = 0; i < t.fieldSlots.size(); ++i) {
    const FieldSlot& s = t.fieldSlots[i];
    p->memos[i]->setText((s.role == Role::kSender ? store_.ADOQuery1() : recipients_)->field(s.column));
  }
}

void PrintWindow::prepare(const QString& caption, int number, int outerHeight) {
  setWindowTitle(caption);
  current_ = number;
  pages_->setCurrentIndex(number - 1);
  page(number);
  refreshPage();
  // The caller gives the outer height; the frame's share is the window
  // manager's, asked for before the first showing too.
  const QMargins frame = ui::frameMargins(this);
  setFixedSize(width(), outerHeight - frame.top() - frame.bottom());
  pages_->resize(width(), height() - 79);
  ui::centreOnScreen(this);
}

void PrintWindow::open(const QString& caption, int number, int outerHeight) {
  prepare(caption, number, outerHeight);
  runModal(this);
}

std::unique_ptr<WaybillReport> PrintWindow::makeReport(int number) {
  WaybillPage* p = page(number);
  auto r = std::make_unique<WaybillReport>(templateOf(number), layout_, [this, p](const FieldSlot& s) {
    // Before its band prints, a box takes what its memo shows: the memos
    // follow the row being printed.
    refreshPage();
    return p->memos[size_t(s.index - 1)]->lines();
  });
  return r;
}

void PrintWindow::printCurrent() {
  auto r = makeReport(current_);
  RecordSetSource source(recipients_);
  if (batch()) r->report().source = &source;
  printWithProgress(r->report(), printerName, this, dialogs_);
}

void PrintWindow::previewCurrent() {
  auto r = makeReport(current_);
  RecordSetSource source(recipients_);
  if (batch()) r->report().source = &source;
  report::previewReport(r->report(), this);
}

void PrintWindow::applyLayout() {
  for (WaybillPage* p : built_)
    if (p) p->place(layout_);
}

void PrintWindow::shiftVertical() { shift(QStringLiteral("Edit1"), QPoint(0, 1)); }
void PrintWindow::shiftHorizontal() { shift(QStringLiteral("Edit2"), QPoint(1, 0)); }

// Adds the box's offset to every item's position along `axis`.
void PrintWindow::shift(const QString& box, QPoint axis) {
  auto v = readOffset(findChild<QLineEdit*>(box), dialogs_);
  if (!v) return;
  layout_.shift += axis * *v;
  applyLayout();
}

void PrintWindow::chooseFont() {
  auto chosen = dialogs_.font(lastFont_);
  if (!chosen) return;
  lastFont_ = *chosen;
  layout_.slotFont = *chosen;
  applyLayout();
}

bool PrintWindow::event(QEvent* e) {
  // A batch window takes a fresh snapshot each time it becomes active, so
  // rows added since print too.
  if (e->type() == QEvent::WindowActivate && ownSet_)
    if (auto error = ownSet_->requeryOnActivation()) ui::showError(dialogs_, *error);
  return QDialog::event(e);
}

}  // namespace waybill
