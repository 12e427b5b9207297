#include "database.h"

#include "db/schema_sql.h"
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

} // namespace

Connection &openDatabase(const QString &databaseName)
{
    auto &open = connections();
    auto it = open.find(databaseName);
    if (it == open.end()) {
        std::unique_ptr<Connection> connection = SqliteConnection::openExisting(databaseName);
        // An empty file is a valid SQLite database; say plainly that it is not ours.
        for (const QString &table : {QStringLiteral("datalist"), QStringLiteral("Company Data")}) {
            if (!connection->tableExists(table))
                throw DbError(dberr::TableNotFound,
                              QLatin1Char('\'') + QFileInfo(databaseName).absoluteFilePath() +
                                  QStringLiteral("' has no table '") + table +
                                  QStringLiteral("': it is not an employee database."));
        }
        it = open.emplace(databaseName, std::move(connection)).first;
    }
    return *it->second;
}

bool isDatabaseOpen(const QString &databaseName)
{
    return connections().count(databaseName) > 0;
}

void closeDatabases()
{
    connections().clear();
}

void createFreshDatabase(const QString &fileName)
{
    const QString building = fileName + QStringLiteral(".new");
    QFile::remove(building);
    {
        auto connection = SqliteConnection::createNew(building);
        Transaction transaction(*connection);
        connection->exec(QString::fromUtf8(schemaSql));
        connection->createTimeLog(QStringLiteral("Manager"));
        transaction.commit();
    }
    QFile::remove(fileName);
    if (!QFile::rename(building, fileName))
        throw DbError(dberr::FileNotFound,
                      QStringLiteral("Could not write '") + fileName + QStringLiteral("'."));
}

} // namespace horalink
