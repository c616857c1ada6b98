// The text a person sees in a spreadsheet for a number cell.
#pragma once

#include <string>

namespace xls {

// Appends the number as Excel's General format shows it in a wide column:
// whole numbers as plain digits ("13800138000", "-5", and beyond 10^15 up
// to 10^21 as their first 15 digits padded with zeros, which is all an .xls
// keeps); other numbers rounded to 15 significant digits with no trailing
// zeros ("0.5", "3.14", 0.1 + 0.2 as "0.3"), in plain notation from 10^-5 up
// to 10^15 and as "1E-07", "2.5E+300" outside it.  Not-a-number and the
// infinities, which no real cell holds, read "#NUM!".
void appendNumberText(std::string& out, double value);
std::string numberText(double value);

}  // namespace xls
