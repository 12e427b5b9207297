#pragma once

#include <QDateTime>
#include <QString>

namespace horalink {

class Connection;

struct LoggedMinutes
{
    float minutes = 0.0f;
    // The last row is "Clocked In": the shift is counted up to now.
    bool openShift = false;
};

// The minutes worked according to a time log: its rows taken two by two in stored order, a
// shift still open (last row "Clocked In") closed at `now` without writing anything. A last
// row without a partner counts nothing, as does a pair holding an unreadable stamp.
LoggedMinutes loggedMinutes(Connection &connection, const QString &table, const QDateTime &now);

} // namespace horalink
