// Backing data.mdb up to a file of the user's choice, and restoring it from
// one.  Both copy the whole database as one committed state into a file
// that is replaced whole or not at all; a restore first makes sure that the
// chosen file is a database of this program, so a wrong choice can never
// leave a data.mdb the program cannot open.
#pragma once

#include <QString>
#include <optional>

namespace waybill {

// The backup file for a chosen name: ".bak" appended, unless the name ends
// in it already (in any case).
QString backupFileName(const QString& chosen);

// Copies the database at `databasePath` to `target`.  The error text when
// no copy was made.
std::optional<QString> backUpDatabase(const QString& databasePath, const QString& target);

// Why `file` cannot replace the program's database: not there, not an
// Access database, another password, not the program's three tables, or
// damaged inside.
std::optional<QString> restoreRefusal(const QString& file);

// Replaces the database at `databasePath` by a copy of `file`, which must
// pass restoreRefusal.  Every connection to `databasePath` must be closed.
std::optional<QString> restoreDatabase(const QString& file, const QString& databasePath);

}  // namespace waybill
