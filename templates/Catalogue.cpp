#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "records/Product.h"
#include "templates/WaybillTemplate.h"

// The catalogue text is a resource of this static library; it must be
// registered by hand, as nothing else refers to it.
static void registerCatalogueResource() { Q_INIT_RESOURCE(templates); }

namespace waybill {

const char* windowName(PrintWindowKind w) {
  switch (w) {
    case PrintWindowKind::TDdForm: return "TDdForm";
    case PrintWindowKind::TEddForm: return "TEddForm";
    case PrintWindowKind::TPdForm: return "TPdForm";
    case PrintWindowKind::TPedForm: return "TPedForm";
  }
  return "";
}

std::optional<PrintWindowKind> windowByName(const QString& name) {
  for (PrintWindowKind w : kPrintWindows)
    if (name == QLatin1String(windowName(w))) return w;
  return std::nullopt;
}

QSize WaybillTemplate::paperTenthMm() const {
  return QSize(int(std::lround(pageWidth)), int(std::lround(pageLength)));
}

QString brandingCaption() {
  return QString::fromUtf8(kProductName) + QStringLiteral("(") + QString::fromUtf8(kProductWebsite) + QStringLiteral(")");
}

namespace {

// Splits a line into its key and the whitespace-separated words after it.
QStringList words(const QString& s) { return s.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts); }

bool ints(const QStringList& w, int from, int count, std::vector<int>& out) {
  out.clear();
  if (w.size() < from + count) return false;
  for (int i = from; i < from + count; ++i) {
    bool ok = false;
    out.push_back(w[i].toInt(&ok));
    if (!ok) return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<Catalogue> Catalogue::parse(const QString& text, QString& error) {
  auto cat = std::unique_ptr<Catalogue>(new Catalogue);
  std::array<WaybillTemplate, 36> base{};
  std::array<std::array<QPoint, 4>, 36> labels{};
  std::array<bool, 36> seen{};
  struct Deviation {
    int number;
    std::vector<PrintWindowKind> windows;
    QStringList what;
    int line;
  };
  std::vector<Deviation> deviations;
  WaybillTemplate* t = nullptr;
  bool inDeviations = false;
  int lineNo = 0;
  auto fail = [&](const QString& why) {
    error = QStringLiteral("templates.txt line %1: %2").arg(lineNo).arg(why);
    return nullptr;
  };
  for (const QString& raw : text.split('\n')) {
    ++lineNo;
    QString line = raw.section('#', 0, 0).trimmed();
    if (line.isEmpty()) continue;
    if (line.startsWith('[')) {
      QStringList w = words(line.mid(1, line.size() - 2));
      if (w.size() == 1 && w[0] == "deviations") {
        inDeviations = true;
        t = nullptr;
        continue;
      }
      bool ok = false;
      int n = w.size() == 2 && w[0] == "template" ? w[1].toInt(&ok) : 0;
      if (!ok || n < 1 || n > 36 || seen[size_t(n - 1)]) return fail(QStringLiteral("bad or repeated template heading"));
      seen[size_t(n - 1)] = true;
      t = &base[size_t(n - 1)];
      t->number = n;
      continue;
    }
    if (inDeviations) {
      QStringList parts = line.split('|');
      if (parts.size() != 3) return fail(QStringLiteral("a deviation has three parts: template | windows | what"));
      Deviation d{parts[0].trimmed().toInt(), {}, words(parts[2]), lineNo};
      for (const QString& name : words(parts[1])) {
        auto w = windowByName(name);
        if (!w) return fail(QStringLiteral("unknown window ") + name);
        d.windows.push_back(*w);
      }
      if (d.number < 1 || d.number > 36 || d.windows.empty() || d.what.isEmpty())
        return fail(QStringLiteral("bad deviation"));
      deviations.push_back(d);
      continue;
    }
    if (!t) return fail(QStringLiteral("text outside a template"));
    QStringList w = words(line);
    const QString key = w[0];
    const QString rest = line.mid(key.size()).trimmed();
    std::vector<int> v;
    if (key == "courier") {
      t->courier = rest;
    } else if (key == "variant") {
      t->variant = rest == "-" ? QString() : rest;
    } else if (key == "caption") {
      t->caption = rest;
    } else if (key == "height") {
      if (!ints(w, 1, 1, v)) return fail(QStringLiteral("bad height"));
      t->windowHeight = v[0];
    } else if (key == "page") {
      bool ok1 = false, ok2 = false;
      if (w.size() != 4 || w[2] != "x") return fail(QStringLiteral("page is width x length"));
      t->pageWidth = w[1].toDouble(&ok1);
      t->pageLength = w[3].toDouble(&ok2);
      if (!ok1 || !ok2) return fail(QStringLiteral("bad page size"));
    } else if (key == "offset") {
      if (!ints(w, 1, 1, v)) return fail(QStringLiteral("bad offset"));
      t->screenOffset = v[0];
    } else if (key == "band") {
      if (w.size() != 4 || w[2] != "x") return fail(QStringLiteral("band is height x width"));
      t->bandHeight = w[1].toInt();
      t->bandWidth = w[3].toInt();
    } else if (key == "picture") {
      if (!ints(w, 1, 4, v) || w.size() != 8 || w[6] != "x") return fail(QStringLiteral("bad picture"));
      t->pictureBox = QRect(v[0], v[1], v[2], v[3]);
      t->pictureSize = QSize(w[5].toInt(), w[7].toInt());
    } else if (key == "label") {
      QStringList cells = rest.split('|');
      if (cells.size() != 4) return fail(QStringLiteral("label has four positions"));
      for (int i = 0; i < 4; ++i) {
        QStringList xy = words(cells[i]);
        if (!ints(xy, 0, 2, v)) return fail(QStringLiteral("bad label position"));
        labels[size_t(t->number - 1)][size_t(i)] = QPoint(v[0], v[1]);
      }
    } else if (key == "slot") {
      if (w.size() != 7 && w.size() != 8) return fail(QStringLiteral("slot is role column left top width height [font]"));
      FieldSlot s;
      s.templateNumber = t->number;
      s.index = int(t->fieldSlots.size()) + 1;
      if (w[1] != "S" && w[1] != "R") return fail(QStringLiteral("role is S or R"));
      s.role = w[1] == "S" ? Role::kSender : Role::kRecipient;
      s.column = w[2];
      if (!ints(w, 3, 4, v)) return fail(QStringLiteral("bad slot box"));
      s.box = QRect(v[0], v[1], v[2], v[3]);
      if (w.size() == 8) s.fontPixels = w[7].toInt();
      t->fieldSlots.push_back(s);
    } else {
      return fail(QStringLiteral("unknown key ") + key);
    }
  }
  for (int n = 1; n <= 36; ++n)
    if (!seen[size_t(n - 1)]) {
      error = QStringLiteral("templates.txt: template %1 is missing").arg(n);
      return nullptr;
    }
  for (size_t wi = 0; wi < 4; ++wi)
    for (size_t n = 0; n < 36; ++n) {
      cat->templates_[wi][n] = base[n];
      cat->templates_[wi][n].label = labels[n][wi];
    }
  for (const Deviation& d : deviations) {
    lineNo = d.line;
    for (PrintWindowKind w : d.windows) {
      WaybillTemplate& t = cat->templates_[size_t(w)][size_t(d.number - 1)];
      const QStringList& a = d.what;
      std::vector<int> v;
      if (a[0] == "page-length" && a.size() == 2) {
        t.pageLength = a[1].toDouble();
      } else if (a[0] == "band-height" && a.size() == 2) {
        t.bandHeight = a[1].toInt();
      } else if (a[0] == "offset" && a.size() == 2) {
        t.screenOffset = a[1].toInt();
      } else if (a[0] == "picture-box" && ints(a, 1, 4, v)) {
        t.pictureBox = QRect(v[0], v[1], v[2], v[3]);
      } else if (a[0] == "picture-size" && a.size() == 4) {
        t.pictureSize = QSize(a[1].toInt(), a[3].toInt());
        t.largePicture = true;
      } else if (a[0] == "slot" && ints(a, 1, 5, v) && v[0] >= 1 && v[0] <= int(t.fieldSlots.size())) {
        t.fieldSlots[size_t(v[0] - 1)].box = QRect(v[1], v[2], v[3], v[4]);
      } else if (a[0] == "print-not-bold" && a.size() == 1) {
        for (FieldSlot& s : t.fieldSlots) s.bold = false;
      } else {
        return fail(QStringLiteral("unknown deviation ") + a.join(' '));
      }
    }
  }
  return cat;
}

const Catalogue& Catalogue::builtIn() {
  static const std::unique_ptr<Catalogue> cat = [] {
    registerCatalogueResource();
    QFile f(QStringLiteral(":/templates/templates.txt"));
    QString error = QStringLiteral("the template catalogue is missing from the program");
    std::unique_ptr<Catalogue> c;
    if (f.open(QIODevice::ReadOnly)) c = parse(QString::fromUtf8(f.readAll()), error);
    if (!c) {
      std::fprintf(stderr, "waybill: %s\n", error.toLocal8Bit().constData());
      std::abort();
    }
    return c;
  }();
  return *cat;
}

const WaybillTemplate& Catalogue::get(PrintWindowKind w, int number) const {
  return templates_[size_t(w)][size_t(number - 1)];
}

}  // namespace waybill
