// CourierTemplateMenu: the 36 waybill templates as a menu of 23 couriers,
// six of them with a submenu of variants (模板一 ...).  Choosing a template
// opens its print window on it: caption, page, height, centred, modal.
#pragma once

#include <QMenu>

#include "printing/PrintWindow.h"

namespace waybill {

// The template numbers in menu order.
const std::vector<int>& courierMenuOrder();

// Fills `menu` with the courier entries, each opening `window`.
void buildCourierTemplateMenu(QMenu* menu, PrintWindow* window);

}  // namespace waybill
