// Qt's own texts in Chinese: the buttons of message boxes (确定, 取消), the
// file and font dialogs, the context menus of edit boxes.
#pragma once

namespace ui {

// Loads Qt's zh_CN translations (Debian's qt6-translations-l10n) into the
// application.  Returns false when they are not installed; the program then
// runs with Qt's English texts.  Call once, after the application exists.
bool installChineseTranslations();

}  // namespace ui
