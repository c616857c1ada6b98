// The files of the cups-pdf queue that tools/cups-setup.sh makes the
// default printer: where a print job's PDF lands.
#pragma once

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QThread>

namespace pdftools {

// The newest PDF cups-pdf wrote after `since`, waiting for the job.
inline QString awaitCupsPdf(const QDateTime& since) {
  const QStringList folders = {QDir::homePath() + "/PDF", "/root/PDF", "/var/spool/cups-pdf/ANONYMOUS"};
  for (int tries = 0; tries < 300; ++tries) {
    for (const QString& folder : folders)
      for (const QFileInfo& f : QDir(folder).entryInfoList({"*.pdf"}, QDir::Files, QDir::Time))
        if (f.lastModified() > since && f.size() > 0) {
          QThread::msleep(500);  // let the writer finish
          return f.absoluteFilePath();
        }
    QThread::msleep(100);
  }
  return {};
}

}  // namespace pdftools
