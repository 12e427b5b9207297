#include "clock/clocking.h"
#include "clock/session.h"
#include "db/cursor.h"
#include "db/database.h"
#include "db/datetimetext.h"
#include "db/employees.h"
#include "db/postgres.h"
#include "db/sqlite.h"
#include "db/timelog.h"
#include "db/timelogmodel.h"
#include "db/transfer.h"
#include "payday/backup.h"
#include "reports/totals.h"
#include "support/datafixture.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace horalink;

class DatabaseTest : public QObject
{
    Q_OBJECT

private slots:
    void freshFileHoldsManagerAndNoCompany();
    void openingNeverCreatesTheFile();
    void aFileThatIsNoDatabaseIsRefusedUntouched();
    void aCopysFileSwappedForALinkIsNeverWrittenThrough();
    void cursorReadsInStoredOrderAfterDeletesAndAppends();
    void fieldsMatchInAnyLetterCaseAndNullStaysNull();
    void findByNameIsExactAndSkipsNull();
    void flagsCountOnlyWhenOne_data();
    void flagsCountOnlyWhenOne();
    void hostileTableNamesAreQuoted_data();
    void hostileTableNamesAreQuoted();
    void valuesThatDoNotFitAreRefusedAndTheRowKept();
    void namesOfTheEnginesOwnObjectsReachOnlyTheirOwnLog_data();
    void namesOfTheEnginesOwnObjectsReachOnlyTheirOwnLog();
    void theGridsModelKeepsWhatEveryViewReliesOn();
};

void DatabaseTest::freshFileHoldsManagerAndNoCompany()
{
    DataFixture f;
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM datalist")).toInt(), 1);
    QCOMPARE(f.value(QStringLiteral("SELECT ename FROM datalist")).toString(),
             QStringLiteral("Manager"));
    QVERIFY(f.value(QStringLiteral("SELECT epass FROM datalist")).isNull());
    QVERIFY(!f.value(QStringLiteral("SELECT ewage FROM datalist")).isNull());
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM \"Company Data\"")).toInt(), 0);
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM \"Manager\"")).toInt(), 0);
    QCOMPARE(f.file().columnNames(QStringLiteral("Manager")),
             QStringList({"Ename", "datetime", "inoutfx", "activity"}));
}

void DatabaseTest::openingNeverCreatesTheFile()
{
    if (onServer())
        QSKIP("The file itself is the subject.");
    DataFixture f;
    QFile::remove(f.databasePath());
    try {
        openDatabase(EmployeeMdb);
        QFAIL("a missing file was opened");
    } catch (const DbError &error) {
        QVERIFY(error.description().contains(QStringLiteral("Employee.mdb")));
    }
    QVERIFY(!QFile::exists(f.databasePath()));
}

