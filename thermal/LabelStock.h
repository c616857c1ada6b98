// The picture of the blank thermal label stock that the label windows show
// under the items: our own drawing, 388 x 605 px, stretched over the band.
// The stock already carries it, so it is never printed.
#pragma once

#include <QImage>

namespace waybill {

QImage labelStockPicture();

}  // namespace waybill
