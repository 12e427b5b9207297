#include "clearing.h"

#include "db/dberror.h"
#include "db/employees.h"
#include "db/roster.h"

namespace horalink {

namespace {

ClearResult clearing(Connection &connection, const QString &employee, const QDateTime &ending,
                     ClearMode mode)
{
    if (!isListed(connection, employee))
        return {ClearStep::NotListed, {}, 0};
    try {
        return {ClearStep::Cleared, {}, clearEventsBefore(connection, employee, ending, mode)};
    } catch (const DbError &error) {
        return {ClearStep::Failed, error.description(), 0};
    }
}

} // namespace

ClearResult clearEmployeeLog(Connection &connection, const QString &employee,
                             const QDateTime &ending)
{
    return clearing(connection, employee, ending, ClearMode::Delete);
}

ClearResult previewClearing(Connection &connection, const QString &employee,
                            const QDateTime &ending)
{
    return clearing(connection, employee, ending, ClearMode::Count);
}

ClearPreview previewClearingAll(Connection &connection, const QDateTime &ending)
{
    const QList<ListedEmployee> employees = listedEmployees(connection);
    ClearPreview preview{int(employees.size()), 0};
    // A log that cannot be cleared counts nothing; the clearing tells why when it comes to it.
    for (const ListedEmployee &employee : employees)
        preview.events += previewClearing(connection, employee.name, ending).events;
    return preview;
}

} // namespace horalink