void DatabaseTest::aCopysFileSwappedForALinkIsNeverWrittenThrough()
{
    if (onServer())
        QSKIP("The file itself is the subject.");
    DataFixture f;
    const QString temporary = f.folder() + QStringLiteral("/copy.part");
    QVERIFY(QFile::link(f.databasePath(), temporary));
    const QByteArray before = [&] {
        QFile file(f.databasePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    try {
        const auto copy = SqliteConnection::openNewFile(temporary);
        copy->exec(QStringLiteral("CREATE TABLE \"main\".\"swapped\" (x)"));
        QFAIL("the link was followed");
    } catch (const DbError &) {
    }
    QFile file(f.databasePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void DatabaseTest::aFileThatIsNoDatabaseIsRefusedUntouched()
{
    if (onServer())
        QSKIP("The file itself is the subject.");
    DataFixture f;
    const QByteArray text = "Dear payroll, this is a letter, not a database.\n";
    {
        QFile file(f.databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    QVERIFY_THROWS_EXCEPTION(DbError, openDatabase(EmployeeMdb));
    QFile file(f.databasePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), text);
}

void DatabaseTest::cursorReadsInStoredOrderAfterDeletesAndAppends()
{
    DataFixture f;
    f.employee(QStringLiteral("Ann"));
    // A later row may carry an earlier date: stored order, not date order, counts.
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 09:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-01 17:00:00"),
            QStringLiteral("Clocked Out"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-03 09:00:00"),
            QStringLiteral("Clocked In"));

    QVERIFY(deleteLastEvent(f.file(), QStringLiteral("Ann")));
    f.event(QStringLiteral("Ann"), QStringLiteral("2020-01-01 00:00:00"),
            QStringLiteral("Clocked Out"));
    Cursor log;
    log.setRecordSource(QStringLiteral("Ann"));

    QStringList seen;
    log.refresh();
    while (!log.eof()) {
        seen << log.field(QStringLiteral("inoutfx")).toString();
        log.moveNext();
    }
    QCOMPARE(seen, QStringList({"Clocked In", "Clocked Out", "Clocked Out"}));
    log.moveLast();
    QCOMPARE(log.field(QStringLiteral("datetime")).toDateTime(),
             stamp(QStringLiteral("2020-01-01 00:00:00")));
    log.movePrevious();
    log.movePrevious();
    log.movePrevious();
    QVERIFY(log.bof());
    QVERIFY_THROWS_EXCEPTION(DbError, log.field(QStringLiteral("inoutfx")));
}

void DatabaseTest::fieldsMatchInAnyLetterCaseAndNullStaysNull()
{
    DataFixture f;
    f.company(QStringLiteral("Acme"));
    Cursor settings;
    settings.setRecordSource(QStringLiteral("Company Data"));
    settings.refresh();
    QCOMPARE(settings.field(QStringLiteral("Company")).toString(), QStringLiteral("Acme"));
    QCOMPARE(settings.field(QStringLiteral("COMPANY")).toString(), QStringLiteral("Acme"));
    QVERIFY(settings.field(QStringLiteral("edits")).isNull());
    QVERIFY_THROWS_EXCEPTION(DbError, settings.field(QStringLiteral("nosuchfield")));
}

void DatabaseTest::findByNameIsExactAndSkipsNull()
{
    DataFixture f;
    f.file().exec(QStringLiteral("INSERT INTO datalist (ename) VALUES (NULL)"));
    f.employee(QStringLiteral("ann"));
    f.employee(QStringLiteral("Ann "));
    Cursor list;
    list.setRecordSource(QStringLiteral("datalist"));
    list.refresh();
    QVERIFY(!findByName(list, QStringLiteral("ename"), QStringLiteral("Ann")));
    QVERIFY(!findByName(list, QStringLiteral("ename"), QString()));
    QVERIFY(findByName(list, QStringLiteral("ename"), QStringLiteral("Ann ")));
    QCOMPARE(list.field(QStringLiteral("ENAME")).toString(), QStringLiteral("Ann "));
}

void DatabaseTest::flagsCountOnlyWhenOne_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("on");
    QTest::newRow("1") << QVariant(1) << true;
    QTest::newRow("0") << QVariant(0) << false;
    QTest::newRow("2") << QVariant(2) << false;
    QTest::newRow("-1") << QVariant(-1) << false;
    QTest::newRow("Null") << QVariant() << false;
    QTest::newRow("text") << QVariant(QStringLiteral("yes")) << false;
}

void DatabaseTest::flagsCountOnlyWhenOne()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, on);
    QCOMPARE(isFlagOn(stored), on);
}

void DatabaseTest::hostileTableNamesAreQuoted_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("quote") << QStringLiteral("O\"Brien");
    QTest::newRow("apostrophe") << QStringLiteral("O'Brien");
    QTest::newRow("blanks and dot") << QStringLiteral(" J. Smith ");
    QTest::newRow("brackets") << QStringLiteral("[x]");
    QTest::newRow("injection") << QStringLiteral("a\";DROP TABLE x;--");
    QTest::newRow("line feed") << QStringLiteral("\nDROP TABLE Ann;--");
    QTest::newRow("markers") << QStringLiteral("%1%L2");
}

void DatabaseTest::hostileTableNamesAreQuoted()
{
    QFETCH(QString, name);
    DataFixture f;
    f.employee(QStringLiteral("Ann"));
    f.employee(name);
    f.event(name, QStringLiteral("2026-03-02 09:00:00"), QStringLiteral("Clocked In"));
    QVERIFY(f.file().tableExists(QStringLiteral("Ann")));
    Cursor log;
    log.setRecordSource(name);
    log.refresh();
    QCOMPARE(log.field(QStringLiteral("inoutfx")).toString(), QStringLiteral("Clocked In"));
    QVERIFY(f.file().tableExists(QStringLiteral("datalist")));
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM datalist")).toInt(), 3);
    // Text joined from a name is one statement or none: refused before anything of it runs
    // (a server prepares a text with its first run).
    QVERIFY_THROWS_EXCEPTION(
        DbError, Statement(f.file(), QStringLiteral("SELECT 1; DROP TABLE datalist")).step());
    QVERIFY(f.file().tableExists(QStringLiteral("datalist")));
    QVERIFY_THROWS_EXCEPTION(DbError, f.file().createTimeLog(QString()));
    QVERIFY_THROWS_EXCEPTION(DbError, f.file().createTimeLog(QStringLiteral("a") + QChar(0)));
}

void DatabaseTest::valuesThatDoNotFitAreRefusedAndTheRowKept()
{
    DataFixture f;
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), {.stamp = QStringLiteral("2026-03-02 09:00:00"),
                                    .status = QStringLiteral("Clocked In"),
                                    .activity = QStringLiteral("desk")});
    Cursor log;
    log.setRecordSource(QStringLiteral("Ann"));
    log.refresh();
    try {
        log.writeTyped({{QStringLiteral("activity"), QString(31, QLatin1Char('x'))}});
        QFAIL("a 31-character task was stored");
    } catch (const BoundEditRefused &error) {
        QCOMPARE(error.field(), QStringLiteral("activity"));
        QVERIFY2(
            error.description().contains(QStringLiteral("activity holds at most 30 characters")),
            qPrintable(error.description()));
    }
    QCOMPARE(f.log(QStringLiteral("Ann")).first().activity.toString(), QStringLiteral("desk"));
    QVERIFY_THROWS_EXCEPTION(DbError, f.event(QStringLiteral("Ann"), QStringLiteral("yesterday"),
                                              QStringLiteral("Clocked Out")));
    QCOMPARE(f.log(QStringLiteral("Ann")).size(), 1);
}

