#include "timelogrows.h"

#include "db/datetimetext.h"
#include "db/sqlite.h"

namespace horalink {

QList<TimeLogRow> readTimeLogRows(Connection &connection, const QString &table)
{
    Statement rows(connection, QStringLiteral("SELECT \"datetime\", \"activity\" FROM %1 "
                                              "ORDER BY rowid")
                                   .arg(quoteIdentifier(table)));
    QList<TimeLogRow> out;
    while (rows.step())
        out << TimeLogRow{parseStoredStamp(rows.value(0).toString()), rows.value(1)};
    return out;
}

} // namespace horalink
