// The program's commands without a window, for scripts:
//
//   waybill print --window W --template N [--pdf OUT.pdf | --printer NAME]
//                 [--db FILE] [--sender-row K] [--recipient-row K]
//
// prints what "直接打印" in window W on template N prints, from the data.mdb
// of the current folder (or FILE): the first sender row and, in the single
// windows, the first row of their list, unless rows are chosen.
#pragma once

#include <QStringList>

namespace waybill {

// True when the arguments name a command of this kind.
bool isHeadlessCommand(int argc, char** argv);
// Runs it; the exit status: 0 done, 1 failed, 2 bad arguments.
int runHeadless(const QStringList& args);

}  // namespace waybill
