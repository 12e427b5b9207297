#pragma once

#include <array>
#include <functional>
#include <QByteArrayView>
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
// A row of a time log exactly as stored: its number, and the texts of its stamp, task and
// status, each a null view where the field holds nothing. The texts last only while the row is
// visited.
struct StoredRow
{
    qint64 rowid = 0;
    std::array<QByteArrayView, 3> fields;
};
// Visits the rows numbered after `after` up to `upTo`, in stored order, without reading them
// into values: the fast path for telling whether a log is still what it was.
void visitStoredRows(Connection &connection, const QString &table, qint64 after, qint64 upTo,
                     const std::function<void(const StoredRow &)> &visit);
// The stored order's number of the table's last row; 0 when it has none.
qint64 lastRowId(Connection &connection, const QString &table);

} // namespace horalink
