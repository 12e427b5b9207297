#include "timecards.h"

#include "db/timelog.h"
#include "db/timelogrows.h"

namespace horalink {

std::optional<TimeCard> managerCardOf(Connection &connection, const QString &company,
                                      const QString &employee, const QDateTime &endingDate,
                                      const QDateTime &now)
{
    const QList<TimeLogRow> rows = readTimeLogRows(connection, employee);
    if (rows.isEmpty())
        return std::nullopt;
    return managerCard(company, employee, rows, endingDate, now);
}

std::optional<TimeCard> userCardOf(Connection &connection, const QString &company,
                                   const QString &employee, const QDateTime &now)
{
    const QList<TimeLogRow> rows = readTimeLogRows(connection, employee);
    if (rows.isEmpty())
        return std::nullopt;
    const bool clockedIn = rows.last().status.toString() == ClockedIn;
    return userCard(company, employee, rows, clockedIn, now);
}

} // namespace horalink
