#include "timelog.h"

#include "db/connection.h"
#include "db/datetimetext.h"

namespace horalink {

void scanTimeLog(Connection &connection, const QString &table, TimeLogScan &scan)
{
    Statement rows(connection, QStringLiteral("SELECT \"datetime\" FROM ") +
                                   connection.quotedTable(table) +
                                   QStringLiteral(" ORDER BY rowid"));
    while (rows.step()) {
        int length = 0;
        const char *text = rows.rawText(0, &length);
        scan.row(text ? storedMinute(text, length) : std::nullopt);
    }
}

std::optional<LastEvent> lastEvent(Connection &connection, const QString &table)
{
    Statement last(connection, QStringLiteral("SELECT \"inoutfx\", \"datetime\" FROM ") +
                                   connection.quotedTable(table) +
                                   QStringLiteral(" ORDER BY rowid DESC LIMIT 1"));
    if (!last.step())
        return std::nullopt;
    return LastEvent{last.value(0), last.value(1)};
}

std::optional<QString> lastStatus(Connection &connection, const QString &table)
{
    const std::optional<LastEvent> last = lastEvent(connection, table);
    if (!last)
        return std::nullopt;
    return last->status.toString();
}

bool appendInTurn(Connection &connection, const TimeEvent &event)
{
    const QString table = connection.quotedTable(event.employee);
    const QString last = QStringLiteral("(SELECT \"inoutfx\" FROM ") + table +
                         QStringLiteral(" ORDER BY rowid DESC LIMIT 1) = ?5");
    // A last event without a status is neither: nothing follows it.
    const QString inTurn =
        event.status == ClockedIn
            ? QStringLiteral("NOT EXISTS (SELECT 1 FROM ") + table + QStringLiteral(") OR ") + last
            : last;
    Statement insert(connection, QStringLiteral("INSERT INTO ") + table +
                                     QStringLiteral(" (\"Ename\", \"datetime\", \"inoutfx\", "
                                                    "\"activity\") SELECT ?1, ?2, ?3, ?4 WHERE ") +
                                     inTurn);
    insert.bind(1, event.employee)
        .bind(2, storedStamp(event.stamp))
        .bind(3, event.status)
        .bind(4, event.task)
        .bind(5, event.status == ClockedIn ? ClockedOut : ClockedIn);
    // Every other writer of the log waits: two clocks cannot both find it their turn.
    Transaction transaction(connection, event.employee, Writes::Batched);
    insert.run();
    transaction.commit();
    return connection.changes() == 1;
}

void appendEvent(Connection &connection, const TimeEvent &event)
{
    Statement insert(connection, QStringLiteral("INSERT INTO ") +
                                     connection.quotedTable(event.employee) +
                                     QStringLiteral(" (\"Ename\", \"datetime\", \"inoutfx\", "
                                                    "\"activity\") VALUES (?1, ?2, ?3, ?4)"));
    insert.bind(1, event.employee)
        .bind(2, storedStamp(event.stamp))
        .bind(3, event.status)
        .bind(4, event.task);
    insert.run();
}

} // namespace horalink
