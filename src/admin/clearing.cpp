#include "clearing.h"

#include "db/dberror.h"
#include "db/employees.h"
#include "db/roster.h"

namespace horalink {

ClearResult clearEmployeeLog(Connection &connection, const QString &employee,
                             const QDateTime &ending)
{
    if (!isListed(connection, employee))
        return {ClearStep::NotListed, {}};
    try {
        clearEventsBefore(connection, employee, ending);
    } catch (const DbError &error) {
        return {ClearStep::Failed, error.description()};
    }
    return {ClearStep::Cleared, {}};
}

} // namespace horalink
