#include "platform/report/Fonts.h"

#include <QFontMetricsF>
#include <QImage>
#include <cmath>
#include <vector>

namespace report {

namespace {

// The layout's faces.  Left alone, fontconfig picks a Kai face for 宋体,
// which is wrong: a Song/Ming serif is meant.  The metrics are GDI's
// (usWinAscent and usWinDescent over the em, or the raster font's own
// pixels): see FONTS.md.
const std::vector<WindowsFace>& faces() {
  static const std::vector<WindowsFace> all = {
      {"SimSun",
       {"宋体", "SimSun", "新宋体", "NSimSun"},
       {"Noto Serif CJK SC", "AR PL UMing CN", "AR PL UMing TW"},
       {},
       220.0 / 256,
       36.0 / 256},
      {"SimHei",
       {"黑体", "SimHei"},
       {"Noto Sans CJK SC", "WenQuanYi Zen Hei", "Droid Sans Fallback"},
       {},
       220.0 / 256,
       36.0 / 256},
      {"STXinwei", {"华文新魏", "STXinwei"}, {"AR PL UKai CN", "AR PL UKai TW"}, {"Noto Serif CJK SC"}, 1.007, 0.130},
      // A raster face: at 8 pt (11 px) its cell is 13 px, 11 above the
      // baseline and 2 below.
      {"MS Sans Serif", {"MS Sans Serif"}, {}, {"Noto Sans CJK SC", "DejaVu Sans"}, 11.0 / 11, 2.0 / 11},
  };
  return all;
}

}  // namespace

QPaintDevice* layoutDevice() {
  static QImage device = [] {
    QImage img(1, 1, QImage::Format_ARGB32);
    img.setDotsPerMeterX(int(std::lround(96 / 0.0254)));
    img.setDotsPerMeterY(int(std::lround(96 / 0.0254)));
    return img;
  }();
  return &device;
}

void installFontSubstitutions() {
  for (const WindowsFace& f : faces())
    for (const QString& name : f.names) QFont::insertSubstitutions(name, f.drawnBy + f.fallbacks);
}

const WindowsFace* windowsFace(const QString& family) {
  for (const WindowsFace& f : faces())
    if (f.names.contains(family, Qt::CaseInsensitive)) return &f;
  for (const WindowsFace& f : faces())
    if (f.drawnBy.contains(family, Qt::CaseInsensitive)) return &f;
  return nullptr;
}

int layoutPixels(const QFont& font) {
  if (font.pixelSize() > 0) return font.pixelSize();
  // GDI's MulDiv(points, 96, 72), which rounds halves up.
  return std::max(1, int(std::floor(font.pointSizeF() * 96.0 / 72.0 + 0.5)));
}

QFont drawingFont(const QFont& font) {
  QFont f(font);
  f.setPixelSize(layoutPixels(font));
  return f;
}

TextMetrics textMetrics(const QFont& font) {
  TextMetrics m;
  m.em = layoutPixels(font);
  if (const WindowsFace* face = windowsFace(font.family())) {
    m.ascent = face->ascent * m.em;
    m.height = (face->ascent + face->descent) * m.em;
  } else {
    QFontMetricsF own(QFont(drawingFont(font), layoutDevice()), layoutDevice());
    m.ascent = own.ascent();
    m.height = own.ascent() + own.descent();
  }
  return m;
}

}  // namespace report
