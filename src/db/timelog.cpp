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

} // namespace horalink
