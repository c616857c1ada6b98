// The faces the layout names (宋体, 黑体, 华文新魏, MS Sans Serif): which
// installed Debian faces draw them, and the Windows metrics every text is
// laid out with.
//
// The forms were laid out for the Windows faces.  Their substitutes have
// other vertical metrics (Noto CJK: an ascent of about 1.16 em and a line of
// about 1.45 em, where 宋体 has 0.859375 em and exactly 1 em), so laying text
// out by the substitute puts every line about 0.3 em lower than Windows did
// and drops lines that Windows fitted.  So a text takes its baseline, its
// line height and its line advance from the Windows face it stands for, and
// only its glyphs (and their widths) from the face that draws it.  The
// numbers and where they come from are in FONTS.md beside this file.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QPaintDevice;

namespace report {

// A Windows face, by its vertical metrics in ems of its character height.
struct WindowsFace {
  QString name;             // its English name: SimSun
  QStringList names;        // every name a layout gives it: 宋体, SimSun, ...
  QStringList drawnBy;      // installed faces that stand for it, best first
  QStringList fallbacks;    // further faces that may draw it, standing for another
  double ascent = 0;        // from a line's top to the baseline, em
  double descent = 0;       // from the baseline to the line's bottom, em
};

// Installs the substitutions; call once, after the application exists.
void installFontSubstitutions();

// The device that gives fonts their 96-dpi layout metrics, whatever the
// screen or the printer: line breaks and widths are decided here alone.
QPaintDevice* layoutDevice();

// The Windows face `family` names or stands for: one of the layout's names,
// or an installed face that draws one (a user who picks the face the
// program draws 宋体 with gets 宋体's metrics).  Nothing for a face with no
// Windows counterpart.
const WindowsFace* windowsFace(const QString& family);

// The character height in layout px at which Windows draws `font`: its
// pixel size, or its point size at 96 dpi rounded to a whole pixel as GDI
// does (10 pt is 13 px, 11 pt 15 px, 22 pt 29 px).
int layoutPixels(const QFont& font);

// `font` as the glyphs are drawn: sized at layoutPixels() in layout pixels,
// so that it draws at the same size on every device whose painter maps
// layout pixels.
QFont drawingFont(const QFont& font);

// How one line of `font` stands, in layout px.
struct TextMetrics {
  double em = 0;      // the character height
  double ascent = 0;  // from the line's top to its baseline
  double height = 0;  // the line's height, and the distance to the next line
};
// The metrics of the Windows face `font` stands for, at its character
// height; a face with no Windows counterpart keeps its own.
TextMetrics textMetrics(const QFont& font);

}  // namespace report
