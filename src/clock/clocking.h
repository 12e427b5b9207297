#pragma once

#include <QDateTime>
#include <QString>

namespace horalink {

class Connection;
struct Session;

// What a clock-in or clock-out came to. A refusal writes nothing.
enum class ClockOutcome
{
    Stored,
    // A clock-in after a last event that is not "Clocked Out".
    MustClockOut,
    // A clock-out into an empty log.
    MustClockInFirst,
    // A clock-out after a last event that is not "Clocked In".
    MustClockIn,
};

// Whether the last event of the log, the last row added (never the latest stamp: a corrected
// date must not reorder the log), is "Clocked In".
bool isClockedIn(Connection &connection, const QString &table);

// Appends a clock-in for the signed-on user, stamped `now`, when the log is empty or its last
// event is "Clocked Out"; an empty task is stored as a single blank. The check of the last
// event and the append are one step for every other clock on the same data.
ClockOutcome clockIn(Connection &connection, const Session &session, const QString &task,
                     const QDateTime &now);
// Appends a clock-out, stamped `now`, when the last event is "Clocked In"; a clock-out carries
// no task.
ClockOutcome clockOut(Connection &connection, const Session &session, const QDateTime &now);

// Deletes the last event of the log; false when the log is empty.
bool deleteLastEvent(Connection &connection, const QString &table);

} // namespace horalink
