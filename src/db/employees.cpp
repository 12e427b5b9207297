#include "employees.h"

#include "db/connection.h"
#include "db/database.h"
#include "db/datetimetext.h"
#include "db/history.h"
#include "db/passwordhash.h"
#include "db/postgres.h"
#include "db/roster.h"
#include "db/timelog.h"

#include <QStringList>

namespace horalink {

namespace {

const QString EveryRow = QStringLiteral("1 = 1");

void requireTimeLog(Connection &connection, const QString &table)
{
    if (!hasTimeLog(connection, table))
        throw DbError(dberr::TableNotFound,
                      QStringLiteral("there is no time log named '") + table + QLatin1Char('\''));
}

bool clashesWithListed(Connection &connection, const QString &name)
{
    Statement listed(connection,
                     QStringLiteral("SELECT ename FROM ") + connection.quotedTable(EmployeeList));
    while (listed.step()) {
        if (!listed.isNull(0) && sameEmployee(listed.value(0).toString(), name))
            return true;
    }
    return false;
}

// Another listed employee whose name reaches the same table without being this name, as
// older files may hold.
bool sharedWithOther(Connection &connection, const QString &name)
{
    Statement listed(connection,
                     QStringLiteral("SELECT ename FROM ") + connection.quotedTable(EmployeeList));
    while (listed.step()) {
        const QString other = listed.value(0).toString();
        if (!listed.isNull(0) && other != name && connection.sameTable(other, name))
            return true;
    }
    return false;
}

// Why a new name may not have a time log of its own in this database, or an empty text. The
// names are compared as the file compares them on either engine, so that the database can
// always move between a file and a server: a table whose name differs only in the letters A
// to Z, one of the program's own tables included, is the same table in the file. The engines'
// catalogs live under the prefixes. Only the time log of exactly this name, left behind by a
// deletion, is taken over.
QString tableRefusal(Connection &connection, const QString &name)
{
    for (const char *reserved : {"sqlite_", "pg_"}) {
        if (name.startsWith(QLatin1String(reserved), Qt::CaseInsensitive))
            return QStringLiteral("Sorry, the name may not begin with \"sqlite_\" or \"pg_\": "
                                  "the database keeps such names for its own tables.");
    }
    for (const QString &table : connection.tableNames()) {
        if (foldedAlike(table, name) && !(table == name && hasTimeLog(connection, name)))
            return QStringLiteral("Sorry, the name would reach the database's table '") + table +
                   QStringLiteral("' (letter case does not tell tables apart). Please type in "
                                  "another name.");
    }
    return {};
}

// Where the Manager signed on with the server's password check, that password is the one
// the server keeps for the Manager's account.
void changeServerPassword(Connection &connection, const QString &password)
{
    auto *server = dynamic_cast<PgConnection *>(&connection);
    if (!server || !server->roles() || server->account() != server->roles()->manager)
        return;
    if (password.isEmpty())
        throw DbError(dberr::NotPermitted,
                      QStringLiteral("On the shared database the Manager keeps a password, or "
                                     "nobody could sign on as Manager; nothing was changed."));
    server->changeOwnPassword(password);
}

} // namespace

QString storedName(const QString &typed)
{
    return typed.normalized(QString::NormalizationForm_C);
}

QString nameRefusal(const QString &name)
{
    for (const QChar c : name) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_Format)
            return QStringLiteral("Sorry, the name may not hold a line break, a tab or another "
                                  "invisible or control character.");
    }
    if (!name.isEmpty() && (name.front().isSpace() || name.back().isSpace()))
        return QStringLiteral("Sorry, the name may not begin or end with a blank.");
    return {};
}

namespace {

QString comparable(const QString &name)
{
    return storedName(name).toCaseFolded().normalized(QString::NormalizationForm_C);
}

} // namespace

bool sameEmployee(const QString &first, const QString &second)
{
    return comparable(first) == comparable(second);
}

bool hasTimeLog(Connection &connection, const QString &name)
{
    if (!connection.tableExists(name))
        return false;
    QStringList names;
    for (const QString &column : connection.columnNames(name))
        names << column.toLower();
    return names == QStringList({"ename", "datetime", "inoutfx", "activity"});
}

AddOutcome addEmployee(Connection &connection, const NewEmployee &employee)
{
    if (const QString refusal = nameRefusal(employee.name); !refusal.isEmpty())
        throw DbError(dberr::BadTableName, refusal);
    // Two clocks adding the same name at once: the second finds the first's row.
    Transaction transaction(connection, EmployeeList);
    if (clashesWithListed(connection, employee.name))
        return AddOutcome::NameTaken;
    if (const QString refusal = tableRefusal(connection, employee.name); !refusal.isEmpty())
        throw DbError(dberr::BadTableName, refusal);
    const bool tableThere = connection.tableExists(employee.name);
    Statement insert(connection, QStringLiteral("INSERT INTO ") +
                                     connection.quotedTable(EmployeeList) +
                                     QStringLiteral(" (ename, ewage, epass, ecomment) VALUES (?1, "
                                                    "?2, ?3, ?4)"));
    insert.bind(1, employee.name)
        .bind(2, employee.wage)
        .bind(3, passwordHash(employee.password))
        .bind(4, employee.comment)
        .run();
    if (!tableThere)
        connection.createTimeLog(employee.name);
    recordAdded(connection, ChangeKind::EmployeeAdded, EmployeeList);
    transaction.commit();
    return AddOutcome::Added;
}

