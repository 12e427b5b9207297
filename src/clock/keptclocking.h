#pragma once

#include "clock/clocking.h"

#include <optional>
#include <QDateTime>
#include <QString>

namespace horalink {

class ClockQueue;
class Connection;
class DbError;
struct Session;

// Whether the failure is the server out of reach, at the start or later: what the clock can
// keep for it, it keeps.
bool serverAway(const DbError &error);

// A clock-in kept on this clock while the server is away, judged as clockIn judges it, against
// the last event this clock knows of the employee; nothing when it knows none. Stored means
// kept in the queue file, which holds it before this returns. After a server lost while it
// stored the event, the event may be there already: sending it then stores nothing.
std::optional<ClockOutcome> keepClockIn(ClockQueue &queue, const Session &session,
                                        const QString &task, const QDateTime &now,
                                        bool mayBeStored);
std::optional<ClockOutcome> keepClockOut(ClockQueue &queue, const Session &session,
                                         const QDateTime &now, bool mayBeStored);

// Sends the kept events to the server in the order they were kept, each once, and returns how
// many left the queue. A server lost on the way is thrown; what was not sent stays kept, and
// an event whose answer was lost is sent again harmlessly.
int sendKeptEvents(Connection &connection, ClockQueue &queue);

} // namespace horalink
