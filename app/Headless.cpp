#include "app/Headless.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cstring>

#include "platform/report/Output.h"
#include "printing/RecordSetSource.h"
#include "printing/WaybillReport.h"
#include "records/Backup.h"
#include "records/RecordSet.h"
#include "records/Spreadsheet.h"
#include "records/waybill_schema.h"
#include "thermal/ThermalWindow.h"

namespace waybill {

bool isHeadlessCommand(int argc, char** argv) {
  if (argc < 2) return false;
  for (const char* command : {"print", "import", "export", "backup", "restore"})
    if (std::strcmp(argv[1], command) == 0) return true;
  return false;
}

namespace {

QTextStream& err() {
  static QTextStream s(stderr);
  return s;
}

int usage(const QString& why) {
  err() << "waybill: " << why << "\n"
        << "usage: waybill print --window TDdForm|TEddForm|TPdForm|TPedForm --template N\n"
        << "                     [--pdf OUT.pdf | --printer NAME] [--db FILE]\n"
        << "                     [--sender-row K] [--recipient-row K]\n"
        << "       waybill print --window TRddForm|TPrdForm|TErdForm|TPerdForm\n"
        << "                     [--pdf OUT.pdf | --printer NAME] [--db FILE]\n"
        << "                     [--sender-row K] [--recipient-row K]\n"
        << "       waybill import FILE.xls [--db FILE]\n"
        << "       waybill export FILE.xls [--db FILE]\n"
        << "       waybill backup NAME [--db FILE]\n"
        << "       waybill restore FILE [--db FILE]\n";
  err().flush();
  return 2;
}

int fail(const QString& why) {
  err() << "waybill: " << why << "\n";
  err().flush();
  return 1;
}


// The program's message on standard output, and the reason of a failure
// on standard error.
int report(bool ok, const char* message, const std::optional<QString>& reason = std::nullopt) {
  QTextStream out(stdout);
  out << QString::fromUtf8(message) << "\n";
  out.flush();
  if (reason) fail(*reason);
  return ok ? 0 : 1;
}

// import, export, backup and restore: one file argument and --db.
int runDataCommand(const QStringList& args) {
  const QString command = args[1];
  QString file, db = QDir::current().absoluteFilePath(QString::fromUtf8(kDatabaseFileName));
  for (int i = 2; i < args.size(); ++i) {
    if (args[i] == "--db" && i + 1 < args.size()) db = args[++i];
    else if (file.isEmpty() && !args[i].startsWith("--")) file = args[i];
    else return usage(QStringLiteral("unknown or incomplete option ") + args[i]);
  }
  if (file.isEmpty()) return usage(QStringLiteral("%1 needs a file").arg(command));
  db = QFileInfo(db).absoluteFilePath();

  if (command == "backup") {
    auto error = backUpDatabase(db, backupFileName(file));
    return error ? report(false, "数据备份失败，请重新备份！", error) : report(true, "数据备份成功！");
  }
  if (command == "restore") {
    auto error = restoreDatabase(file, db);
    return error ? report(false, "数据恢复失败，请重新恢复！", error) : report(true, "数据恢复成功！");
  }
  QString error;
  auto connection = Connection::open(db, error);
  if (!connection) return fail(error);
  if (command == "import") {
    auto failed = importSpreadsheet(*connection, file);
    return failed ? report(false, "批量导入EXCEL失败！", failed) : report(true, "批量导入EXCEL成功！");
  }
  RecordSet recipients(connection.get());
  if (auto e = recipients.requery(Query::all(QString::fromUtf8(kRecipientTable)))) return fail(*e);
  if (auto e = exportRecordSet(recipients, exportFileName(file))) return fail(*e);
  return report(true, "数据导出成功！");
}

}  // namespace

int runHeadless(const QStringList& args) {
  if (args.size() > 1 && args[1] != "print") return runDataCommand(args);
  QString window, pdf, printer, db = QDir::current().absoluteFilePath(QString::fromUtf8(kDatabaseFileName));
  int number = 0, senderRow = 0, recipientRow = 0;
  // args[0] is the program, args[1] the command.
  for (int i = 2; i < args.size(); ++i) {
    const QString& a = args[i];
    auto value = [&](QString& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    QString v;
    bool ok = true;
    if (a == "--window") ok = value(window);
    else if (a == "--pdf") ok = value(pdf);
    else if (a == "--printer") ok = value(printer);
    else if (a == "--db") ok = value(db);
    else if (a == "--template" && value(v)) number = v.toInt(&ok);
    else if (a == "--sender-row" && value(v)) senderRow = v.toInt(&ok);
    else if (a == "--recipient-row" && value(v)) recipientRow = v.toInt(&ok);
    else return usage(QStringLiteral("unknown or incomplete option ") + a);
    if (!ok) return usage(QStringLiteral("bad value for ") + a);
  }
  auto kind = windowByName(window);
  auto thermal = thermalWindowByName(window);
  if (!kind && !thermal) return usage(QStringLiteral("--window names one of the print or label windows"));
  if (kind && (number < 1 || number > 36)) return usage(QStringLiteral("--template is 1 to 36"));
  if (thermal && number != 0) return usage(QStringLiteral("a label window has no --template"));
  if (pdf.isEmpty() == printer.isEmpty()) return usage(QStringLiteral("give either --pdf or --printer"));

  QString error;
  auto connection = Connection::open(db, error);
  if (!connection) return fail(error);
  RecordSet senders(connection.get());
  RecordSet recipients(connection.get());
  if (auto e = senders.requery(Query::all(QString::fromUtf8(kSenderTable)))) return fail(*e);
  const bool imported = thermal ? readsImportedList(*thermal)
                                : *kind == PrintWindowKind::TEddForm || *kind == PrintWindowKind::TPedForm;
  const bool batch = thermal ? isBatch(*thermal) : *kind == PrintWindowKind::TPdForm || *kind == PrintWindowKind::TPedForm;
  if (auto e = recipients.requery(Query::all(QString::fromUtf8(imported ? kImportTable : kRecipientTable)))) return fail(*e);
  if (senderRow < 0 || (senderRow > 0 && senderRow >= senders.rowCount())) return fail(QStringLiteral("no sender row %1").arg(senderRow));
  senders.setCurrentRow(senders.rowCount() ? senderRow : -1);
  if (!batch) {
    if (recipientRow < 0 || (recipientRow > 0 && recipientRow >= recipients.rowCount()))
      return fail(QStringLiteral("no recipient row %1").arg(recipientRow));
    recipients.setCurrentRow(recipients.rowCount() ? recipientRow : -1);
  }

  auto output = [&](const report::Report& r) {
    return pdf.isEmpty() ? report::printReport(r, printer) : report::writePdf(r, pdf);
  };
  RecordSetSource source(&recipients);
  QString written;
  if (thermal) {
    auto field = [&](Role role, const QString& column) { return (role == Role::kSender ? senders : recipients).field(column); };
    LabelContent content;
    content.field = field;
    content.addressLines = [field](int index) {
      const LabelItem* slot = findLabelItem(QStringLiteral("DBMemo%1").arg(index));
      return ThermalReport::addressLines(field(slot->role, QString::fromUtf8(slot->content)));
    };
    content.date = labelDate(QDate::currentDate());
    ThermalReport label(QPoint(), std::move(content));
    if (batch) label.report().source = &source;
    written = output(label.report());
  } else {
    const WaybillTemplate& t = Catalogue::builtIn().get(*kind, number);
    WaybillReport waybill(t, WaybillLayout{}, [&](const FieldSlot& s) {
      return WaybillReport::memoLines(s, {}, (s.role == Role::kSender ? senders : recipients).field(s.column));
    });
    if (batch) waybill.report().source = &source;
    written = output(waybill.report());
  }
  if (!written.isEmpty()) return fail(written);
  return 0;
}

}  // namespace waybill
