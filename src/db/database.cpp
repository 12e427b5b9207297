#include "database.h"

#include "db/postgres.h"
#include "db/roster.h"
#include "db/sqlite.h"

#include <map>
#include <QFile>
#include <QFileInfo>

namespace horalink {

namespace {

std::map<QString, std::unique_ptr<Connection>> &connections()
{
    static std::map<QString, std::unique_ptr<Connection>> open;
    return open;
}

std::unique_ptr<PgConnection> &managerConnection()
{
    static std::unique_ptr<PgConnection> open;
    return open;
}

PgConnection *sharedServer()
{
    return serverConnectionString().isEmpty()
               ? nullptr
               : dynamic_cast<PgConnection *>(&openDatabase(EmployeeMdb));
}

} // namespace

QString serverConnectionString()
{
    return qEnvironmentVariable(ServerVariable);
}

std::unique_ptr<Connection> openEmployeeDatabase(const QString &fileName)
{
    const QString server = serverConnectionString();
    std::unique_ptr<Connection> connection;
    QString named;
    if (server.isEmpty()) {
        connection = SqliteConnection::openExisting(fileName);
        named = QLatin1Char('\'') + QFileInfo(fileName).absoluteFilePath() + QLatin1Char('\'');
    } else {
        connection = PgConnection::open(server);
        named = QStringLiteral("The database ") + connection->location();
    }
    requireEmployeeTables(*connection, named);
    return connection;
}

void requireEmployeeTables(Connection &connection, const QString &named)
{
    // An empty file is a valid SQLite database, and a new database on a server is empty; say
    // plainly that it is not ours.
    for (const QString &table : {EmployeeList, CompanyTable}) {
        if (!connection.tableExists(table))
            throw DbError(dberr::TableNotFound,
                          named + QStringLiteral(" has no table '") + table +
                              QStringLiteral("': it is not an employee database."));
    }
}

Connection &openDatabase(const QString &databaseName)
{
    auto &open = connections();
    auto it = open.find(databaseName);
    if (it == open.end())
        it = open.emplace(databaseName, openEmployeeDatabase(databaseName)).first;
    return *it->second;
}

void closeDatabases()
{
    closeManagerDatabase();
    connections().clear();
}

void actionBegins(const QString &action)
{
    for (auto &[name, connection] : connections())
        connection->actionBegins(action);
    if (const auto &manager = managerConnection())
        manager->actionBegins(action);
}

Connection &managingDatabase()
{
    if (const auto &manager = managerConnection())
        return *manager;
    return openDatabase(EmployeeMdb);
}

bool managerSignsOnWithServer()
{
    const PgConnection *server = sharedServer();
    return server && server->roles();
}

bool openManagerDatabase(const QString &password)
{
    closeManagerDatabase();
    const PgConnection *server = sharedServer();
    if (!server || !server->roles())
        throw DbError(dberr::ServerRefused,
                      QStringLiteral("The database has no account of its own for the Manager."));
    try {
        managerConnection() =
            PgConnection::openAs(serverConnectionString(), server->roles()->manager, password);
    } catch (const DbError &error) {
        if (error.number() == dberr::WrongPassword)
            return false;
        throw;
    }
    managerConnection()->setAuthor(ManagerName);
    return true;
}

void closeManagerDatabase()
{
    managerConnection().reset();
}

void createFreshTables(Connection &connection)
{
    connection.createEmployeeTables();
    // The manager account has no password until one is set.
    Statement manager(connection, QStringLiteral("INSERT INTO ") +
                                      connection.quotedTable(EmployeeList) +
                                      QStringLiteral(" (ename, epass, ewage, ecomment) VALUES (?1, "
                                                     "NULL, ?2, ?3)"));
    manager.bind(1, ManagerName)
        .bind(2, QStringLiteral("0"))
        .bind(3, QStringLiteral("  \r\n"))
        .run();
    connection.createTimeLog(ManagerName);
}

void writeFreshDatabase(const QString &fileName)
{
    auto connection = SqliteConnection::createNew(fileName);
    Transaction transaction(*connection);
    createFreshTables(*connection);
    transaction.commit();
}

void createFreshDatabase(const QString &fileName)
{
    const QString building = fileName + QStringLiteral(".new");
    QFile::remove(building);
    writeFreshDatabase(building);
    QFile::remove(fileName);
    if (!QFile::rename(building, fileName))
        throw DbError(dberr::FileNotFound,
                      QStringLiteral("Could not write '") + fileName + QStringLiteral("'."));
}

} // namespace horalink
