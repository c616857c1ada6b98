// The program's commands without a window, for scripts:
//
//   waybill print --window W --template N [--pdf OUT.pdf | --printer NAME]
//                 [--db FILE] [--sender-row K] [--recipient-row K]
//
// prints what "直接打印" in window W on template N prints, from the data.mdb
// of the current folder (or FILE): the first sender row and, in the single
// windows, the first row of their list, unless rows are chosen.  The label
// windows (TRddForm, TPrdForm, TErdForm, TPerdForm) print without --template.
//
//   waybill import FILE.xls     replaces the imported list by the sheet's rows
//   waybill export FILE.xls     writes every recipient to a new spreadsheet
//   waybill backup NAME         copies data.mdb to NAME.bak
//   waybill restore FILE        replaces data.mdb by a backup of it
//
// do what the window's commands do, each with [--db FILE], print the
// program's message and exit 0, or 1 with the reason on standard error.
#pragma once

#include <QStringList>

namespace waybill {

// True when the arguments name a command of this kind.
bool isHeadlessCommand(int argc, char** argv);
// Runs it; the exit status: 0 done, 1 failed, 2 bad arguments.
int runHeadless(const QStringList& args);

}  // namespace waybill
