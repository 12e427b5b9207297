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
// The status of the last row added (empty for a row without one); nothing for an empty log.
std::optional<QString> lastStatus(Connection &connection, const QString &table);
// Appends one event to the log of the employee of this name, with the stamp as given; a task
// that is Null leaves the field empty, as a clock-out does.
void appendEvent(Connection &connection, const QString &employee, const QDateTime &stamp,
                 const QString &status, const QVariant &task);

} // namespace horalink
