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

std::optional<QString> lastStatus(Connection &connection, const QString &table)
{
    Statement last(connection, QStringLiteral("SELECT \"inoutfx\" FROM ") +
                                   connection.quotedTable(table) +
                                   QStringLiteral(" ORDER BY rowid DESC LIMIT 1"));
    if (!last.step())
        return std::nullopt;
    return last.value(0).toString();
}

void appendEvent(Connection &connection, const QString &employee, const QDateTime &stamp,
                 const QString &status, const QVariant &task)
{
    Statement insert(connection, QStringLiteral("INSERT INTO ") + connection.quotedTable(employee) +
                                     QStringLiteral(" (\"Ename\", \"datetime\", \"inoutfx\", "
                                                    "\"activity\") VALUES (?1, ?2, ?3, ?4)"));
    insert.bind(1, employee).bind(2, storedStamp(stamp)).bind(3, status).bind(4, task);
    insert.run();
}

} // namespace horalink
