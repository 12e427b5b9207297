// Any text typed as an employee's name goes through adding, the grid, the totals, both time
// cards and deleting against a real Employee.mdb. Whatever the name, the other employees'
// logs and the employee list stay exactly as they were.
#include "db/database.h"
#include "db/employees.h"
#include "db/sqlite.h"
#include "db/timelogmodel.h"
#include "db/timelogrows.h"
#include "reports/card.h"
#include "reports/totals.h"

#include <cstdlib>
#include <QCoreApplication>
#include <QTemporaryDir>

using namespace horalink;

namespace {

const QString Ann = QStringLiteral("Ann");
const QDateTime Now(QDate(2026, 3, 2), QTime(17, 30, 10), Qt::UTC);

void append(Connection &file, const QString &table, const QString &stamp, const QString &status)
{
    Statement insert(file, QStringLiteral("INSERT INTO ") + quoteIdentifier(table) +
                               QStringLiteral(" (Ename, datetime, inoutfx, activity) VALUES "
                                              "(?1, ?2, ?3, ' ')"));
    insert.bind(1, table).bind(2, stamp).bind(3, status).run();
}

// Everything that must never change: the list and the logs of Manager and Ann.
QString others(Connection &file)
{
    QString seen;
    for (const QString &sql :
         {QStringLiteral("SELECT group_concat(ename || '/' || ifnull(epass, '') || '/' || "
                         "ifnull(ewage, '') || '/' || ifnull(ecomment, ''), '|') FROM datalist"),
          QStringLiteral("SELECT group_concat(datetime || inoutfx, '|') FROM Ann"),
          QStringLiteral("SELECT count(*) FROM Manager")}) {
        Statement read(file, sql);
        seen += (read.step() ? read.value(0).toString() : QString()) + QLatin1Char('/');
    }
    return seen;
}

Connection &shop()
{
    static QTemporaryDir *folder = [] {
        static int argc = 1;
        static char name[] = "fuzz_names";
        static char *argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
        return new QTemporaryDir;
    }();
    static Connection &file = []() -> Connection & {
        const QString path = folder->filePath(EmployeeMdb);
        createFreshDatabase(path);
        Connection &opened = *SqliteConnection::openExisting(path).release();
        addEmployee(opened, {Ann, QStringLiteral("7.5"), QString(), QString()});
        append(opened, Ann, QStringLiteral("2026-03-02 08:00:00"), QStringLiteral("Clocked In"));
        append(opened, Ann, QStringLiteral("2026-03-02 16:25:00"), QStringLiteral("Clocked Out"));
        return opened;
    }();
    return file;
}

// Everything a name reaches once it has a log: each either works on that log or is refused.
void useLog(Connection &file, const QString &name)
{
    append(file, name, QStringLiteral("2026-03-02 09:00:00"), QStringLiteral("Clocked In"));
    TimeLogModel grid(file, name);
    if (grid.rowCount() != 1)
        std::abort();
    grid.setData(grid.index(0, 3), QStringLiteral("edited"), Qt::EditRole);
    grid.setData(grid.index(0, 2), QStringLiteral("Clocked Out"), Qt::EditRole);
    loggedMinutes(file, name, Now);
    const QList<TimeLogRow> rows = readTimeLogRows(file, name);
    if (rows.size() != 1)
        std::abort();
    managerCard(QStringLiteral("Acme"), name, rows, Now, Now);
    userCard(QStringLiteral("Acme"), name, rows, false, Now);
    clearEventsBefore(file, name, Now);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Connection &file = shop();
    const QString before = others(file);
    const QString name = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    bool created = false;
    try {
        const bool existed = file.tableExists(name);
        try {
            created = addEmployee(file, {name, QStringLiteral("9"), QString(), QString()}) ==
                          AddOutcome::Added &&
                      !existed;
        } catch (const DbError &) {
            // A name the list refuses still reaches the log procedures through its own table.
            file.createTimeLog(name);
            created = true;
        }
        if (created) {
            useLog(file, name);
            deleteEmployee(file, name);
        }
    } catch (const DbError &) {
        // Refused as a whole: checked below like any other outcome.
    }
    try {
        if (created)
            Statement(file, QStringLiteral("DROP TABLE ") + quoteIdentifier(name)).run();
        Statement(file, QStringLiteral("DELETE FROM datalist WHERE ename = ?1 AND ename NOT IN "
                                       "('Manager', 'Ann')"))
            .bind(1, name)
            .run();
    } catch (const DbError &) {
        std::abort();
    }
    if (others(file) != before)
        std::abort();
    return 0;
}
