#include "app/Headless.h"

#include <QDir>
#include <QTextStream>
#include <cstring>

#include "platform/report/Output.h"
#include "printing/RecordSetSource.h"
#include "printing/WaybillReport.h"
#include "records/RecordSet.h"
#include "records/waybill_schema.h"

namespace waybill {

bool isHeadlessCommand(int argc, char** argv) { return argc > 1 && std::strcmp(argv[1], "print") == 0; }

namespace {

QTextStream& err() {
  static QTextStream s(stderr);
  return s;
}

int usage(const QString& why) {
  err() << "waybill: " << why << "\n"
        << "usage: waybill print --window TDdForm|TEddForm|TPdForm|TPedForm --template N\n"
        << "                     [--pdf OUT.pdf | --printer NAME] [--db FILE]\n"
        << "                     [--sender-row K] [--recipient-row K]\n";
  err().flush();
  return 2;
}

int fail(const QString& why) {
  err() << "waybill: " << why << "\n";
  err().flush();
  return 1;
}

}  // namespace

int runHeadless(const QStringList& args) {
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
  if (!kind) return usage(QStringLiteral("--window names one of the four print windows"));
  if (number < 1 || number > 36) return usage(QStringLiteral("--template is 1 to 36"));
  if (pdf.isEmpty() == printer.isEmpty()) return usage(QStringLiteral("give either --pdf or --printer"));

  QString error;
  auto connection = Connection::open(db, error);
  if (!connection) return fail(error);
  RecordSet senders(connection.get());
  RecordSet recipients(connection.get());
  if (auto e = senders.requery(Query::all(QString::fromUtf8(kSenderTable)))) return fail(*e);
  bool imported = *kind == PrintWindowKind::TEddForm || *kind == PrintWindowKind::TPedForm;
  bool batch = *kind == PrintWindowKind::TPdForm || *kind == PrintWindowKind::TPedForm;
  if (auto e = recipients.requery(Query::all(QString::fromUtf8(imported ? kImportTable : kRecipientTable)))) return fail(*e);
  if (senderRow < 0 || (senderRow > 0 && senderRow >= senders.rowCount())) return fail(QStringLiteral("no sender row %1").arg(senderRow));
  senders.setCurrentRow(senders.rowCount() ? senderRow : -1);
  if (!batch) {
    if (recipientRow < 0 || (recipientRow > 0 && recipientRow >= recipients.rowCount()))
      return fail(QStringLiteral("no recipient row %1").arg(recipientRow));
    recipients.setCurrentRow(recipients.rowCount() ? recipientRow : -1);
  }

  const WaybillTemplate& t = Catalogue::builtIn().get(*kind, number);
  WaybillReport waybill(t, WaybillLayout{}, [&](const FieldSlot& s) {
    return WaybillReport::memoLines(s, {}, (s.role == Role::kSender ? senders : recipients).field(s.column));
  });
  RecordSetSource source(&recipients);
  if (batch) waybill.report().source = &source;
  QString written = pdf.isEmpty() ? report::printReport(waybill.report(), printer) : report::writePdf(waybill.report(), pdf);
  if (!written.isEmpty()) return fail(written);
  return 0;
}

}  // namespace waybill
