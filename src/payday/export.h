#pragma once

#include "payday/outcome.h"
#include "payday/period.h"

#include <QLocale>

namespace horalink {

class Connection;

inline const QString SummaryCsv = QStringLiteral("summary.csv");
inline const QString EventsCsv = QStringLiteral("events.csv");

// Writes summary.csv (one row per listed employee, in list order) and events.csv (the events
// of the period) into the folder, replacing files of those names. The locale chooses the
// field separator and the decimal mark. Each file is written under a temporary name and put
// in place only when it is complete, so a cancelled or failed export leaves the folder as it
// was. A failure of the database is thrown as a DbError.
WriteOutcome exportPeriod(Connection &connection, const Period &period, const QDateTime &now,
                          const QString &folder, const QLocale &locale,
                          const Progress &progress = {});

} // namespace horalink
