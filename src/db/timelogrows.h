#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

namespace horalink {

class Connection;

// What a printed time card needs of one time event.
struct TimeLogRow
{
    // Invalid when the row holds no readable date and time.
    QDateTime stamp;
    QVariant activity;
};

// Every row of a time log in stored order, read in one statement.
QList<TimeLogRow> readTimeLogRows(Connection &connection, const QString &table);

} // namespace horalink
