#pragma once

#include <QString>

namespace horalink {

class Connection;
struct EmployeeRow;

// Whether the typed password is the employee's. A password an older file still holds as typed
// is replaced by its hash at this first right answer.
bool acceptPassword(Connection &connection, const EmployeeRow &employee, const QString &typed);

} // namespace horalink
