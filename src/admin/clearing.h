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
    // The events the clearing removed, or would remove.
    qint64 events = 0;
};

// Clears a listed employee's events stamped before the ending's minute, and the clock-out the
// log is then left starting with; all of it or nothing.
ClearResult clearEmployeeLog(Connection &connection, const QString &employee,
                             const QDateTime &ending);

// What clearEmployeeLog would do now, nothing of it done: the same outcome, and the events it
// would remove.
ClearResult previewClearing(Connection &connection, const QString &employee,
                            const QDateTime &ending);

// What clearing every listed employee's log would remove.
struct ClearPreview
{
    // The employees listed, each name once.
    int employees = 0;
    qint64 events = 0;
};
ClearPreview previewClearingAll(Connection &connection, const QDateTime &ending);

} // namespace horalink
