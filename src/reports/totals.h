#pragma once

#include <QDateTime>
#include <QString>

namespace horalink {

class Connection;

struct LoggedMinutes
{
    float minutes = 0.0f;
    qint64 rows = 0;
    // The last row is "Clocked In": the shift is counted up to now.
    bool openShift = false;
};

// The minutes worked according to a time log: its rows taken two by two in stored order, a
// shift still open (last row "Clocked In") closed at `now` without writing anything. A last
// row without a partner counts nothing, as does a pair holding an unreadable stamp.
LoggedMinutes loggedMinutes(Connection &connection, const QString &table, const QDateTime &now);

// The figures shown for one employee: "Tot. Hours" and "Est. Wages", or the Management tab's
// "Hours:" and "$".
struct Totals
{
    // The four-character hours text; a bare "0" for an empty log.
    QString hours;
    // The estimated wages, from the hours text and the wage; "0" for an empty log and for a
    // wage that is not a number.
    QString wages;
    bool empty = true;
    bool openShift = false;
};

Totals totalsOf(Connection &connection, const QString &table, const QString &wageText,
                const QDateTime &now);

} // namespace horalink
