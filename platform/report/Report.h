// The report engine: one band of printable items on a page of a given size,
// printed once, or once per row of a record source.
//
// Items are placed in pixels of a 96-dpi layout and land on paper at
// px x 254 / 96 tenths of a millimetre, unrounded.  Every output (the
// printer, the preview, a PDF file) draws through Report::renderBand, so
// they cannot drift apart.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace report {

// One printable (or screen-only) thing on the band.
class Item {
 public:
  virtual ~Item() = default;
  // Draws the item with the painter in layout pixels.
  void draw(QPainter& p) const;

  QRectF box;             // layout px on the band
  bool printable = true;  // false: shown on screen, never printed
  bool visible = true;

 protected:
  virtual void drawItem(QPainter& p) const = 0;
};

// A box of fixed size whose lines wrap at its width and are cut off at its
// height: what does not fit is not printed.  Text is laid out with the
// Windows metrics of its face (Fonts.h), on screen and on paper alike.
class TextBox : public Item {
 public:
  QFont font;
  QColor background = Qt::white;  // Qt::transparent for none
  QColor colour = Qt::black;
  // The lines to print, as breakLines made them (one routine for screen and
  // paper, so that an address breaks at the same character on both).
  QStringList lines;
  void setText(const QString& text) { lines = breakLines(text, font, box.width()); }
  static QStringList breakLines(const QString& text, const QFont& font, double widthPx);
  // Whether a line of `font` whose top is at `top` fits above `bottom`.
  // Lines stand one under the other at the line height of the Windows
  // face the font stands for (textMetrics in Fonts.h: 15 px for 15 px
  // 宋体), baseline at its ascent; a line that does not fit whole is not
  // printed, nor are those after it.
  static bool lineFits(const QFont& font, double top, double bottom);

 protected:
  void drawItem(QPainter& p) const override;
};

// A text sized to itself on one line, transparent, never cut.
class Label : public TextBox {
 public:
  Label() { background = Qt::transparent; }
  // Sets the caption and sizes the box to it (the left and top stay).
  void setCaption(const QString& caption);

 protected:
  void drawItem(QPainter& p) const override;
};

// A text that grows to the right from its left edge, on white.
class DataText : public Item {
 public:
  QFont font;
  std::function<QString()> text;

 protected:
  void drawItem(QPainter& p) const override;
};

// A thin horizontal rule across the box, at its vertical middle.
class Rule : public Item {
 public:
  double thickness = 1;  // px

 protected:
  void drawItem(QPainter& p) const override;
};

// A picture stretched into its box: for the screen only.
class Picture : public Item {
 public:
  Picture() { printable = false; }
  QImage image;

 protected:
  void drawItem(QPainter& p) const override;
};

// The rows a report walks, one band each.
class RecordSource {
 public:
  virtual ~RecordSource() = default;
  virtual bool isOpen() const = 0;
  virtual int rowCount() const = 0;
  virtual void moveTo(int row) = 0;
};

struct Page {
  double width = 0, length = 0;  // 0.1 mm
  // Printer drivers that take paper sizes in whole tenths of a millimetre
  // get the size rounded so; otherwise the sheet is the exact size.
  bool wholeTenths = false;
};

class Report {
 public:
  Page page;
  std::vector<std::unique_ptr<Item>> items;  // the band's, in drawing order
  RecordSource* source = nullptr;            // not owned; none: one band
  std::function<void()> beforePrint;         // just before each band

  template <class T>
  T* add() {
    auto item = std::make_unique<T>();
    T* raw = item.get();
    items.push_back(std::move(item));
    return raw;
  }

  // How many bands a print makes: one per row, and exactly one with no
  // source, a closed one or an empty one.
  int bandCount() const;
  // Moves the source to `band`, runs beforePrint, draws the printable items.
  // REQUIRES: the painter maps layout pixels (see paperTransform).
  void renderBand(QPainter& p, int band) const;
  // The paper the printer is asked for, in millimetres.
  QSizeF paperMm() const;
};

// Called between bands: `done` of `total` printed; false cancels.
using Progress = std::function<bool(int done, int total)>;

// Writes the report to a PDF file of exactly the page's size.  Returns an
// error text, empty on success.
QString writePdf(const Report& r, const QString& path, const Progress& progress = {});
// Sets a PDF's page size to exactly `mm`, which Qt's writer rounds to whole
// points.  Returns an error text, empty on success.
QString exactMediaBox(const QString& path, const QSizeF& mm);

}  // namespace report
