// The program's own pictures, painted at the sizes the windows lay out:
// the title banner, the minimise and close pictures, the toolbar buttons
// and the page backgrounds.  Toolbar pictures come from the desktop's icon
// theme when it has every one of them, so that they match; otherwise all
// are painted here, in one style.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace ui::artwork {

QPixmap titlePicture();     // 989 x 66
QPixmap minimisePicture();  // 19 x 19
QPixmap closePicture();     // 19 x 19
QPixmap pageBackground();   // 982 x 522
// The 48 x 48 picture of a toolbar button, by its caption.
QIcon toolbarIcon(const QString& caption);
// The program's icon, for the window and the desktop entry.
QIcon programIcon();

}  // namespace ui::artwork
