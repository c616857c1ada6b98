// waybill: the program.  Started without arguments it opens data.mdb in the
// current folder (the desktop entry starts it in its own folder) and shows
// the main window.
#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "app/DesktopEntry.h"
#include "app/Headless.h"
#include "app/MainUnit.h"
#include "app/Startup.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Translations.h"
#include "platform/report/Fonts.h"
#include "records/waybill_schema.h"

int main(int argc, char** argv) {
  if (waybill::isHeadlessCommand(argc, argv)) {
    // No window: a display is not needed, only fonts.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("waybill"));
    report::installFontSubstitutions();
    return waybill::runHeadless(QApplication::arguments());
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("waybill"));
  report::installFontSubstitutions();
  ui::installChineseTranslations();
  ui::DesktopDialogs dialogs;

  // The program never makes its database: without one it says so and ends.
  QString path = QDir::current().absoluteFilePath(QString::fromUtf8(waybill::kDatabaseFileName));
  auto store = waybill::openStore(dialogs, path);
  if (!store) return 1;
  waybill::Environment env;
  env.programPath = QCoreApplication::applicationFilePath();
  env.desktopDir = waybill::desktopDirectory();
  waybill::TMainForm window(*store, dialogs, env);
  window.show();
  return app.exec();
}
