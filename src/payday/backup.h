#pragma once

#include "db/filecopy.h"
#include "payday/outcome.h"

#include <QDateTime>

namespace horalink {

class Connection;

// Told as the copy goes (copyDatabaseToFile); the backup ends, leaving nothing behind, when
// it returns false.
using PageProgress = CopyProgress;

// "Employee <yyyy-MM-dd HHmmss>.mdb" for the moment given.
QString backupFileName(const QDateTime &now);

// Copies the whole file behind the connection, as it stood at one moment, into the folder
// under backupFileName(now). The database on a server is written into such a file, from one
// snapshot, table by table (the progress then counts tables). The copy is written under a temporary
// name, in steps that let other copies of the program write in between (a step that finds the file
// locked is tried again), and takes its name only after it has passed an integrity check; an
// existing file is never replaced. A failure of the database is thrown as a DbError, and leaves no
// file.
WriteOutcome backupDatabase(Connection &connection, const QString &folder, const QDateTime &now,
                            const PageProgress &progress = {});

} // namespace horalink
