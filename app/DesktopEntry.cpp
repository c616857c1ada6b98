#include "app/DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include "platform/ui/Artwork.h"
#include "records/Product.h"

namespace waybill {

QString desktopDirectory() {
  QProcess p;
  p.start(QStringLiteral("xdg-user-dir"), {QStringLiteral("DESKTOP")});
  if (p.waitForFinished(2000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) {
    QString dir = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    if (!dir.isEmpty() && QFileInfo(dir).isDir()) return dir;
  }
  QString dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  return QFileInfo(dir).isDir() ? dir : QString();
}

// Quotes a path for the Exec key: in double quotes, with the characters the
// desktop entry format reserves escaped.
static QString execQuoted(const QString& path) {
  QString q = path;
  for (const char* c : {"\\", "\"", "`", "$"}) q.replace(QString::fromLatin1(c), QStringLiteral("\\") + QString::fromLatin1(c));
  q.replace(QStringLiteral("%"), QStringLiteral("%%"));
  return QStringLiteral("\"") + q + QStringLiteral("\"");
}

bool writeDesktopEntry(const QString& programPath, const QString& desktopDir) {
  if (desktopDir.isEmpty() || !QFileInfo(desktopDir).isDir()) return false;
  QFileInfo program(programPath);
  QString folder = program.absolutePath();
  QString icon = folder + QStringLiteral("/waybill.png");
  if (!QFileInfo::exists(icon)) ui::artwork::programIcon().pixmap(64, 64).save(icon, "PNG");

  QString name = QString::fromUtf8(kProductFullName);
  QString entry = QStringLiteral(
                      "[Desktop Entry]\n"
                      "Type=Application\n"
                      "Version=1.0\n"
                      "Name=%1\n"
                      "Comment=快递单、热敏面单打印与客户资料管理\n"
                      "Exec=%2\n"
                      "Path=%3\n"
                      "Icon=%4\n"
                      "Terminal=false\n"
                      "Categories=Office;\n")
                      .arg(name, execQuoted(program.absoluteFilePath()), folder, icon);
  QSaveFile f(QDir(desktopDir).filePath(name + QStringLiteral(".desktop")));
  if (!f.open(QIODevice::WriteOnly)) return false;
  f.write(entry.toUtf8());
  if (!f.commit()) return false;
  return QFile::setPermissions(f.fileName(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                 QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

}  // namespace waybill
