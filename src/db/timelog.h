#pragma once

#include <optional>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace horalink {

class Connection;

// The two statuses of a time event, compared exactly.
inline const QString ClockedIn = QStringLiteral("Clocked In");
inline const QString ClockedOut = QStringLiteral("Clocked Out");

// Bulk reads of one time log, for the figures: one statement, in stored order.
class TimeLogScan
{
public:
    virtual ~TimeLogScan() = default;
    // A row's stamp as a minute number; nothing when the row holds no readable stamp.
    virtual void row(std::optional<qint64> minute) = 0;
};

void scanTimeLog(Connection &connection, const QString &table, TimeLogScan &scan);
// The status and stamp of the last row added, as stored; nothing for an empty log.
struct LastEvent
{
    QVariant status;
    QVariant stamp;
};
std::optional<LastEvent> lastEvent(Connection &connection, const QString &table);
// The status of the last row added (empty for a row without one); nothing for an empty log.
std::optional<QString> lastStatus(Connection &connection, const QString &table);

// One event as a clock records it in the employee's own log.
struct TimeEvent
{
    QString employee;
    QDateTime stamp;
    QString status;
    // Null on a clock-out.
    QVariant task;
};
// Appends a clock-in when the log is empty or its last event is "Clocked Out", a clock-out
// when its last event is "Clocked In"; returns whether it did. The check and the append are
// one statement, so that a clock a network away waits once for both.
bool appendInTurn(Connection &connection, const TimeEvent &event);
// Appends the event whatever the log's last event, as an event kept on a clock while its
// server was away is delivered.
void appendEvent(Connection &connection, const TimeEvent &event);

} // namespace horalink
