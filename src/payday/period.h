#pragma once

#include <functional>
#include <QDateTime>
#include <QString>

namespace horalink {

// A pay period: from its first minute up to, not including, the minute of its end. Like the
// printed cards and the clearing, it compares stamps by the minute, seconds dropped, so a
// period that ends where the log is later cleared holds exactly the events cleared.
struct Period
{
    QDateTime from;
    QDateTime to;

    bool contains(const QDateTime &stamp) const;
    // Whether it holds a minute at all: one that ends where or before it starts holds none,
    // and exporting it would pay nobody anything. Such a period is refused wherever one is
    // typed.
    bool holdsAMinute() const;
};

// Told after each employee is done: how many are done, of how many, and who was last. Work
// ends after that employee when it returns false.
using Progress = std::function<bool(int done, int total, const QString &employee)>;

} // namespace horalink
