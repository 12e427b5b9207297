#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

namespace horalink {

class Connection;

// One time event as the cards and the pay-day reports read it.
struct TimeLogRow
{
    // Invalid when the row holds no readable date and time.
    QDateTime stamp;
    QVariant activity;
    // `inoutfx` as stored, Null included.
    QVariant status;
};

} // namespace horalink

// Moved in memory as it is when a long log's list grows.
Q_DECLARE_TYPEINFO(horalink::TimeLogRow, Q_RELOCATABLE_TYPE);

namespace horalink {

// Every row of a time log in stored order, read in one statement.
QList<TimeLogRow> readTimeLogRows(Connection &connection, const QString &table);
// The stored order's number of the table's last row; 0 when it has none.
qint64 lastRowId(Connection &connection, const QString &table);

} // namespace horalink
