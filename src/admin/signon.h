#pragma once

#include <QString>

namespace horalink {

class Connection;
struct EmployeeRow;

// Whether the typed password is the employee's. A password an older file still holds as typed
// is replaced by its hash at this first right answer; once the file holds a hash, a password
// stored as typed is someone's edit of the file, and refused. Where the server checks the
// Manager's password, a right one opens the Manager's connection (openManagerDatabase).
bool acceptPassword(Connection &connection, const EmployeeRow &employee, const QString &typed);

// Whether the password step is shown whatever the employee list holds: the Manager's password
// is the server's, set by its administrator, where the server checks it.
bool asksServerPassword(const EmployeeRow &employee);

} // namespace horalink
