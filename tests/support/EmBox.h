// Where poppler's text layer puts the em box of a printed line, for the
// tests that read positions back with `pdftotext -bbox`.
#pragma once

#include <QFont>
#include <QFontMetricsF>

#include "platform/report/Fonts.h"

namespace pdftools {

// Where the text layer puts the top of the em box of a line of `layoutFont`
// whose top stands at `lineTopPx`: poppler measures up from the baseline by
// the drawing face's own ascent, while the line is laid out by the Windows
// face's (Fonts.h).
inline double emTopPx(const QFont& layoutFont, double lineTopPx) {
  QFontMetricsF own(QFont(report::drawingFont(layoutFont), report::layoutDevice()), report::layoutDevice());
  return lineTopPx + report::textMetrics(layoutFont).ascent - own.ascent();
}

}  // namespace pdftools
