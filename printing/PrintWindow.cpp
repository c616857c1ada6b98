#include "printing/PrintWindow.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProgressDialog>
#include <QScreen>

#include "platform/report/Output.h"
#include "platform/ui/Artwork.h"
#include "printing/OffsetText.h"
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
    label = new QLabel(brandingCaption(), this);
    QFont f(QStringLiteral("华文新魏"));
    f.setPixelSize(kBrandingFontPixels);
    f.setBold(true);
    label->setFont(f);
    label->adjustSize();
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
  QLabel* label;

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
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint),
      kind_(kind),
      store_(store),
      dialogs_(dialogs) {
  setObjectName(QString::fromLatin1(windowObjectName(kind)));
  setModal(true);
  const int width = kind == PrintWindowKind::TDdForm ? 877 : 878;
  resize(width, 612);
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
    QString error;
    ownConnection_ = store.openConnection(error);
    ownSet_ = new RecordSet(ownConnection_.get(), this);
    recipients_ = ownSet_;
    if (!ownConnection_) ui::showError(dialogs_, error);
    else requeryOwnSet();
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
  auto* bar = new QFrame(this);
  bar->setObjectName(QStringLiteral("Panel1"));
  bar->setGeometry(0, 0, 881, 79);
  bar->setFrameStyle(QFrame::Panel | QFrame::Raised);
  bar->setLineWidth(2);
  bar->setStyleSheet(QStringLiteral("#Panel1 { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #fdfeff,"
                                    " stop:1 #dce8f5); border: 2px outset #c8d8ea; }"));
  struct Button {
    const char* name;
    int left;
    QString caption;
    const char* art;
  } buttons[] = {
      {"SpeedButton1", 8, QStringLiteral("设置字体"), "帮助主题"},
      {"SpeedButton2", 81, QStringLiteral("直接打印"), "单张打印"},
      {"SpeedButton3", 154, batch() ? QStringLiteral("批量预览") : QStringLiteral("单张预览"), "批量打印"},
      {"SpeedButton4", 227, QStringLiteral("关闭窗口"), "退出软件"},
  };
  for (const Button& b : buttons) {
    auto* t = new QToolButton(bar);
    t->setObjectName(QString::fromUtf8(b.name));
    t->setText(b.caption);
    t->setIcon(ui::artwork::toolbarIcon(QString::fromUtf8(b.art)));
    t->setIconSize(QSize(48, 48));
    t->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    t->setAutoRaise(true);
    t->setFont(pixelFont(QStringLiteral("宋体"), 14));
    t->setGeometry(b.left, 2, 73, 73);
  }
  auto* group = new QGroupBox(QStringLiteral("调整打印位置"), bar);
  group->setObjectName(QStringLiteral("GroupBox1"));
  group->setGeometry(432, 16, 435, 57);
  group->setFont(pixelFont(QStringLiteral("宋体"), 15));
  auto label = [&](const char* name, const QString& text, QPoint at) {
    auto* l = new QLabel(text, group);
    l->setObjectName(QString::fromUtf8(name));
    l->adjustSize();
    l->move(at);
  };
  auto box = [&](const char* name, QPoint at) {
    auto* e = new QLineEdit(group);
    e->setObjectName(QString::fromUtf8(name));
    e->setGeometry(at.x(), at.y(), 41, 21);
    return e;
  };
  auto ok = [&](const char* name, QPoint at) {
    auto* b = new QToolButton(group);
    b->setObjectName(QString::fromUtf8(name));
    b->setText(QStringLiteral("确定"));
    b->setGeometry(at.x(), at.y(), 57, 21);
    return b;
  };
  label("Label1", QStringLiteral("上下移动"), {22, 28});
  box("Edit1", {89, 24});
  QToolButton* vertical = ok("SpeedButton5", {144, 24});
  label("Label2", QStringLiteral("左右移动"), {229, 28});
  box("Edit2", {296, 24});
  QToolButton* horizontal = ok("SpeedButton6", {352, 24});

  connect(findChild<QToolButton*>(QStringLiteral("SpeedButton1")), &QToolButton::clicked, this, &PrintWindow::chooseFont);
  connect(findChild<QToolButton*>(QStringLiteral("SpeedButton2")), &QToolButton::clicked, this, &PrintWindow::printCurrent);
  connect(findChild<QToolButton*>(QStringLiteral("SpeedButton3")), &QToolButton::clicked, this, &PrintWindow::previewCurrent);
  connect(findChild<QToolButton*>(QStringLiteral("SpeedButton4")), &QToolButton::clicked, this, &QDialog::reject);
  connect(vertical, &QToolButton::clicked, this, &PrintWindow::shiftVertical);
  connect(horizontal, &QToolButton::clicked, this, &PrintWindow::shiftHorizontal);
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
  // The caller gives the outer height; the frame's share is the system's.
  int frame = frameGeometry().height() - geometry().height();
  resize(width(), outerHeight - (frame > 0 ? frame : 0));
  pages_->resize(width(), height() - 79);
  if (QScreen* s = QApplication::primaryScreen()) move(s->availableGeometry().center() - rect().center());
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
  QProgressDialog progress(QStringLiteral("正在打印……"), QStringLiteral("取消"), 0, r->report().bandCount(), this);
  progress.setWindowTitle(windowTitle());
  progress.setMinimumDuration(500);
  QString error = report::printReport(r->report(), printerName, [&](int done, int total) {
    progress.setMaximum(total);
    progress.setValue(done);
    QApplication::processEvents();
    return !progress.wasCanceled();
  });
  if (!error.isEmpty() && error != QStringLiteral("cancelled")) ui::showError(dialogs_, error);
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

// Adds the box's offset to every item's position along `axis`; an empty
// box does nothing, a text that is no whole number goes to the error box.
void PrintWindow::shift(const QString& box, QPoint axis) {
  QString text = findChild<QLineEdit*>(box)->text();
  if (text.isEmpty()) return;
  auto v = parseOffset(text);
  if (!v) return ui::showError(dialogs_, invalidOffsetMessage(text));
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

void PrintWindow::requeryOwnSet() {
  const char* table = kind_ == PrintWindowKind::TPdForm ? kRecipientTable : kImportTable;
  if (auto e = ownSet_->requery(Query::all(QString::fromUtf8(table)))) ui::showError(dialogs_, *e);
}

bool PrintWindow::event(QEvent* e) {
  // A batch window takes a fresh snapshot each time it becomes active, so
  // rows added since print too.
  if (e->type() == QEvent::WindowActivate && batch() && ownConnection_) requeryOwnSet();
  return QDialog::event(e);
}

}  // namespace waybill
