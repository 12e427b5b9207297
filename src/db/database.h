#pragma once

#include "db/connection.h"

#include <QString>

namespace horalink {

// The program's database file, always named without a folder: it is looked up in the working
// folder at the moment it is first opened, and shared by every data control from then on.
inline const QString EmployeeMdb = QStringLiteral("Employee.mdb");

// The environment variable that names a database server by a libpq connection string; when it
// is set, the program and horalink-tool use that database instead of the file.
inline constexpr char ServerVariable[] = "HORALINK_DATABASE";
QString serverConnectionString();

// The employee database: the file of this name, or the server's database when one is named.
// A database without the employee list or the company table is refused.
std::unique_ptr<Connection> openEmployeeDatabase(const QString &fileName);
// Refuses a database without the employee list or the company table; named tells which.
void requireEmployeeTables(Connection &connection, const QString &named);
// The same, opened once and shared by every data control of the program.
Connection &openDatabase(const QString &databaseName);
void closeDatabases();

// Tells every open connection that a user's action begins (Connection::actionBegins).
void actionBegins(const QString &action);

// The database as the Manager's functions reach it: on a shared database whose accounts were
// set up, the connection the Manager signed on with; elsewhere the one every data control
// shares.
Connection &managingDatabase();
// Whether the Manager signs on with the server's own password check, not the program's.
bool managerSignsOnWithServer();
// Signs the Manager on at the server with the typed password: false when the server refuses
// it. Any other failure to connect is a DbError.
bool openManagerDatabase(const QString &password);
// Ends the Manager's connection, when there is one.
void closeManagerDatabase();

// Writes a fresh Employee.mdb: the employee list holding only Manager, Manager's empty time
// log and an empty company table.
void createFreshDatabase(const QString &fileName);
// The same tables and rows written into a file that does not exist yet or is empty.
void writeFreshDatabase(const QString &fileName);
// The same tables and rows in a database that has none yet, within the caller's transaction.
void createFreshTables(Connection &connection);

} // namespace horalink
