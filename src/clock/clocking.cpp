#include "clocking.h"

#include "clock/session.h"
#include "db/connection.h"
#include "db/datetimetext.h"
#include "db/history.h"
#include "db/timelog.h"

namespace horalink {

namespace {

void append(Connection &connection, const Session &session, const QString &status,
            const QDateTime &now, const QVariant &task)
{
    Statement insert(connection, QStringLiteral("INSERT INTO ") +
                                     connection.quotedTable(session.employee) +
                                     QStringLiteral(" (\"Ename\", \"datetime\", \"inoutfx\", "
                                                    "\"activity\") VALUES (?1, ?2, ?3, ?4)"));
    insert.bind(1, session.employee).bind(2, storedStamp(now)).bind(3, status).bind(4, task);
    insert.run();
}

} // namespace

bool isClockedIn(Connection &connection, const QString &table)
{
    return lastStatus(connection, table) == ClockedIn;
}

ClockOutcome clockIn(Connection &connection, const Session &session, const QString &task,
                     const QDateTime &now)
{
    Transaction transaction(connection, session.employee, Writes::Batched);
    const std::optional<QString> last = lastStatus(connection, session.employee);
    if (last && *last != ClockedOut)
        return ClockOutcome::MustClockOut;
    append(connection, session, ClockedIn, now, task.isEmpty() ? QStringLiteral(" ") : task);
    transaction.commit();
    return ClockOutcome::Stored;
}

ClockOutcome clockOut(Connection &connection, const Session &session, const QDateTime &now)
{
    Transaction transaction(connection, session.employee, Writes::Batched);
    const std::optional<QString> last = lastStatus(connection, session.employee);
    if (!last)
        return ClockOutcome::MustClockInFirst;
    if (*last != ClockedIn)
        return ClockOutcome::MustClockIn;
    append(connection, session, ClockedOut, now, QVariant());
    transaction.commit();
    return ClockOutcome::Stored;
}

bool deleteLastEvent(Connection &connection, const QString &table)
{
    Transaction transaction(connection, table, Writes::Batched);
    const qint64 removed = removeRows(connection, ChangeKind::DeletedLast, table,
                                      QStringLiteral("rowid = (SELECT max(rowid) FROM ") +
                                          connection.quotedTable(table) + QLatin1Char(')'));
    transaction.commit();
    return removed > 0;
}

} // namespace horalink