namespace {

// Rows of the server's own catalog that a statement reaching it instead of an employee's log
// would change, those of the objects the server was made with (the others come and go with
// the tests running beside); on the file, nothing of the kind.
qint64 catalogRows(Connection &connection)
{
    if (!onServer())
        return 0;
    Statement count(connection, QStringLiteral("SELECT (SELECT count(*) FROM "
                                               "pg_catalog.pg_constraint WHERE oid < 16384) + "
                                               "(SELECT count(*) FROM pg_catalog.pg_description "
                                               "WHERE objoid < 16384)"));
    count.step();
    return count.integer(0);
}

} // namespace

void DatabaseTest::namesOfTheEnginesOwnObjectsReachOnlyTheirOwnLog_data()
{
    QTest::addColumn<QString>("name");
    // Added as the manager would: the engines' functions and schemas are no tables.
    QTest::addColumn<bool>("added");
    QTest::newRow("the file's column reader") << "pragma_table_info" << true;
    QTest::newRow("the same in capitals") << "PRAGMA_TABLE_INFO" << true;
    QTest::newRow("a function of tables") << "json_each" << true;
    QTest::newRow("the file's schema") << "main" << true;
    QTest::newRow("the temporary schema") << "temp" << true;
    // Listed by an older version, which did not refuse the server's catalog names.
    QTest::newRow("catalog comments") << "pg_description" << false;
    QTest::newRow("catalog checks") << "pg_constraint" << false;
    QTest::newRow("catalog tables") << "pg_class" << false;
}

