#include "app/CourierTemplateMenu.h"

namespace waybill {

const std::vector<int>& courierMenuOrder() {
  static const std::vector<int> order = {1,  14, 2,  36, 3,  15, 4,  27, 34, 5,  6,  7,  8,  26, 16, 9,  18, 22,
                                         32, 10, 28, 11, 12, 13, 31, 35, 17, 19, 20, 21, 23, 24, 25, 29, 30, 33};
  return order;
}

void buildCourierTemplateMenu(QMenu* menu, PrintWindow* window) {
  const Catalogue& cat = Catalogue::builtIn();
  const auto& order = courierMenuOrder();
  for (size_t i = 0; i < order.size();) {
    const WaybillTemplate& first = cat.get(window->kind(), order[i]);
    // A courier's variants stand together in the order.
    size_t end = i + 1;
    while (end < order.size() && !first.variant.isEmpty() && cat.get(window->kind(), order[end]).courier == first.courier)
      ++end;
    auto leaf = [window](QMenu* into, const QString& text, const WaybillTemplate& t) {
      QAction* a = into->addAction(text);
      a->setData(t.number);
      QObject::connect(a, &QAction::triggered, window,
                       [window, caption = t.caption, n = t.number, h = t.windowHeight] { window->open(caption, n, h); });
    };
    if (end - i == 1) {
      leaf(menu, first.caption, first);
    } else {
      QMenu* sub = menu->addMenu(first.courier + QStringLiteral("快递单模板"));
      for (size_t k = i; k < end; ++k) {
        const WaybillTemplate& t = cat.get(window->kind(), order[k]);
        leaf(sub, t.variant, t);
      }
    }
    i = end;
  }
}

}  // namespace waybill
