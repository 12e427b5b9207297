#pragma once

#include "db/connection.h"

#include <QString>

namespace horalink {

// The program's database file, always named without a folder: it is looked up in the working
// folder at the moment it is first opened, and shared by every data control from then on.
inline const QString EmployeeMdb = QStringLiteral("Employee.mdb");

Connection &openDatabase(const QString &databaseName);
bool isDatabaseOpen(const QString &databaseName);
void closeDatabases();

// Writes a fresh Employee.mdb: the employee list holding only Manager, Manager's empty time
// log and an empty company table.
void createFreshDatabase(const QString &fileName);

} // namespace horalink
