// Any text typed as an employee's name goes through adding, the grid, the totals, both time
// cards, a backup, a dump and deleting, against a real Employee.mdb, or against a schema of its
// own on the server that HORALINK_TEST_SERVER names. Whatever the name, the other employees'
// logs, the employee list and the server's catalog stay exactly as they were, and a database
// that took the name can still be copied whole.
#include "db/database.h"
#include "db/employees.h"
#include "db/postgres.h"
#include "db/roster.h"
#include "db/sqlite.h"
#include "db/timelogmodel.h"
#include "db/timelogrows.h"
#include "db/transfer.h"
#include "payday/backup.h"
#include "reports/card.h"
#include "reports/totals.h"

#include <cstdlib>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

using namespace horalink;

namespace {

const QString Ann = QStringLiteral("Ann");
// Deleted when the shop opens: its emptied log waits for a later employee of exactly its name.
const QString Gone = QStringLiteral("Gone");
const QDateTime Now(QDate(2026, 3, 2), QTime(17, 30, 10), Qt::UTC);

void append(Connection &db, const QString &table, const QString &stamp, const QString &status)
{
    Statement insert(db, QStringLiteral("INSERT INTO ") + db.quotedTable(table) +
                             QStringLiteral(" (\"Ename\", \"datetime\", \"inoutfx\", "
                                            "\"activity\") VALUES (?1, ?2, ?3, ' ')"));
    insert.bind(1, table).bind(2, stamp).bind(3, status).run();
}

QString rowsOf(Connection &db, const QString &sql)
{
    Statement read(db, sql);
    QString seen;
    while (read.step()) {
        for (int i = 0; i < read.columnCount(); ++i)
            seen += read.value(i).toString() + QLatin1Char('/');
        seen += QLatin1Char('|');
    }
    return seen;
}

// Everything that must never change: the list, the logs of Manager, Ann and Gone, and on a
// server the rows of its catalog that a statement missing its table would reach.
QString others(Connection &db, bool server)
{
    QString seen = rowsOf(db, QStringLiteral("SELECT ename, epass, ewage, ecomment FROM ") +
                                  db.quotedTable(EmployeeList) + QStringLiteral(" ORDER BY rowid"));
    seen += rowsOf(db, QStringLiteral("SELECT \"datetime\", \"inoutfx\" FROM ") +
                           db.quotedTable(Ann) + QStringLiteral(" ORDER BY rowid"));
    for (const QString &table : {ManagerName, Gone})
        seen += rowsOf(db, QStringLiteral("SELECT count(*) FROM ") + db.quotedTable(table));
    if (server)
        seen += rowsOf(db, QStringLiteral("SELECT (SELECT count(*) FROM pg_catalog.pg_constraint), "
                                          "(SELECT count(*) FROM pg_catalog.pg_description), "
                                          "(SELECT count(*) FROM pg_catalog.pg_class)"));
    return seen;
}

struct Shop
{
    QTemporaryDir folder;
    std::unique_ptr<Connection> db;
    PgConnection *server = nullptr;
};

std::unique_ptr<Connection> openServerSchema(PgConnection *&server)
{
    const QString admin = qEnvironmentVariable("HORALINK_TEST_SERVER");
    const QString schema =
        QStringLiteral("fuzz_names_") + QString::number(QCoreApplication::applicationPid());
    PgConnection::open(admin)->exec(QStringLiteral("CREATE SCHEMA ") + quoteIdentifier(schema));
    auto opened = PgConnection::open(admin + QStringLiteral(" options='-csearch_path=") + schema +
                                     QLatin1Char('\''));
    initServerDatabase(*opened);
    server = opened.get();
    return opened;
}

Shop &shop()
{
    static Shop *opened = [] {
        static int argc = 1;
        static char name[] = "fuzz_names";
        static char *argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
        auto *made = new Shop;
        if (qEnvironmentVariableIsEmpty("HORALINK_TEST_SERVER")) {
            const QString path = made->folder.filePath(EmployeeMdb);
            createFreshDatabase(path);
            made->db = SqliteConnection::openExisting(path);
        } else {
            made->db = openServerSchema(made->server);
        }
        Connection &db = *made->db;
        addEmployee(db, {Ann, QStringLiteral("7.5"), QString(), QString()});
        append(db, Ann, QStringLiteral("2026-03-02 08:00:00"), QStringLiteral("Clocked In"));
        append(db, Ann, QStringLiteral("2026-03-02 16:25:00"), QStringLiteral("Clocked Out"));
        addEmployee(db, {Gone, QStringLiteral("8"), QString(), QString()});
        deleteEmployee(db, Gone);
        return made;
    }();
    return *opened;
}

// Everything a name reaches once it has a log: each either works on that log or is refused.
void useLog(Connection &db, const QString &name)
{
    append(db, name, QStringLiteral("2026-03-02 09:00:00"), QStringLiteral("Clocked In"));
    TimeLogModel grid(db, name);
    if (grid.rowCount() != 1)
        std::abort();
    grid.setData(grid.index(0, 3), QStringLiteral("edited"), Qt::EditRole);
    grid.setData(grid.index(0, 2), QStringLiteral("Clocked Out"), Qt::EditRole);
    loggedMinutes(db, name, Now);
    const QList<TimeLogRow> rows = readTimeLogRows(db, name);
    if (rows.size() != 1)
        std::abort();
    managerCard(QStringLiteral("Acme"), name, rows, Now, Now);
    userCard(QStringLiteral("Acme"), name, rows, false, Now);
    clearEventsBefore(db, name, Now);
}

// A database that took a name is backed up, and a server's is dumped into a file, whole.
void copyWhole(Shop &shop)
{
    const QString copies = shop.folder.filePath(QStringLiteral("copies"));
    if (!QDir().mkpath(copies))
        std::abort();
    try {
        if (backupDatabase(*shop.db, copies, Now).result != WriteOutcome::Result::Written)
            std::abort();
        if (shop.server && !copyServerToFile(*shop.server, copies + QStringLiteral("/dump.mdb")))
            std::abort();
    } catch (const DbError &) {
        std::abort();
    }
    if (!QDir(copies).removeRecursively())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Shop &opened = shop();
    Connection &db = *opened.db;
    const bool server = opened.server != nullptr;
    const QString before = others(db, server);
    const QString name = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    bool created = false;
    try {
        const bool existed = db.tableExists(name);
        bool listed = false;
        try {
            listed = addEmployee(db, {name, QStringLiteral("9"), QString(), QString()}) ==
                     AddOutcome::Added;
            created = listed && !existed;
        } catch (const DbError &) {
            // A name the list refuses still reaches the log procedures through its own table.
            db.createTimeLog(name);
            created = true;
        }
        if (listed)
            copyWhole(opened);
        if (created) {
            useLog(db, name);
            deleteEmployee(db, name);
        }
    } catch (const DbError &) {
        // Refused as a whole: checked below like any other outcome.
    }
    try {
        if (created)
            Statement(db, QStringLiteral("DROP TABLE ") + db.quotedTable(name)).run();
        Statement(db, QStringLiteral("DELETE FROM ") + db.quotedTable(EmployeeList) +
                          QStringLiteral(" WHERE ename = ?1 AND ename NOT IN ('Manager', 'Ann')"))
            .bind(1, name)
            .run();
    } catch (const DbError &) {
        std::abort();
    }
    if (others(db, server) != before)
        std::abort();
    return 0;
}
