#pragma once

#include "db/history.h"
#include "payday/findings.h"
#include "payday/period.h"
#include "payday/periodrows.h"

#include <vector>

namespace horalink {

class Connection;

inline const QString NoExceptions = QStringLiteral("No exceptions in this period.");

struct CheckOutcome
{
    QList<Finding> findings;
    // Each employee checked, in list order, as the export would figure the period: the
    // figures can be looked over before anything is exported.
    QList<EmployeePeriod> employees;
    // The history's entries that concern the period, in the order made.
    std::vector<HistoryEntry> changes;
    bool cancelled = false;
};

// Checks the log of every listed employee, in list order, against the system's time zone;
// reads the file and never changes it. A failure of the database is thrown as a DbError.
CheckOutcome checkPeriod(Connection &connection, const Period &period, const QDateTime &now,
                         const Progress &progress = {}, const StampText &stampText = storedStamp);

} // namespace horalink
