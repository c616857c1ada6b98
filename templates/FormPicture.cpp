#include "templates/FormPicture.h"

#include <QDir>
#include <QImageReader>
#include <QStandardPaths>

namespace waybill {

QString formPictureName(const WaybillTemplate& t) {
  return t.largePicture ? QStringLiteral("template-%1-large.jpg").arg(t.number)
                        : QStringLiteral("template-%1.jpg").arg(t.number);
}

QString userFormFolder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
      .filePath(QStringLiteral("waybill/forms"));
}

QImage formPicture(const WaybillTemplate& t, const QString& programFolder) {
  for (const QString& folder : {userFormFolder(), QDir(programFolder).filePath(QStringLiteral("forms"))}) {
    QImageReader reader(QDir(folder).filePath(formPictureName(t)));
    QImage img = reader.read();
    if (!img.isNull()) return img;
  }
  return {};
}

}  // namespace waybill
