#include "database.h"

#include "db/schema_sql.h"

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
        auto connection = Connection::openExisting(databaseName);
        // An empty file is a valid SQLite database; say plainly that it is not ours.
        for (const QString &table : {QStringLiteral("datalist"), QStringLiteral("Company Data")}) {
            if (!connection->tableExists(table))
                throw DbError(1, QStringLiteral("'%1' has no table '%2': it is not an employee "
                                                "database.")
                                     .arg(QFileInfo(databaseName).absoluteFilePath(), table));
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

void createTimeLogTable(Connection &connection, const QString &name)
{
    // The name goes into the statement alone, never into the comment above it, where a line
    // break in the name would end the comment and run the rest of the name as SQL; and the
    // statement is prepared as exactly one.
    static const QLatin1String marker("CREATE TABLE %1");
    const QString sql = QString::fromUtf8(timeLogSql);
    const qsizetype create = sql.indexOf(marker);
    Statement(connection, QStringLiteral("CREATE TABLE ") + quoteIdentifier(name) +
                              sql.mid(create + marker.size()))
        .run();
}

void createFreshDatabase(const QString &fileName)
{
    const QString building = fileName + QStringLiteral(".new");
    QFile::remove(building);
    {
        auto connection = Connection::createNew(building);
        Transaction transaction(*connection);
        connection->exec(QString::fromUtf8(schemaSql));
        createTimeLogTable(*connection, QStringLiteral("Manager"));
        transaction.commit();
    }
    QFile::remove(fileName);
    if (!QFile::rename(building, fileName))
        throw DbError(dberr::FileNotFound, QStringLiteral("Could not write '%1'.").arg(fileName));
}

} // namespace horalink
