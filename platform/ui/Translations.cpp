#include "platform/ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace ui {

bool installChineseTranslations() {
  // "qt_zh_CN" is the catalogue that pulls in qtbase's; the application
  // owns the translator.
  auto* qt = new QTranslator(QCoreApplication::instance());
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!qt->load(QStringLiteral("qt_zh_CN"), dir) && !qt->load(QStringLiteral("qtbase_zh_CN"), dir)) {
    delete qt;
    return false;
  }
  return QCoreApplication::installTranslator(qt);
}

}  // namespace ui
