// take_screenshots DATA.mdb OUTDIR: pictures of the windows for the README,
// drawn by the real windows over the given database: the main window, and
// the single print window on templates 1 and 18, the import page, and the
// single thermal label window.
#include <QApplication>
#include <QDir>

#include "app/MainUnit.h"
#include "platform/report/Fonts.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  report::installFontSubstitutions();
  if (argc != 3) return 2;
  ui::ScriptedDialogs dialogs;
  QString error;
  auto store = waybill::RecordStore::open(QString::fromLocal8Bit(argv[1]), error);
  if (!store) return 1;
  waybill::Environment env;
  env.programPath = QCoreApplication::applicationFilePath();
  waybill::TMainForm main(*store, dialogs, env);
  main.show();
  QApplication::processEvents();
  QDir out(QString::fromLocal8Bit(argv[2]));
  waybill::PrintWindow* w = main.TDdForm();
  w->runModal = [](QDialog* d) { d->show(); };
  struct Shot {
    int number;
    const char* name;
  } shots[] = {{1, "print-window-template-1.png"}, {18, "print-window-template-18.png"}};
  for (const Shot& s : shots) {
    const waybill::WaybillTemplate& t = w->templateOf(s.number);
    w->open(t.caption, s.number, t.windowHeight);
    QApplication::processEvents();
    if (!w->grab().save(out.filePath(QString::fromLatin1(s.name)))) return 1;
  }
  main.importPage()->showAction();
  QApplication::processEvents();
  if (!main.grab().save(out.filePath(QStringLiteral("import-page.png")))) return 1;

  waybill::ThermalWindow* label = main.thermalWindows()[0];
  label->runModal = [](QDialog* d) { d->show(); };
  label->open(QStringLiteral("热敏快递单模板"));
  QApplication::processEvents();
  if (!label->grab().save(out.filePath(QStringLiteral("label-window.png")))) return 1;
  return 0;
}
