#include "employees.h"

#include "db/database.h"
#include "db/datetimetext.h"
#include "db/sqlite.h"

#include <QStringList>

namespace horalink {

namespace {

// The engine's numbers for a table it cannot find and for a table that is already there.
constexpr int TableNotFound = 3078;
constexpr int TableExists = 3010;

const QString ClockedOut = QStringLiteral("Clocked Out");

void requireTimeLog(Connection &connection, const QString &table)
{
    if (!hasTimeLog(connection, table))
        throw DbError(TableNotFound, QStringLiteral("there is no time log named '%1'").arg(table));
}

bool clashesWithListed(Connection &connection, const QString &name)
{
    Statement listed(connection,
                     QStringLiteral("SELECT 1 FROM datalist WHERE ename = ?1 COLLATE NOCASE"));
    listed.bind(1, name);
    return listed.step();
}

// Another listed employee whose name reaches the same table without being this name.
bool sharedWithOther(Connection &connection, const QString &name)
{
    Statement other(connection, QStringLiteral("SELECT 1 FROM datalist "
                                               "WHERE ename = ?1 COLLATE NOCASE AND ename <> ?1"));
    other.bind(1, name);
    return other.step();
}

} // namespace

bool namesClash(const QString &first, const QString &second)
{
    if (first.size() != second.size())
        return false;
    for (qsizetype i = 0; i < first.size(); ++i) {
        const char16_t a = first[i].unicode();
        const char16_t b = second[i].unicode();
        const auto lower = [](char16_t c) {
            return c >= u'A' && c <= u'Z' ? c + 32 : c;
        };
        if (lower(a) != lower(b))
            return false;
    }
    return true;
}

bool hasTimeLog(Connection &connection, const QString &name)
{
    if (!connection.tableExists(name))
        return false;
    Statement columns(connection,
                      QStringLiteral("SELECT name FROM pragma_table_info(?1) ORDER BY cid"));
    columns.bind(1, name);
    QStringList names;
    while (columns.step())
        names << columns.value(0).toString().toLower();
    return names == QStringList({"ename", "datetime", "inoutfx", "activity"});
}

AddOutcome addEmployee(Connection &connection, const NewEmployee &employee)
{
    Transaction transaction(connection);
    if (clashesWithListed(connection, employee.name))
        return AddOutcome::NameTaken;
    const bool tableThere = connection.tableExists(employee.name);
    if (tableThere && !hasTimeLog(connection, employee.name))
        throw DbError(TableExists,
                      QStringLiteral("the name '%1' is already used by a table that holds other "
                                     "data")
                          .arg(employee.name));
    Statement insert(connection, QStringLiteral("INSERT INTO datalist (ename, ewage, epass, "
                                                "ecomment) VALUES (?1, ?2, ?3, ?4)"));
    insert.bind(1, employee.name)
        .bind(2, employee.wage)
        .bind(3, employee.password)
        .bind(4, employee.comment)
        .run();
    if (!tableThere)
        createTimeLogTable(connection, employee.name);
    transaction.commit();
    return AddOutcome::Added;
}

void deleteEmployee(Connection &connection, const QString &name)
{
    Transaction transaction(connection);
    if (hasTimeLog(connection, name) && !sharedWithOther(connection, name))
        connection.exec(QStringLiteral("DELETE FROM %1").arg(quoteIdentifier(name)));
    Statement unlist(connection, QStringLiteral("DELETE FROM datalist WHERE ename = ?1"));
    unlist.bind(1, name).run();
    transaction.commit();
}

void clearEventsBefore(Connection &connection, const QString &table, const QDateTime &ending)
{
    Transaction transaction(connection);
    requireTimeLog(connection, table);
    const QString quoted = quoteIdentifier(table);
    // Stored stamps are 'YYYY-MM-DD HH:MM:SS': their first sixteen characters are the minute,
    // and they sort as text in time order.
    Statement older(connection, QStringLiteral("DELETE FROM %1 WHERE substr(\"datetime\", 1, 16) "
                                               "< ?1")
                                    .arg(quoted));
    older.bind(1, storedStamp(ending).left(16)).run();
    Statement orphan(connection, QStringLiteral("DELETE FROM %1 WHERE rowid = (SELECT min(rowid) "
                                                "FROM %1) AND \"inoutfx\" = ?1")
                                     .arg(quoted));
    orphan.bind(1, ClockedOut).run();
    transaction.commit();
}

void clearTimeLog(Connection &connection, const QString &table)
{
    Transaction transaction(connection);
    requireTimeLog(connection, table);
    connection.exec(QStringLiteral("DELETE FROM %1").arg(quoteIdentifier(table)));
    transaction.commit();
}

} // namespace horalink
