#include "transfer.h"

#include "db/database.h"
#include "db/employees.h"
#include "db/filecopy.h"
#include "db/history.h"
#include "db/postgres.h"
#include "db/sqlite.h"

namespace horalink {

namespace {

const QStringList EmployeeFields = {"ename", "epass", "ewage", "ecomment"};
const QStringList CompanyFields = {"company", "edits", "money", "subs"};
// A switch that databases made before it lack: copied where the source has it, else left unset,
// which reads as off.
const QString SignoffField = QStringLiteral("signoff");
const QStringList TimeLogFields = {"Ename", "datetime", "inoutfx", "activity"};

void refuseUnlessEmpty(PgConnection &server)
{
    const QStringList tables = server.tableNames();
    if (!tables.isEmpty())
        throw DbError(dberr::ServerRefused, QStringLiteral("The database ") + server.location() +
                                                QStringLiteral(" already holds tables (") +
                                                tables.join(QStringLiteral(", ")) +
                                                QStringLiteral("); nothing was written."));
}

// Copies the rows of one table in stored order, the source's fields read by position into
// the target's fields of these names.
void copyRows(Connection &from, Connection &to, const QString &table, const QStringList &read,
              const QStringList &written)
{
    Statement rows(from, QStringLiteral("SELECT ") + quotedList(read) + QStringLiteral(" FROM ") +
                             from.quotedTable(table) + QStringLiteral(" ORDER BY rowid"));
    QString marks;
    for (int i = 1; i <= written.size(); ++i)
        marks += (i > 1 ? QStringLiteral(", ?") : QStringLiteral("?")) + QString::number(i);
    Statement insert(to, QStringLiteral("INSERT INTO ") + to.quotedTable(table) +
                             QStringLiteral(" (") + quotedList(written) +
                             QStringLiteral(") VALUES (") + marks + QLatin1Char(')'));
    qint64 row = 0;
    try {
        while (rows.step()) {
            ++row;
            insert.reset();
            for (int i = 0; i < written.size(); ++i)
                insert.bind(i + 1, rows.value(i));
            insert.run();
        }
    } catch (const DbError &error) {
        throw DbError(error.number(), QLatin1Char('\'') + table + QStringLiteral("', row ") +
                                          QString::number(row) + QStringLiteral(": ") +
                                          error.description());
    }
}

// The source's own names of the fields, in the order of the target's.
QStringList fieldsOf(Connection &from, const QString &table, const QStringList &wanted)
{
    const QStringList present = from.columnNames(table);
    QStringList names;
    for (const QString &field : wanted) {
        const auto found = std::find_if(present.begin(), present.end(), [&](const QString &name) {
            return name.compare(field, Qt::CaseInsensitive) == 0;
        });
        if (found == present.end())
            throw DbError(dberr::ItemNotFound, QLatin1Char('\'') + table +
                                                   QStringLiteral("' has no field '") + field +
                                                   QStringLiteral("'; nothing was copied."));
        names << *found;
    }
    return names;
}

QStringList companyFieldsOf(Connection &from)
{
    QStringList fields = CompanyFields;
    if (from.columnNames(CompanyTable).contains(SignoffField, Qt::CaseInsensitive))
        fields << SignoffField;
    return fields;
}

// A server keeps apart names that a file takes for one table ("Ann" and "ANN", "Datalist"
// and "datalist"); copied, the second would fail half-way or land in the first.
void refuseFoldedAlike(const QStringList &tables)
{
    for (qsizetype i = 0; i < tables.size(); ++i) {
        for (qsizetype j = 0; j < i; ++j) {
            if (foldedAlike(tables[i], tables[j]))
                throw DbError(dberr::TableExists,
                              QLatin1Char('\'') + tables[j] + QStringLiteral("' and '") +
                                  tables[i] +
                                  QStringLiteral("' are one table in a file, which does not "
                                                 "tell letter case apart; nothing was copied."));
        }
    }
}

// The source's time logs: every table but the list, the company table and the history. A
// table that is none of these is refused before anything is copied, rather than left behind.
QStringList timeLogsOf(Connection &from)
{
    const QStringList tables = from.tableNames();
    refuseFoldedAlike(tables);
    QStringList timeLogs;
    for (const QString &table : tables) {
        if (from.sameTable(table, EmployeeList) || from.sameTable(table, CompanyTable) ||
            from.sameTable(table, HistoryTable))
            continue;
        if (!hasTimeLog(from, table))
            throw DbError(dberr::ServerRefused,
                          QLatin1Char('\'') + table +
                              QStringLiteral("' is neither the employee list, the company table "
                                             "nor a time log; nothing was copied."));
        timeLogs << table;
    }
    return timeLogs;
}

// The copy keeps what happened to the record, and a server keeps it append-only; a database
// without a history gains it at its first change, as the file does.
void copyHistory(Connection &from, Connection &to)
{
    if (!from.tableExists(HistoryTable))
        return;
    to.createHistory();
    copyRows(from, to, HistoryTable, fieldsOf(from, HistoryTable, HistoryFields), HistoryFields);
}

// Every table of the employee database, in a database that has none yet: the list, the
// company table, the history and every time log, all in stored order.
bool copyTables(Connection &from, Connection &to, const TableProgress &progress)
{
    const QStringList timeLogs = timeLogsOf(from);
    const int total = int(timeLogs.size()) + 2;
    int copied = 0;
    const auto told = [&] {
        return !progress || progress(++copied, total);
    };
    to.createEmployeeTables();
    copyRows(from, to, EmployeeList, fieldsOf(from, EmployeeList, EmployeeFields), EmployeeFields);
    if (!told())
        return false;
    const QStringList companyFields = companyFieldsOf(from);
    copyRows(from, to, CompanyTable, fieldsOf(from, CompanyTable, companyFields), companyFields);
    if (!told())
        return false;
    copyHistory(from, to);
    for (const QString &table : timeLogs) {
        to.createTimeLog(table);
        copyRows(from, to, table, from.columnNames(table), TimeLogFields);
        if (!told())
            return false;
    }
    return true;
}

// Ends a read-only snapshot of the server however the copy ends: it wrote nothing.
struct SnapshotEnd
{
    PgConnection &server;
    ~SnapshotEnd() { server.rollback(); }
};

} // namespace

void initServerDatabase(PgConnection &server, const std::optional<ServerRoles> &roles)
{
    Transaction transaction(server);
    refuseUnlessEmpty(server);
    createFreshTables(server);
    server.createHistory();
    if (roles)
        grantRoles(server, *roles);
    transaction.commit();
}

void copyFileToServer(Connection &file, PgConnection &server,
                      const std::optional<ServerRoles> &roles)
{
    requireEmployeeTables(file, QStringLiteral("The file"));
    // Holds the file still while it is read: every time clock on it waits.
    Transaction reading(file);
    Transaction transaction(server);
    refuseUnlessEmpty(server);
    copyTables(file, server, {});
    if (roles)
        grantRoles(server, *roles);
    transaction.commit();
}

bool copyServerToFile(PgConnection &server, const QString &fileName, const TableProgress &progress)
{
    return writeDatabaseFile(fileName, [&](SqliteConnection &copy) {
        server.beginSnapshot();
        const SnapshotEnd reading{server};
        requireEmployeeTables(server, QStringLiteral("The database ") + server.location());
        Transaction writing(copy);
        if (!copyTables(server, copy, progress))
            return false;
        writing.commit();
        return true;
    });
}

} // namespace horalink
