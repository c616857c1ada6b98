// Where the ink of a PDF page lies, as poppler rasterises it: the check of
// printed positions by the marks themselves, not by the font's em boxes
// that the text layer reports.
//
// Regions and results are in layout px (96 dpi) from the page's top-left
// corner; the page is rendered at `dpi` (300 unless told), anti-aliased,
// and a device pixel is ink when it is at least half black.
#pragma once

#include <QImage>
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

namespace Poppler {
class Document;
}

namespace ink {

// The ink of one region of one page.
class Mask {
 public:
  Mask() = default;
  Mask(const QImage& gray, QRect deviceArea, double dpi);

  bool empty() const { return count_ == 0; }
  int count() const { return count_; }
  // The smallest rectangle holding all ink, layout px; null when empty.
  QRectF bounds() const;
  // Ink pixels of this mask that are ink in `other` too (the regions may
  // differ; only their common part counts).
  int common(const Mask& other) const;
  // Ink pixels of this mask that `other` lacks, where `other` covers them.
  int missingFrom(const Mask& other) const;
  double dpi() const { return dpi_; }

 private:
  bool at(int x, int y) const;  // device px of the page
  QRect area_;                  // device px of the page
  std::vector<unsigned char> ink_;
  int count_ = 0;
  double dpi_ = 300;
  QRect inkBounds_;
};

class Pdf {
 public:
  explicit Pdf(const QString& path);
  ~Pdf();
  bool ok() const { return doc_ != nullptr; }
  int pages() const;
  // The ink of `regionPx` (layout px) of page `page` (from 0).
  Mask render(int page, const QRectF& regionPx, double dpi = 300) const;

 private:
  std::unique_ptr<Poppler::Document> doc_;
};

// Millimetres as layout px.
constexpr double mmToPx(double mm) { return mm * 96.0 / 25.4; }

}  // namespace ink
