#pragma once

#include <QDateTime>
#include <QString>

namespace horalink {

class Connection;

enum class ClearStep
{
    Cleared,
    NotListed,
    // The log could not be cleared, and nothing of it was deleted; `reason` says why.
    Failed,
};

struct ClearResult
{
    ClearStep step;
    QString reason;
};

// Clears a listed employee's events stamped before the ending's minute, and the clock-out the
// log is then left starting with; all of it or nothing.
ClearResult clearEmployeeLog(Connection &connection, const QString &employee,
                             const QDateTime &ending);

} // namespace horalink
