#include "timelog.h"

#include "db/connection.h"
#include "db/datetimetext.h"

namespace horalink {

void scanTimeLog(Connection &connection, const QString &table, TimeLogScan &scan)
{
    Statement rows(connection, QStringLiteral("SELECT \"datetime\" FROM ") +
                                   quoteIdentifier(table) + QStringLiteral(" ORDER BY rowid"));
    while (rows.step()) {
        int length = 0;
        const char *text = rows.rawText(0, &length);
        scan.row(text ? storedMinute(text, length) : std::nullopt);
    }
}

QVariant lastStatus(Connection &connection, const QString &table)
{
    Statement last(connection, QStringLiteral("SELECT \"inoutfx\" FROM ") + quoteIdentifier(table) +
                                   QStringLiteral(" ORDER BY rowid DESC LIMIT 1"));
    return last.step() ? last.value(0) : QVariant();
}

} // namespace horalink
