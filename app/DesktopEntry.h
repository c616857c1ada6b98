// The desktop shortcut: a freedesktop entry "晨帆快递单打印软件(专业版).desktop"
// in the user's desktop folder, rewritten at every start, that starts the
// program in its own folder.
#pragma once

#include <QString>

namespace waybill {

// The user's desktop folder as xdg-user-dir names it (falling back to the
// standard location); empty when there is none.
QString desktopDirectory();

// Writes the entry for `programPath` into `desktopDir`.  Returns false on
// any failure; the caller ignores it, as a missing shortcut is no reason
// to stop.
bool writeDesktopEntry(const QString& programPath, const QString& desktopDir);

}  // namespace waybill