// Each name's log is its own through every procedure, and the copies of the database carry
// it; the catalog, the list and the other logs stay as they were.
void DatabaseTest::namesOfTheEnginesOwnObjectsReachOnlyTheirOwnLog()
{
    QFETCH(QString, name);
    QFETCH(bool, added);
    if (!added && !onServer())
        QSKIP("The file never had tables of these names.");
    DataFixture f;
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 07:00:00"), ClockedIn);
    Connection &clock = openDatabase(EmployeeMdb);
    const qint64 catalog = catalogRows(f.file());
    QVERIFY(catalog > 0 || !onServer());
    if (added)
        QCOMPARE(addEmployee(clock, {name, QStringLiteral("10"), {}, {}}), AddOutcome::Added);
    else
        f.employee(name);
    QVERIFY(hasTimeLog(clock, name));

    const Session session{name, QStringLiteral("10")};
    f.setNow(QStringLiteral("2026-03-02 09:00:00"));
    QCOMPARE(clockIn(clock, session, QStringLiteral("desk"), f.clock.current),
             ClockOutcome::Stored);
    Cursor log;
    log.setRecordSource(name);
    log.refresh();
    QCOMPARE(log.field(QStringLiteral("activity")).toString(), QStringLiteral("desk"));
    {
        TimeLogModel grid(clock, name);
        QCOMPARE(grid.rowCount(), 1);
        QVERIFY(grid.setData(grid.index(0, 3), QStringLiteral("bench"), Qt::EditRole));
    }
    f.setNow(QStringLiteral("2026-03-02 11:30:00"));
    QCOMPARE(clockOut(clock, session, f.clock.current), ClockOutcome::Stored);
    QCOMPARE(loggedMinutes(clock, name, f.clock.current).minutes, 150.0f);
    QCOMPARE(f.statuses(name), QStringList({ClockedIn, ClockedOut}));

    const QString copies = f.folder() + QStringLiteral("/copies");
    QVERIFY(QDir().mkpath(copies));
    const WriteOutcome backup = backupDatabase(clock, copies, f.clock.current);
    QVERIFY2(backup.result == WriteOutcome::Result::Written, qPrintable(backup.failure));
    if (onServer())
        QVERIFY(copyServerToFile(dynamic_cast<PgConnection &>(clock),
                                 copies + QStringLiteral("/dump.mdb")));

    deleteEmployee(clock, name);
    QVERIFY(f.log(name).isEmpty());
    QCOMPARE(f.statuses(QStringLiteral("Ann")), QStringList({ClockedIn}));
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM datalist")).toInt(), 2);
    QCOMPARE(catalogRows(f.file()), catalog);
}

// Views trust a model's counts, indexes, flags and signals; the grid's must keep them while it
// reads page after page, takes and refuses edits, and reads a changed log again.
void DatabaseTest::theGridsModelKeepsWhatEveryViewReliesOn()
{
    DataFixture f;
    f.employee(QStringLiteral("Ann"));
    // More than two pages of the grid.
    const int events = 600;
    QDateTime when = stamp(QStringLiteral("2026-01-01 08:00:00"));
    for (int i = 0; i < events; ++i, when = when.addSecs(4 * 3600))
        f.event(QStringLiteral("Ann"),
                {.stamp = storedStamp(when),
                 .status = i % 2 ? ClockedOut : ClockedIn,
                 .activity = i % 2 ? QVariant() : QVariant(QStringLiteral("desk"))});
    Connection &clock = openDatabase(EmployeeMdb);
    TimeLogModel grid(clock, QStringLiteral("Ann"));
    QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
    // The pages are fetched here, as a view fetches them, not from within the tester's checks.
    tester.setUseFetchMore(false);
    while (grid.canFetchMore({}))
        grid.fetchMore({});
    QCOMPARE(grid.rowCount(), events);

    QVERIFY(grid.setData(grid.index(events - 1, 3), QStringLiteral("bench"), Qt::EditRole));
    QVERIFY(grid.setData(grid.index(0, 1), QStringLiteral("2025-12-31 23:00"), Qt::EditRole));
    QVERIFY(!grid.setData(grid.index(1, 2), QStringLiteral("out"), Qt::EditRole));
    QVERIFY(!grid.setData(grid.index(2, 1), QStringLiteral("noon"), Qt::EditRole));
    QCOMPARE(grid.index(events - 1, 3).data().toString(), QStringLiteral("bench"));

    // The clock's own clock-in is read again, the rows shown so far with it.
    const Session ann{QStringLiteral("Ann"), QStringLiteral("10")};
    QCOMPARE(clockIn(clock, ann, QStringLiteral("desk"), when), ClockOutcome::Stored);
    grid.refreshIfChanged();
    QCOMPARE(grid.rowCount(), events + 1);

    // Another clock removes what the grid shows; the edit is refused and the grid reads the
    // log as it is.
    Statement(f.file(), QStringLiteral("DELETE FROM \"Ann\" WHERE rowid > 10")).run();
    QVERIFY(!grid.setData(grid.index(events, 3), QStringLiteral("stale"), Qt::EditRole));
    QCOMPARE(grid.rowCount(), 10);
}

QTEST_MAIN(DatabaseTest)
#include "test_database.moc"
