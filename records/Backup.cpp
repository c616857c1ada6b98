#include "records/Backup.h"

#include <QFileInfo>

#include "platform/jet/database.h"
#include "records/waybill_schema.h"

namespace waybill {

namespace {

QString text(const jet::Status& s) { return QString::fromStdString(s.message()); }

// The file opened for reading only: a journal a dead writer left beside it
// is read, never played back, so the chosen file stays as it is.
std::optional<QString> openChecked(const QString& file, std::unique_ptr<jet::Database>& out) {
  if (!QFileInfo(file).isFile()) return QStringLiteral("%1 is not a file").arg(file);
  auto db = jet::Database::open(file.toStdString(), kDatabasePassword, {.readOnly = true});
  if (!db.ok()) return text(db.status());
  std::string mismatch = schemaMismatch(**db);
  if (!mismatch.empty()) return file + QStringLiteral(" is not a database of this program: ") + QString::fromStdString(mismatch);
  // A damaged backup must not replace a sound database either.
  auto problems = (*db)->check();
  if (!problems.ok()) return text(problems.status());
  if (!problems->empty()) return file + QStringLiteral(" is damaged: ") + QString::fromStdString(problems->front());
  out = std::move(db).value();
  return std::nullopt;
}

}  // namespace

QString backupFileName(const QString& chosen) {
  return chosen.endsWith(QStringLiteral(".bak"), Qt::CaseInsensitive) ? chosen : chosen + QStringLiteral(".bak");
}

std::optional<QString> backUpDatabase(const QString& databasePath, const QString& target) {
  auto db = jet::Database::open(databasePath.toStdString(), kDatabasePassword, {.readOnly = true});
  if (!db.ok()) return text(db.status());
  jet::Status s = (*db)->copyTo(target.toStdString());
  if (!s.ok()) return text(s);
  return std::nullopt;
}

std::optional<QString> restoreRefusal(const QString& file) {
  std::unique_ptr<jet::Database> db;
  return openChecked(file, db);
}

std::optional<QString> restoreDatabase(const QString& file, const QString& databasePath) {
  std::unique_ptr<jet::Database> db;
  if (auto refused = openChecked(file, db)) return refused;
  if (QFileInfo(file).canonicalFilePath() == QFileInfo(databasePath).canonicalFilePath())
    return QStringLiteral("%1 is the database itself").arg(file);
  // A journal beside data.mdb belongs to the file it replaces; played back
  // over the restored one it would damage it.
  if (QFileInfo::exists(databasePath + QStringLiteral("-journal")))
    return QStringLiteral("%1 is in the middle of a change; start the program again first").arg(databasePath);
  jet::Status s = db->copyTo(databasePath.toStdString());
  if (!s.ok()) return text(s);
  return std::nullopt;
}

}  // namespace waybill
