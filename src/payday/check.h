#pragma once

#include "payday/findings.h"
#include "payday/period.h"

namespace horalink {

class Connection;

inline const QString NoExceptions = QStringLiteral("No exceptions in this period.");

struct CheckOutcome
{
    QList<Finding> findings;
    bool cancelled = false;
};

// Checks the log of every listed employee, in list order, against the system's time zone;
// reads the file and never changes it. A failure of the database is thrown as a DbError.
CheckOutcome checkPeriod(Connection &connection, const Period &period, const QDateTime &now,
                         const Progress &progress = {});

} // namespace horalink
