#include "signon.h"

#include "db/connection.h"
#include "db/database.h"
#include "db/employees.h"
#include "db/passwordhash.h"
#include "db/roster.h"

namespace horalink {

bool asksServerPassword(const EmployeeRow &employee)
{
    return employee.name == ManagerName && managerSignsOnWithServer();
}

bool acceptPassword(Connection &connection, const EmployeeRow &employee, const QString &typed)
{
    if (asksServerPassword(employee))
        return !typed.isEmpty() && openManagerDatabase(typed);
    switch (checkPassword(typed, employee.password)) {
    case PasswordCheck::Wrong:
        return false;
    case PasswordCheck::RightButStoredAsTyped:
        if (holdsPasswordHashes(connection))
            return false;
        // The history names the employee whose password is now kept as its hash.
        connection.setAuthor(employee.name);
        storePassword(connection, employee.name, typed);
        return true;
    case PasswordCheck::Right:
        break;
    }
    return true;
}

} // namespace horalink
