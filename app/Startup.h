// Opening the program's database at start-up.
#pragma once

#include <QString>
#include <memory>

#include "platform/ui/Dialogs.h"
#include "records/RecordStore.h"

namespace waybill {

// Opens data.mdb at `path` with its three record sets.  When it cannot be
// opened (missing, locked, another password, damaged) the reason is shown
// in the standard error box and nothing comes back: the program ends then,
// and no file is made.
std::unique_ptr<RecordStore> openStore(ui::Dialogs& dialogs, const QString& path);

}  // namespace waybill
