#include "keptclocking.h"

#include "clock/clockqueue.h"
#include "clock/session.h"
#include "db/dberror.h"
#include "db/timelog.h"

namespace horalink {

namespace {

void keep(ClockQueue &queue, const Session &session, const QString &status, const QDateTime &now,
          const QString &task, bool mayBeStored)
{
    queue.keep({randomId(), session.employee, now, status, task, mayBeStored});
}

} // namespace

bool serverAway(const DbError &error)
{
    return error.number() == dberr::ConnectionLost || error.number() == dberr::ServerUnreachable;
}

std::optional<ClockOutcome> keepClockIn(ClockQueue &queue, const Session &session,
                                        const QString &task, const QDateTime &now, bool mayBeStored)
{
    const auto last = queue.lastStatus(session.employee);
    if (!last)
        return std::nullopt;
    if (*last && **last != ClockedOut)
        return ClockOutcome::MustClockOut;
    keep(queue, session, ClockedIn, now, task.isEmpty() ? QStringLiteral(" ") : task, mayBeStored);
    return ClockOutcome::Stored;
}

std::optional<ClockOutcome> keepClockOut(ClockQueue &queue, const Session &session,
                                         const QDateTime &now, bool mayBeStored)
{
    const auto last = queue.lastStatus(session.employee);
    if (!last)
        return std::nullopt;
    if (!*last)
        return ClockOutcome::MustClockInFirst;
    if (**last != ClockedIn)
        return ClockOutcome::MustClockIn;
    keep(queue, session, ClockedOut, now, QString(), mayBeStored);
    return ClockOutcome::Stored;
}

int sendKeptEvents(Connection &connection, ClockQueue &queue)
{
    int sent = 0;
    while (!queue.events().empty()) {
        deliverEvent(connection, queue.events().front(), queue.clockId());
        queue.sent();
        ++sent;
    }
    return sent;
}

} // namespace horalink
