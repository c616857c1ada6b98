// The pictures of the blank forms shown behind the fields on screen.
//
// The program ships drawn stand-ins in forms/ beside itself.  A user who
// puts a scan of the real form into the folder named by userFormFolder()
// (~/.local/share/waybill/forms), under the same file name, sees the scan
// instead, which makes calibrating the field positions easy.
#pragma once

#include <QImage>
#include <QString>

#include "templates/WaybillTemplate.h"

namespace waybill {

// "template-N.jpg", or "template-9-large.jpg" for the larger scan.
QString formPictureName(const WaybillTemplate& t);
QString userFormFolder();
// The user's picture if there is one, else the program's; a null image when
// neither can be read.
QImage formPicture(const WaybillTemplate& t, const QString& programFolder);

}  // namespace waybill
