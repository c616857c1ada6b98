// Reading PDFs back through poppler's command-line tools, for the tests of
// everything that prints.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <vector>

namespace pdftools {

// Runs a program and gives its output, standard output then standard error.
inline QString run(const QString& program, const QStringList& args, int* status = nullptr) {
  QProcess p;
  p.start(program, args);
  p.waitForFinished(120000);
  if (status) *status = p.exitCode();
  return QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
}

// A word of the text layer and its box in points from the page's top-left
// corner, as `pdftotext -bbox` gives them; pages count from 0.
struct Word {
  QString text;
  double xMin, yMin, xMax, yMax;
  int page;
};

inline std::vector<Word> words(const QString& pdf) {
  QString xml = run("pdftotext", {"-bbox", pdf, "-"});
  std::vector<Word> out;
  int page = -1;
  static const QRegularExpression re(
      R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  for (auto it = re.globalMatch(xml); it.hasNext();) {
    auto m = it.next();
    if (m.captured(0).startsWith("<page")) {
      ++page;
      continue;
    }
    out.push_back({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                   m.captured(4).toDouble(), page});
  }
  return out;
}

inline int pageCount(const QString& pdf) {
  auto m = QRegularExpression(R"re(Pages:\s+(\d+))re").match(run("pdfinfo", {pdf}));
  return m.hasMatch() ? m.captured(1).toInt() : 0;
}

}  // namespace pdftools