bool storePassword(Connection &connection, const QString &name, const QString &password)
{
    Transaction transaction(connection, EmployeeList);
    const QString list = connection.quotedTable(EmployeeList);
    const auto before = rowImages(connection, EmployeeList,
                                  QStringLiteral("rowid = (SELECT min(rowid) FROM ") + list +
                                      QStringLiteral(" WHERE ename = ?1)"),
                                  {name});
    if (before.empty())
        return false;
    Statement update(connection, QStringLiteral("UPDATE ") + list +
                                     QStringLiteral(" SET epass = ?1 WHERE rowid = ?2"));
    update.bind(1, passwordHash(password)).bind(2, before.front().rowid).run();
    const auto after = rowImage(connection, EmployeeList, before.front().rowid);
    // Whose password, and whether there is one: a reader of the history must tell who it was.
    const auto passwordOf = [](const RowImage &row) {
        return QJsonObject{{QStringLiteral("ename"), row.fields.value(QLatin1String("ename"))},
                           {QStringLiteral("epass"), row.fields.value(QLatin1String("epass"))}};
    };
    recordChange(connection, ChangeKind::PasswordChanged, EmployeeList, before.front().rowid,
                 passwordOf(before.front()), after ? passwordOf(*after) : QJsonObject());
    if (name == ManagerName)
        changeServerPassword(connection, password);
    transaction.commit();
    return true;
}

void deleteEmployee(Connection &connection, const QString &name)
{
    Transaction transaction(connection);
    if (hasTimeLog(connection, name) && !sharedWithOther(connection, name))
        removeRows(connection, ChangeKind::EmployeeDeleted, name, EveryRow);
    removeRows(connection, ChangeKind::EmployeeDeleted, EmployeeList, QStringLiteral("ename = ?1"),
               {name});
    transaction.commit();
}

qint64 clearEventsBefore(Connection &connection, const QString &table, const QDateTime &ending,
                         ClearMode mode)
{
    // The clock-out the log is left starting with is looked for among the events as they are,
    // with no clock appending between.
    Transaction transaction(connection, table);
    requireTimeLog(connection, table);
    const QString quoted = connection.quotedTable(table);
    // Stamps hold whole seconds, so an event lies in an earlier minute exactly when it lies
    // before the first second of the ending's minute.
    const QDateTime minute =
        naiveStamp(ending.date(), QTime(ending.time().hour(), ending.time().minute()));
    // A count is taken back at once: it leaves nothing in the history either.
    const auto kept = mode == ClearMode::Delete ? std::optional(ChangeKind::Cleared) : std::nullopt;
    const qint64 olderDeleted = removeRows(
        connection, kept, table, QStringLiteral("\"datetime\" < ?1"), {storedStamp(minute)});
    const qint64 deleted =
        olderDeleted + removeRows(connection, kept, table,
                                  QStringLiteral("rowid = (SELECT min(rowid) FROM ") + quoted +
                                      QStringLiteral(") AND \"inoutfx\" = ?1"),
                                  {ClockedOut});
    // Counted by the very statements that clear, so that the count is what a clearing deletes;
    // the transaction then takes them back.
    if (mode == ClearMode::Delete)
        transaction.commit();
    return deleted;
}

void clearTimeLog(Connection &connection, const QString &table)
{
    Transaction transaction(connection);
    requireTimeLog(connection, table);
    removeRows(connection, ChangeKind::Cleared, table, EveryRow);
    transaction.commit();
}

bool holdsPasswordHashes(Connection &connection)
{
    Statement hashed(connection, QStringLiteral("SELECT 1 FROM ") +
                                     connection.quotedTable(EmployeeList) +
                                     QStringLiteral(" WHERE epass LIKE ?1 LIMIT 1"));
    hashed.bind(1, passwordHashPrefix() + QLatin1Char('%'));
    if (hashed.step())
        return true;
    if (!connection.tableExists(HistoryTable))
        return false;
    Statement changed(connection, QStringLiteral("SELECT 1 FROM ") +
                                      connection.quotedTable(HistoryTable) +
                                      QStringLiteral(" WHERE kind = ?1 LIMIT 1"));
    changed.bind(1, changeKindText(ChangeKind::PasswordChanged));
    return changed.step();
}

QStringList namesWithTypedPassword(Connection &connection)
{
    Statement typed(connection, QStringLiteral("SELECT ename FROM ") +
                                    connection.quotedTable(EmployeeList) +
                                    QStringLiteral(" WHERE epass <> '' AND epass NOT LIKE ?1 "
                                                   "ORDER BY rowid"));
    typed.bind(1, passwordHashPrefix() + QLatin1Char('%'));
    QStringList names;
    while (typed.step())
        names << typed.value(0).toString();
    return names;
}

} // namespace horalink
