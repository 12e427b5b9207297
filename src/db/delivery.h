#pragma once

#include <QDateTime>
#include <QString>

namespace horalink {

class Connection;

// A clock-in or clock-out a time clock kept while its server was away: stamped on that clock,
// named by an id of its own that no other event shares, and sent once the server is back.
struct ClockEvent
{
    // 32 hexadecimal digits, random.
    QString id;
    QString employee;
    QDateTime stamp;
    QString status;
    // The task of a clock-in as typed; a clock-out has none.
    QString task;
    // Kept after the server was lost while it stored this very event: it may have stored it,
    // and then holds a row of the employee with this stamp and status.
    bool mayBeStored = false;

    bool operator==(const ClockEvent &) const = default;
};

// What came of sending one kept event.
enum class Delivery
{
    Stored,
    // The server holds it already: the answer to an earlier sending was lost on the way.
    AlreadyStored,
};

// Appends the event to the employee's log, with the stamp the clock gave it, and records in
// the change history, in the same transaction, its id, the clock it came from and the event
// the log held before it. The event is stored even where the log went on without it (another
// clock's event of the same kind came first): dropping it would lose a worked shift, and the
// check tells the pair. The history refuses a second entry of one id, and the log is locked
// while it is looked for, so sending an event again never stores it twice.
Delivery deliverEvent(Connection &connection, const ClockEvent &event, const QString &clock);

// Makes the server refuse a second delivery of one event id, where the history lacks the
// rule; run by the history's owner.
void requireDeliveredOnce(Connection &connection);

// The names the history's entry of a delivered event gives to what the clock told beside the
// event's fields.
inline const QString DeliveredEventField = QStringLiteral("event");
inline const QString DeliveredClockField = QStringLiteral("clock");
// The status and stamp of the log's event before it, when the log had one.
inline const QString FollowsStatusField = QStringLiteral("follows");
inline const QString FollowsStampField = QStringLiteral("follows datetime");

} // namespace horalink
