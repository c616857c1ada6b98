// The frame the window manager puts around a top-level window, and windows
// sized and placed by their outer size, frame included.
//
// A window's frame is known to Qt only once the window manager has framed
// it, after it was first shown; so a window sized by its outer height would
// come out a frame too tall on its first showing.  Under X11 the window
// manager is asked beforehand (_NET_REQUEST_FRAME_EXTENTS, which openbox,
// xfwm4 and mutter answer); elsewhere the frame counts as none until it is
// known.
#pragma once

#include <QMargins>

class QWidget;

namespace ui {

// The frame around `w`: as Qt knows it, or as the window manager says it
// will be.  Creates `w`'s native window if it has none.
QMargins frameMargins(QWidget* w);

// Centres `w`'s frame on the primary screen's available area.
void centreOnScreen(QWidget* w);

}  // namespace ui
