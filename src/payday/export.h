#pragma once

#include "db/newfile.h"
#include "payday/outcome.h"
#include "payday/period.h"

#include <QLocale>

namespace horalink {

class Connection;

inline const QString SummaryCsv = QStringLiteral("summary.csv");
inline const QString EventsCsv = QStringLiteral("events.csv");

// The files of an earlier export in the folder, which a new one would replace.
QStringList earlierExport(const QString &folder);

// Writes summary.csv (one row per listed employee, in list order), events.csv (the events
// of the period), changes.csv (the changes of the record that concern it) and digests.json
// (what was exported of each employee, for a later check) into the folder, made if it is not
// there, and records the digests in the change history as the files take their names, so
// the database must be writable. Files of those names are replaced
// only as `existing` allows, and a link or anything but a regular file never. The locale
// chooses the field separator and the decimal mark. Each file is written as a NewFile and
// all take their names only when all are complete, so a cancelled or failed export leaves
// the folder as it was. A failure of the database is thrown as a DbError.
WriteOutcome exportPeriod(Connection &connection, const Period &period, const QDateTime &now,
                          const QString &folder, const QLocale &locale,
                          const Progress &progress = {},
                          NewFile::Existing existing = NewFile::Existing::Refused);

} // namespace horalink
