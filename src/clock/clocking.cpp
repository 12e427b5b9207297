#include "clocking.h"

#include "clock/session.h"
#include "db/connection.h"
#include "db/history.h"
#include "db/timelog.h"

namespace horalink {

bool isClockedIn(Connection &connection, const QString &table)
{
    return lastStatus(connection, table) == ClockedIn;
}

ClockOutcome clockIn(Connection &connection, const Session &session, const QString &task,
                     const QDateTime &now)
{
    const TimeEvent event{session.employee, now, ClockedIn,
                          task.isEmpty() ? QStringLiteral(" ") : task};
    return appendInTurn(connection, event) ? ClockOutcome::Stored : ClockOutcome::MustClockOut;
}

ClockOutcome clockOut(Connection &connection, const Session &session, const QDateTime &now)
{
    if (appendInTurn(connection, {session.employee, now, ClockedOut, QVariant()}))
        return ClockOutcome::Stored;
    return lastStatus(connection, session.employee) ? ClockOutcome::MustClockIn
                                                    : ClockOutcome::MustClockInFirst;
}

bool deleteLastEvent(Connection &connection, const QString &table)
{
    Transaction transaction(connection, table, Writes::Batched);
    const bool removed = removeLastRow(connection, ChangeKind::DeletedLast, table);
    transaction.commit();
    return removed;
}

} // namespace horalink
