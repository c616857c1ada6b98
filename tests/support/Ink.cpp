#include "tests/support/Ink.h"

#include <poppler-qt6.h>

#include <algorithm>
#include <cmath>

namespace ink {

Mask::Mask(const QImage& image, QRect deviceArea, double dpi) : area_(deviceArea), dpi_(dpi) {
  const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
  ink_.assign(size_t(area_.width()) * size_t(area_.height()), 0);
  int x0 = INT32_MAX, y0 = INT32_MAX, x1 = -1, y1 = -1;
  for (int y = 0; y < std::min(gray.height(), area_.height()); ++y) {
    const uchar* row = gray.constScanLine(y);
    for (int x = 0; x < std::min(gray.width(), area_.width()); ++x)
      if (row[x] < 128) {
        ink_[size_t(y) * size_t(area_.width()) + size_t(x)] = 1;
        ++count_;
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
      }
  }
  if (count_) inkBounds_ = QRect(QPoint(x0, y0), QPoint(x1, y1)).translated(area_.topLeft());
}

bool Mask::at(int x, int y) const {
  if (!area_.contains(x, y)) return false;
  return ink_[size_t(y - area_.top()) * size_t(area_.width()) + size_t(x - area_.left())] != 0;
}

QRectF Mask::bounds() const {
  if (!count_) return {};
  const double k = 96.0 / dpi_;
  return QRectF(inkBounds_.left() * k, inkBounds_.top() * k, (inkBounds_.width()) * k, (inkBounds_.height()) * k);
}

int Mask::common(const Mask& other) const {
  if (!count_ || !other.count_) return 0;
  const QRect both = inkBounds_ & other.inkBounds_;
  int n = 0;
  for (int y = both.top(); y <= both.bottom(); ++y)
    for (int x = both.left(); x <= both.right(); ++x) n += at(x, y) && other.at(x, y);
  return n;
}

int Mask::missingFrom(const Mask& other) const {
  if (!count_) return 0;
  const QRect both = inkBounds_ & other.area_;
  int n = 0;
  for (int y = both.top(); y <= both.bottom(); ++y)
    for (int x = both.left(); x <= both.right(); ++x) n += at(x, y) && !other.at(x, y);
  return n;
}

Pdf::Pdf(const QString& path) : doc_(Poppler::Document::load(path)) {
  if (!doc_ || doc_->isLocked()) {
    doc_.reset();
    return;
  }
  doc_->setRenderHint(Poppler::Document::Antialiasing, true);
  doc_->setRenderHint(Poppler::Document::TextAntialiasing, true);
}

Pdf::~Pdf() = default;

int Pdf::pages() const { return doc_ ? doc_->numPages() : 0; }

Mask Pdf::render(int page, const QRectF& regionPx, double dpi) const {
  if (!doc_) return {};
  std::unique_ptr<Poppler::Page> p = doc_->page(page);
  if (!p) return {};
  const double k = dpi / 96.0;
  const QSizeF pagePx = p->pageSizeF() * 96.0 / 72.0;
  const QRectF clipped = regionPx & QRectF(QPointF(0, 0), pagePx);
  if (clipped.isEmpty()) return {};
  const QRect area(int(std::floor(clipped.left() * k)), int(std::floor(clipped.top() * k)),
                   int(std::ceil(clipped.width() * k)), int(std::ceil(clipped.height() * k)));
  QImage image = p->renderToImage(dpi, dpi, area.left(), area.top(), area.width(), area.height());
  return Mask(image, area, dpi);
}

}  // namespace ink
