// The 36 waybill templates as each of the four print windows holds them.
//
// The data lives in templates.txt beside this file, a plain table that a
// person can read and review; it is compiled into the program and checked
// when it is loaded.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace waybill {

enum class PrintWindowKind { TDdForm, TEddForm, TPdForm, TPedForm };
inline constexpr std::array<PrintWindowKind, 4> kPrintWindows = {
    PrintWindowKind::TDdForm, PrintWindowKind::TEddForm, PrintWindowKind::TPdForm, PrintWindowKind::TPedForm};
const char* windowName(PrintWindowKind w);
std::optional<PrintWindowKind> windowByName(const QString& name);

enum class Role { kSender, kRecipient };

struct FieldSlot {
  int templateNumber = 0;
  int index = 0;        // 1-based, in slot order
  Role role = Role::kSender;
  QString column;
  QRect box;            // px on the band
  int fontPixels = 15;  // character height
  bool bold = true;     // of the print box; the on-screen memo is always bold
  bool largeCity() const { return fontPixels != 15; }
};

struct WaybillTemplate {
  int number = 0;
  QString courier, variant, caption;  // variant empty for a single template
  int windowHeight = 0;
  double pageWidth = 0, pageLength = 0;  // 0.1 mm
  int screenOffset = 0;
  int bandHeight = 0, bandWidth = 0;  // px
  QRect pictureBox;                   // px on the band
  QSize pictureSize;                  // the JPEG's own size
  bool largePicture = false;          // the larger scan (template 9 in TPedForm)
  QPoint label;                       // the branding label's top-left, px
  std::vector<FieldSlot> fieldSlots;

  // The user-defined paper the printer is asked for: whole 0.1 mm.
  QSize paperTenthMm() const;
};

// The branding label: its caption, font and size.
QString brandingCaption();
inline constexpr int kBrandingFontPixels = 19;
inline const QSize kBrandingSize(308, 20);

class Catalogue {
 public:
  // The catalogue compiled into the program.  A fault in its data is a
  // fault of the program: it is reported once, loudly, at start.
  static const Catalogue& builtIn();
  // Parses a catalogue text; on failure returns nothing and says why.
  static std::unique_ptr<Catalogue> parse(const QString& text, QString& error);

  // REQUIRES: 1 <= number <= 36.
  const WaybillTemplate& get(PrintWindowKind w, int number) const;
  int size() const { return 36; }

 private:
  std::array<std::array<WaybillTemplate, 36>, 4> templates_;
};

}  // namespace waybill
