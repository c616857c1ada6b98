// make_form_pictures OUTDIR: draws the blank form of every waybill template
// as a JPEG of the template's picture size, so that on screen each field
// stands in a box of its own.  Plausible blank forms, not scans: the
// courier's name in text, the printed captions of the boxes and their
// outlines, in a light colour.  No logos.  A scan of the real form put into
// the user's folder (see formPicture) takes the place of these.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "platform/report/Fonts.h"
#include "templates/FormPicture.h"
#include "templates/WaybillTemplate.h"

using namespace waybill;

namespace {

QString captionOf(const FieldSlot& s) {
  const bool sender = s.role == Role::kSender;
  if (s.largeCity()) return QStringLiteral("目的地");
  if (s.column == "年" || s.column == "月" || s.column == "日") return s.column;
  if (s.column == "签名") return QStringLiteral("寄件人签名");
  if (s.column == "内件品名") return QStringLiteral("内件品名");
  if (s.column == "数量") return QStringLiteral("件数");
  if (s.column == "备注") return QStringLiteral("备注");
  if (s.column == "寄件单位" || s.column == "收件单位") return QStringLiteral("单位名称");
  return (sender ? QStringLiteral("寄件人") : QStringLiteral("收件人")) + s.column;
}

QColor hueOf(const QString& courier) {
  uint h = qHash(courier) % 360;
  return QColor::fromHsv(int(h), 150, 170);
}

QImage draw(const WaybillTemplate& t) {
  QImage img(t.pictureSize, QImage::Format_RGB32);
  const QColor ink = hueOf(t.courier);
  img.fill(QColor::fromHsv(ink.hsvHue(), 18, 255));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // Band pixels to picture pixels: the picture is stretched into its box.
  const double sx = double(t.pictureSize.width()) / t.pictureBox.width();
  const double sy = double(t.pictureSize.height()) / t.pictureBox.height();
  p.scale(sx, sy);
  p.translate(-t.pictureBox.left(), -t.pictureBox.top());
  QPen frame(ink, 1.2);
  p.setPen(frame);
  p.drawRoundedRect(QRectF(t.pictureBox).adjusted(6, 6, -6, -6), 8, 8);
  QFont title(QStringLiteral("黑体"));
  title.setPixelSize(26);
  title.setBold(true);
  p.setFont(title);
  p.setPen(ink);
  // The courier's name low on the left, where no template puts a field.
  p.drawText(QRectF(t.pictureBox.left() + 20, t.pictureBox.bottom() - 44, t.pictureBox.width() / 2, 34),
             Qt::AlignLeft | Qt::AlignVCenter, t.courier + QStringLiteral(" 快递详情单"));
  QFont small(QStringLiteral("宋体"));
  small.setPixelSize(8);
  p.setFont(small);
  // Each box as a cell of the form, its printed caption small in its
  // upper left corner, where handwriting would not go.
  for (const FieldSlot& s : t.fieldSlots) {
    QRectF b = QRectF(s.box).adjusted(-1, -1, 1, 1);
    p.setPen(QPen(ink.lighter(125), 0.8));
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawRect(b);
    p.setPen(ink.lighter(110));
    p.drawText(b.adjusted(2, 1, -1, 0), Qt::AlignLeft | Qt::AlignTop, captionOf(s));
  }
  p.setPen(ink.lighter(120));
  p.drawText(QRectF(t.pictureBox).adjusted(12, 0, -12, -10), Qt::AlignBottom | Qt::AlignRight,
             QStringLiteral("第 %1 号模板 · 空白底单示意").arg(t.number));
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  report::installFontSubstitutions();
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_form_pictures OUTDIR\n");
    return 2;
  }
  QDir out(QString::fromLocal8Bit(argv[1]));
  out.mkpath(QStringLiteral("."));
  const Catalogue& cat = Catalogue::builtIn();
  for (int n = 1; n <= 36; ++n) {
    const WaybillTemplate& t = cat.get(PrintWindowKind::TDdForm, n);
    if (!draw(t).save(out.filePath(formPictureName(t)), "JPEG", 88)) return 1;
  }
  const WaybillTemplate& large = cat.get(PrintWindowKind::TPedForm, 9);
  if (!draw(large).save(out.filePath(formPictureName(large)), "JPEG", 88)) return 1;
  return 0;
}
