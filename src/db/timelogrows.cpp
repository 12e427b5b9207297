#include "timelogrows.h"

#include "db/datetimetext.h"
#include "db/sqlite.h"

namespace horalink {

QList<TimeLogRow> readTimeLogRows(Connection &connection, const QString &table)
{
    Statement rows(connection,
                   QStringLiteral("SELECT \"datetime\", \"activity\", \"inoutfx\" FROM ") +
                       quoteIdentifier(table) + QStringLiteral(" ORDER BY rowid"));
    QList<TimeLogRow> out;
    while (rows.step())
        out << TimeLogRow{parseStoredStamp(rows.value(0).toString()), rows.value(1), rows.value(2)};
    return out;
}

} // namespace horalink
