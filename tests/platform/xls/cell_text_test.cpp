// Number cells as the text a person sees in Excel.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/xls/cell_text.h"

namespace {

struct Case {
  double value;
  const char* text;
};

TEST(NumberText, ShowsNumbersAsExcelsGeneralFormat) {
  const Case cases[] = {
      // Whole numbers: plain digits, no ".0", no exponent.
      {0.0, "0"},
      {-0.0, "0"},
      {-5, "-5"},
      {100000, "100000"},
      {13800138000.0, "13800138000"},  // a phone number typed as a number
      {999999999999999.0, "999999999999999"},
      {1e15, "1000000000000000"},
      // Past 15 digits an .xls keeps no more: Excel shows these digits.
      {123456789012345678.0, "123456789012346000"},
      {1e20, "100000000000000000000"},
      {1e21, "1E+21"},
      // Fractions: up to 15 significant digits, no trailing zeros.
      {0.5, "0.5"},
      {3.14, "3.14"},
      {-2.75, "-2.75"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {123456.789, "123456.789"},
      {99999999999999.99, "100000000000000"},  // rounds up to a whole number
      {0.000123, "0.000123"},
      {1e-5, "0.00001"},
      // Outside 1e-5 .. 1e15 an exponent, as Excel writes it.
      {1e-7, "1E-07"},
      {-1.25e-6, "-1.25E-06"},
      {1.5e300, "1.5E+300"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
  };
  for (const Case& c : cases) EXPECT_EQ(xls::numberText(c.value), c.text) << "value " << c.value;
}

TEST(NumberText, NonNumbersReadAsAnError) {
  EXPECT_EQ(xls::numberText(std::nan("")), "#NUM!");
  EXPECT_EQ(xls::numberText(std::numeric_limits<double>::infinity()), "#NUM!");
}

TEST(NumberText, AppendsToWhatIsThere) {
  std::string s = "x";
  xls::appendNumberText(s, 42);
  xls::appendNumberText(s, 0.25);
  EXPECT_EQ(s, "x420.25");
}

}  // namespace

#include "platform/xls/workbook_scan.h"

namespace {

using xls::scan::DateKind;

TEST(DateText, CountsDaysAsExcelDoes) {
  struct DateCase {
    double serial;
    DateKind kind;
    bool system1904;
    const char* text;
  };
  const DateCase cases[] = {
      {45356, DateKind::kDate, false, "2024-03-05"},
      {1, DateKind::kDate, false, "1900-01-01"},
      {59, DateKind::kDate, false, "1900-02-28"},
      {60, DateKind::kDate, false, "1900-02-29"},  // the day Excel counts that never was
      {61, DateKind::kDate, false, "1900-03-01"},
      {2958465, DateKind::kDate, false, "9999-12-31"},
      {45356.5, DateKind::kDateTime, false, "2024-03-05 12:00:00"},
      {45356.999999999, DateKind::kDateTime, false, "2024-03-06 00:00:00"},  // rounds to the next day
      {8.5 / 24, DateKind::kTime, false, "08:30:00"},
      {0, DateKind::kDate, true, "1904-01-01"},
      {1, DateKind::kDate, true, "1904-01-02"},
      {-1, DateKind::kDate, false, "-1"},  // no date: the number as it is
  };
  for (const DateCase& c : cases)
    EXPECT_EQ(xls::scan::dateText(c.serial, c.kind, c.system1904), c.text) << c.serial;
}

TEST(FormatDateKind, TellsDatesAndTimesFromOtherFormats) {
  struct FormatCase {
    const char* format;
    bool isDate;
    DateKind kind;
  };
  const FormatCase cases[] = {
      {"yyyy-mm-dd", true, DateKind::kDate},
      {"m/d", true, DateKind::kDate},
      {"[$-804]yyyy\"年\"m\"月\"d\"日\"", true, DateKind::kDate},
      {"hh:mm:ss", true, DateKind::kTime},
      {"mm:ss", true, DateKind::kTime},  // minutes beside seconds
      {"[h]:mm", true, DateKind::kTime},
      {"h\"时\"mm\"分\"", true, DateKind::kTime},
      {"AM/PM h:mm", true, DateKind::kTime},
      {"yyyy-mm-dd hh:mm", true, DateKind::kDateTime},
      {"General", false, DateKind::kDate},
      {"0.00", false, DateKind::kDate},
      {"0.00E+00", false, DateKind::kDate},
      {"[Red]#,##0", false, DateKind::kDate},
      {"\"day \"0", false, DateKind::kDate},
      {"@", false, DateKind::kDate},
  };
  for (const FormatCase& c : cases) {
    DateKind kind = DateKind::kDate;
    EXPECT_EQ(xls::scan::formatDateKind(c.format, &kind), c.isDate) << c.format;
    if (c.isDate) {
      EXPECT_EQ(kind, c.kind) << c.format;
    }
  }
}

}  // namespace
