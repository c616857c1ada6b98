#include "platform/report/Fonts.h"

#include <QFont>
#include <QStringList>

namespace report {

void installFontSubstitutions() {
  const QStringList song = {"Noto Serif CJK SC", "AR PL UMing CN", "AR PL UMing TW"};
  const QStringList hei = {"Noto Sans CJK SC", "WenQuanYi Zen Hei", "Droid Sans Fallback"};
  const QStringList brush = {"AR PL UKai CN", "AR PL UKai TW", "Noto Serif CJK SC"};
  for (const char* name : {"宋体", "SimSun", "新宋体", "NSimSun"}) QFont::insertSubstitutions(QString::fromUtf8(name), song);
  for (const char* name : {"黑体", "SimHei"}) QFont::insertSubstitutions(QString::fromUtf8(name), hei);
  for (const char* name : {"华文新魏", "STXinwei"}) QFont::insertSubstitutions(QString::fromUtf8(name), brush);
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {"Noto Sans CJK SC", "DejaVu Sans"});
}

}  // namespace report
