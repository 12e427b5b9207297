#include "clock/clocking.h"
#include "clock/session.h"
#include "db/database.h"
#include "db/employees.h"
#include "db/postgres.h"
#include "db/settings.h"
#include "db/sqlite.h"
#include "db/timelog.h"
#include "db/timelogmodel.h"
#include "db/transfer.h"
#include "support/fixture.h"
#include "ui/program.h"

#include <functional>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace horalink;

// What only the server brings: statement text as it reads it, the moves of a whole database
// between the file and a server, and a connection lost in the middle of a session.
class ServerTest : public QObject
{
    Q_OBJECT

private slots:
    void whatIsReadAheadIsOnlyReadAndReadAfterTheActionsWrites();
    void aClocksActionsWaitForTheServerAtMostTwice();
    void placeholdersAreNumberedOutsideQuotesAndComments_data();
    void placeholdersAreNumberedOutsideQuotesAndComments();
    void namesLongerThanTheServerKeepsAreRefused();
    void aFileMovesToTheServerAndBackWhole();
    void aFileWithATableOfOtherDataIsNotMoved();
    void aFileMadeBeforeTheSignoffSwitchMovesWithItOff();
    void aSwitchColumnAddedByAnotherClockIsReadThere();
    void aLostConnectionFailsOneActionAndTheNextConnects();
    void aConnectionLostInATransactionWritesNothing();
    void noStatementOfATransactionGoesOnAfterItsConnectionWasLost();
    void aSessionEndedAtAnyCommandOfAClockInLeavesNothingBehind();
    void aSessionEndedAtAnyCommandOfADumpLeavesNothingBehind();
    void namesOneInAFileAreNotDumped();
    void aSessionEndedAtAnyCommandOfADeleteLastKeepsEventAndEntryTogether();
    void aSessionEndedAtAnyCommandOfAGridEditKeepsCellAndEntryTogether();
};

namespace {

// Names a user may type that reach SQL text: a line break, a % marker, quotes, a comma,
// accented and look-alike letters (a Cyrillic A), and four-byte letters near the server's
// 63-byte limit.
const QStringList StrangeNames = {
    QStringLiteral("x\ny"),
    QStringLiteral("50% %1"),
    QStringLiteral("O'Brien \"Bo\""),
    QStringLiteral("Smith, Ann"),
    QStringLiteral("Zo\u00eb"),
    QStringLiteral("\u0410nn"),
    QString(15, QChar(0xD83D)).replace(QString(QChar(0xD83D)), QStringLiteral("\U0001F600")),
};

// Every table, its fields and its rows in stored order, as text.
QStringList contentOf(Connection &connection)
{
    QStringList out;
    for (const QString &table : connection.tableNames()) {
        const QStringList fields = connection.columnNames(table);
        out << table + QStringLiteral(": ") + fields.join(u',');
        Statement rows(connection, QStringLiteral("SELECT ") + quotedList(fields) +
                                       QStringLiteral(" FROM ") + quoteIdentifier(table) +
                                       QStringLiteral(" ORDER BY rowid"));
        while (rows.step()) {
            QStringList values;
            for (int i = 0; i < fields.size(); ++i)
                values << (rows.isNull(i) ? QStringLiteral("<null>") : rows.value(i).toString());
            out << QStringLiteral("  ") + values.join(u'|');
        }
    }
    return out;
}

void insertEvent(Connection &connection, const QString &table, const QVariant &stamp,
                 const QString &status, const QVariant &task)
{
    Statement insert(connection, QStringLiteral("INSERT INTO ") + quoteIdentifier(table) +
                                     QStringLiteral(" (\"Ename\", \"datetime\", inoutfx, "
                                                    "activity) VALUES (?1, ?2, ?3, ?4)"));
    insert.bind(1, table).bind(2, stamp).bind(3, status).bind(4, task).run();
}

// Lists an employee as an older file may have, without the program's refusals of names.
void listEmployee(Connection &connection, const QString &name)
{
    Statement insert(connection, QStringLiteral("INSERT INTO datalist (ename, epass, ewage, "
                                                "ecomment) VALUES (?1, NULL, '12.50', ?2)"));
    insert.bind(1, name).bind(2, QStringLiteral("note\r\n")).run();
    connection.createTimeLog(name);
}

// A file that holds everything a move must carry: strange names with their logs, an event
// without a stamp, a deleted employee's kept log, the company and its switches.
std::unique_ptr<Connection> strangeFile(const QString &path)
{
    createFreshDatabase(path);
    auto file = SqliteConnection::openExisting(path);
    Statement(*file, QStringLiteral("INSERT INTO \"Company Data\" (company, edits, money, subs, "
                                    "signoff) VALUES ('Acme, \"Tools\"', 1, 0, NULL, 1)"))
        .run();
    int day = 1;
    for (const QString &name : StrangeNames) {
        listEmployee(*file, name);
        const QString date = QStringLiteral("2026-03-%1 ").arg(day++, 2, 10, QLatin1Char('0'));
        insertEvent(*file, name, date + QStringLiteral("08:00:00"), ClockedIn, name);
        insertEvent(*file, name, date + QStringLiteral("16:30:59"), ClockedOut, {});
    }
    insertEvent(*file, QStringLiteral("Zo\u00eb"), {}, ClockedIn, QStringLiteral(" "));
    listEmployee(*file, QStringLiteral("Gone"));
    insertEvent(*file, QStringLiteral("Gone"), QStringLiteral("2026-02-01 09:00:00"), ClockedIn,
                {});
    Statement(*file, QStringLiteral("DELETE FROM datalist WHERE ename = 'Gone'")).run();
    return file;
}

// Ends the connection's session on the server, as a restarted server or a cut cable would.
void cut(Connection &connection)
{
    Statement session(connection, QStringLiteral("SELECT pg_backend_pid()"));
    QVERIFY(session.step());
    auto admin = PgConnection::open(qEnvironmentVariable("HORALINK_TEST_SERVER"));
    Statement end(*admin, QStringLiteral("SELECT pg_terminate_backend(?1)"));
    end.bind(1, session.integer(0)).run();
}

// Runs the action once for every command it sends, the clock's session ended just before that
// command (the first run before the first command, and so on), until a run in which the action
// sends no command so late. After each run the action is tried again and must succeed, as it
// would after the cable is plugged in again: a failure leaves no state behind. Returns the
// runs that were cut.
int cutAtEachCommand(PgConnection &clock, const std::function<void()> &action,
                     const std::function<void()> &afterCut)
{
    auto admin = PgConnection::open(qEnvironmentVariable("HORALINK_TEST_SERVER"));
    for (int at = 1;; ++at) {
        // The first statement after a cut connects again.
        Statement session(clock, QStringLiteral("SELECT pg_backend_pid()"));
        if (!session.step())
            return -1;
        const qint64 pid = session.integer(0);
        int sent = 0;
        bool cut = false;
        clock.setBeforeCommand([&] {
            if (++sent != at)
                return;
            cut = true;
            Statement end(*admin, QStringLiteral("SELECT pg_terminate_backend(?1, 10000)"));
            end.bind(1, pid).run();
        });
        try {
            action();
        } catch (const DbError &error) {
            clock.setBeforeCommand({});
            if (!cut || error.number() != dberr::ConnectionLost)
                throw;
        }
        clock.setBeforeCommand({});
        if (!cut)
            return at - 1;
        afterCut();
    }
}

// Ann signed on at the program's clock, without the task prompt: the buttons clock at once.
void signOnAnnAtAClock(Fixture &f)
{
    f.company();
    f.setFlag(QStringLiteral("subs"), 1);
    f.employee(QStringLiteral("Ann"));
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
}

} // namespace

void ServerTest::placeholdersAreNumberedOutsideQuotesAndComments_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QByteArray>("read");
    QTest::newRow("numbered") << "SELECT a FROM t WHERE b = ?2 AND c = ?1"
                              << QByteArray("SELECT a FROM t WHERE b = $2 AND c = $1");
    QTest::newRow("bare, after the highest") << "UPDATE t SET a = ?3, b = ? WHERE rowid = ?"
                                             << QByteArray("UPDATE t SET a = $3, b = $4 WHERE "
                                                           "rowid = $5");
    QTest::newRow("in quoted text and names")
        << "SELECT 'it''s ?1', \"wh?\"\"o\" FROM t WHERE a = ?"
        << QByteArray("SELECT 'it''s ?1', \"wh?\"\"o\" FROM t WHERE a = $1");
    QTest::newRow("in comments") << "SELECT ? -- ?9\n, /* ?8 */ ?"
                                 << QByteArray("SELECT $1 -- ?9\n, /* ?8 */ $2");
    QTest::newRow("a name ending the text") << "SELECT \"a?" << QByteArray("SELECT \"a?");
}

void ServerTest::placeholdersAreNumberedOutsideQuotesAndComments()
{
    QFETCH(QString, sql);
    QFETCH(QByteArray, read);
    QCOMPARE(serverSql(sql), read);
}

void ServerTest::namesLongerThanTheServerKeepsAreRefused()
{
    const QString longest = QString(63, QLatin1Char('a'));
    QCOMPARE(serverSql(quoteIdentifier(longest)), quoteIdentifier(longest).toUtf8());
    QVERIFY_THROWS_EXCEPTION(DbError, serverSql(quoteIdentifier(longest + QLatin1Char('a'))));
    // Sixteen letters of four bytes each, though the employee list takes twenty letters.
    QVERIFY_THROWS_EXCEPTION(
        DbError, serverSql(quoteIdentifier(StrangeNames.last() + QStringLiteral("\U0001F600"))));
    QVERIFY_THROWS_EXCEPTION(DbError, serverSql(quoteIdentifier(QString(32, QChar(0xe9)))));
}

void ServerTest::aFileMovesToTheServerAndBackWhole()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    const QString path = f.folder() + QStringLiteral("/strange.mdb");
    const auto file = strangeFile(path);
    const QStringList content = contentOf(*file);
    ServerSchema empty(ServerSchema::Tables::None);
    const auto server = PgConnection::open(empty.connectionString());

    copyFileToServer(*file, *server);
    QCOMPARE(contentOf(*server), content);
    QVERIFY_THROWS_EXCEPTION(DbError, copyFileToServer(*file, *server));
    QVERIFY_THROWS_EXCEPTION(DbError, initServerDatabase(*server));
    QCOMPARE(contentOf(*server), content);

    const QString dumped = f.folder() + QStringLiteral("/dumped.mdb");
    QVERIFY(copyServerToFile(*server, dumped));
    QCOMPARE(contentOf(*SqliteConnection::openExisting(dumped)), content);
    QFile::remove(dumped);
    QVERIFY(!copyServerToFile(*server, dumped, [](int copied, int) { return copied < 3; }));
    QVERIFY(!QFile::exists(dumped));
    QCOMPARE(QDir(f.folder()).entryList({QStringLiteral("*.part")}, QDir::Files), QStringList());
    QVERIFY_THROWS_EXCEPTION(DbError, copyServerToFile(*server, path));
    QCOMPARE(contentOf(*SqliteConnection::openExisting(path)), content);
}

void ServerTest::aFileWithATableOfOtherDataIsNotMoved()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    const QString path = f.folder() + QStringLiteral("/other.mdb");
    const auto file = strangeFile(path);
    file->exec(QStringLiteral("CREATE TABLE \"Notes\" (\"text\" TEXT)"));
    ServerSchema empty(ServerSchema::Tables::None);
    const auto server = PgConnection::open(empty.connectionString());
    try {
        copyFileToServer(*file, *server);
        QFAIL("a file with a table of other data was moved");
    } catch (const DbError &error) {
        QVERIFY2(error.description().contains(QStringLiteral("'Notes'")),
                 qPrintable(error.description()));
    }
    QCOMPARE(server->tableNames(), QStringList());
}

void ServerTest::aFileMadeBeforeTheSignoffSwitchMovesWithItOff()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    const QString path = f.folder() + QStringLiteral("/older.mdb");
    const auto file = strangeFile(path);
    file->exec(QStringLiteral("ALTER TABLE \"Company Data\" DROP COLUMN signoff"));
    ServerSchema empty(ServerSchema::Tables::None);
    const auto server = PgConnection::open(empty.connectionString());

    copyFileToServer(*file, *server);
    QCOMPARE(readSwitches(*server), (Switches{true, false, false, false}));
    QCOMPARE(*readCompany(*server), QStringLiteral("Acme, \"Tools\""));
    storeSwitch(*file, Switch::Signoff, true);
    QCOMPARE(readSwitches(*file), (Switches{true, false, false, true}));
}

void ServerTest::aSwitchColumnAddedByAnotherClockIsReadThere()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    ServerSchema schema;
    const auto office = PgConnection::open(schema.connectionString());
    // A server set up before the sign-off switch, which the shop's clock starts on.
    office->exec(QStringLiteral("ALTER TABLE \"Company Data\" DROP COLUMN signoff"));
    const auto shop = PgConnection::open(schema.connectionString());
    storeCompany(*office, QStringLiteral("Acme"));
    QCOMPARE(readSwitches(*shop), Switches());
    QCOMPARE(*readCompany(*shop), QStringLiteral("Acme"));

    storeSwitch(*office, Switch::Signoff, true);
    QCOMPARE(readSwitches(*shop), (Switches{false, false, false, true}));
    QCOMPARE(*readCompany(*shop), QStringLiteral("Acme"));
    storeSwitch(*shop, Switch::Signoff, false);
    QCOMPARE(readSwitches(*office), Switches());
}

void ServerTest::aLostConnectionFailsOneActionAndTheNextConnects()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    signOnAnnAtAClock(f);
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:00:00"), ClockedIn);
    f.takeBoxes();

    cut(openDatabase(EmployeeMdb));
    f.click(QStringLiteral("dltlast"));
    const QList<Box> boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].icon, Icon::Exclamation);
    QVERIFY2(boxes[0].text.contains(QStringLiteral("was lost")), qPrintable(boxes[0].text));
    QVERIFY(!programEnded());
    QCOMPARE(f.statuses(QStringLiteral("Ann")), QStringList({"Clocked In"}));

    f.click(QStringLiteral("dltlast"));
    QCOMPARE(f.takeBoxes(), QList<Box>());
    QVERIFY(f.log(QStringLiteral("Ann")).isEmpty());
}

void ServerTest::aConnectionLostInATransactionWritesNothing()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    f.employee(QStringLiteral("Ann"));
    Connection &clock = openDatabase(EmployeeMdb);
    {
        Transaction transaction(clock, QStringLiteral("Ann"));
        insertEvent(clock, QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:00:00"), ClockedIn,
                    {});
        cut(clock);
        // The rest of the transaction must not go on in a new session, written alone.
        QVERIFY_THROWS_EXCEPTION(DbError, insertEvent(clock, QStringLiteral("Ann"),
                                                      QStringLiteral("2026-03-02 12:00:00"),
                                                      ClockedOut, {}));
        try {
            transaction.commit();
            QFAIL("a transaction on a lost connection was committed");
        } catch (const DbError &error) {
            QCOMPARE(error.number(), dberr::ConnectionLost);
        }
    }
    QVERIFY(f.log(QStringLiteral("Ann")).isEmpty());
    insertEvent(clock, QStringLiteral("Ann"), QStringLiteral("2026-03-02 13:00:00"), ClockedIn, {});
    QCOMPARE(f.stamps(QStringLiteral("Ann")), QStringList({"2026-03-02 13:00:00"}));
}

// The statement that meets the loss is not the last the procedure sends: each one after it in
// the same transaction must fail as well, not connect again and be stored alone.
void ServerTest::noStatementOfATransactionGoesOnAfterItsConnectionWasLost()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    f.employee(QStringLiteral("Ann"));
    Connection &clock = openDatabase(EmployeeMdb);
    const auto lost = [](const std::function<void()> &statement) {
        try {
            statement();
        } catch (const DbError &error) {
            return error.number() == dberr::ConnectionLost;
        }
        return false;
    };
    {
        Transaction transaction(clock, QStringLiteral("Ann"));
        insertEvent(clock, QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:00:00"), ClockedIn,
                    {});
        cut(clock);
        QVERIFY(lost([&] {
            insertEvent(clock, QStringLiteral("Ann"), QStringLiteral("2026-03-02 12:00:00"),
                        ClockedOut, {});
        }));
        QVERIFY(lost([&] {
            insertEvent(clock, QStringLiteral("Ann"), QStringLiteral("2026-03-02 13:00:00"),
                        ClockedIn, {});
        }));
        QVERIFY(lost([&] { lastStatus(clock, QStringLiteral("Ann")); }));
        QVERIFY(lost([&] { transaction.commit(); }));
    }
    QVERIFY(f.log(QStringLiteral("Ann")).isEmpty());
    QCOMPARE(clockIn(clock, {QStringLiteral("Ann"), QStringLiteral("10")}, {},
                     stamp(QStringLiteral("2026-03-02 14:00:00"))),
             ClockOutcome::Stored);
    QCOMPARE(f.stamps(QStringLiteral("Ann")), QStringList({"2026-03-02 14:00:00"}));
}

void ServerTest::whatIsReadAheadIsOnlyReadAndReadAfterTheActionsWrites()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    f.employee(QStringLiteral("Ann"));
    auto &clock = dynamic_cast<PgConnection &>(openDatabase(EmployeeMdb));
    const auto count = [&] {
        Statement rows(clock, QStringLiteral("SELECT count(*) FROM \"Ann\""));
        rows.step();
        return rows.integer(0);
    };
    // The same action again and again: a read, a write outside a transaction, the read again.
    // Learnt, the reads come ahead; the write must not come with them, and the second read
    // must see it.
    for (int round = 1; round <= 4; ++round) {
        clock.actionBegins(QStringLiteral("count"));
        QCOMPARE(count(), round - 1);
        insertEvent(clock, QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:00:00"), ClockedIn,
                    {});
        QCOMPARE(count(), round);
        QCOMPARE(count(), round);
    }
    QCOMPARE(f.log(QStringLiteral("Ann")).size(), 4);
}

void ServerTest::aClocksActionsWaitForTheServerAtMostTwice()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    signOnAnnAtAClock(f);
    auto &clock = dynamic_cast<PgConnection &>(openDatabase(EmployeeMdb));
    const auto waits = [&](const QString &control) {
        const qint64 before = clock.roundTrips();
        f.click(control);
        return clock.roundTrips() - before;
    };
    // The first round prepares the statements and learns what each action reads. A refused
    // clock-out asks why after its append found it was not its turn.
    for (int round = 0; round < 3; ++round) {
        const qint64 clockingIn = waits(QStringLiteral("clockin"));
        const qint64 clockingOut = waits(QStringLiteral("clockout"));
        const qint64 refused = waits(QStringLiteral("clockout"));
        const QList<Box> boxes = f.takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.first().text, QStringLiteral("You must first Clock In."));
        waits(QStringLiteral("clockin"));
        const qint64 deleting = waits(QStringLiteral("dltlast"));
        if (round > 0) {
            const QList<std::pair<const char *, qint64>> counts = {{"clock-in", clockingIn},
                                                                   {"clock-out", clockingOut},
                                                                   {"refusal", refused},
                                                                   {"Delete Last", deleting}};
            for (const auto &[action, count] : counts)
                QVERIFY2(count <= 2,
                         qPrintable(action + QStringLiteral(": ") + QString::number(count)));
        }
    }
    QCOMPARE(f.statuses(QStringLiteral("Ann")),
             QStringList({ClockedIn, ClockedOut, ClockedIn, ClockedOut, ClockedIn, ClockedOut}));
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM \"Horalink change history\" WHERE kind "
                                    "= 'deleted last'"))
                 .toInt(),
             3);
}

void ServerTest::aSessionEndedAtAnyCommandOfAClockInLeavesNothingBehind()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    f.employee(QStringLiteral("Ann"));
    auto &clock = dynamic_cast<PgConnection &>(openDatabase(EmployeeMdb));
    const Session ann{QStringLiteral("Ann"), QStringLiteral("10")};
    bool stored = false;
    const int cuts = cutAtEachCommand(
        clock,
        [&] {
            stored = clockIn(clock, ann, QStringLiteral("desk"), f.clock.current) ==
                     ClockOutcome::Stored;
        },
        [&] {
            // Nothing of the cut clock-in is kept, and the next one is stored whole.
            QCOMPARE(f.log(QStringLiteral("Ann")).size(), 0);
            QCOMPARE(clockIn(clock, ann, QStringLiteral("desk"), f.clock.current),
                     ClockOutcome::Stored);
            QCOMPARE(f.statuses(QStringLiteral("Ann")), QStringList({ClockedIn}));
            clearTimeLog(clock, QStringLiteral("Ann"));
        });
    // BEGIN, LOCK TABLE, the append that checks the last event, and COMMIT at least; the
    // table check goes once the table is known.
    QVERIFY2(cuts >= 4, qPrintable(QString::number(cuts)));
    QVERIFY(stored);
    QCOMPARE(f.statuses(QStringLiteral("Ann")), QStringList({ClockedIn}));
}

void ServerTest::aSessionEndedAtAnyCommandOfADumpLeavesNothingBehind()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:00:00"), ClockedIn);
    auto &clock = dynamic_cast<PgConnection &>(openDatabase(EmployeeMdb));
    const QString copy = f.folder() + QStringLiteral("/copy.mdb");
    const int cuts = cutAtEachCommand(
        clock, [&] { QVERIFY(copyServerToFile(clock, copy)); },
        [&] {
            QVERIFY(!QFile::exists(copy));
            QCOMPARE(QDir(f.folder()).entryList({QStringLiteral("copy*")}), QStringList());
            QVERIFY(copyServerToFile(clock, copy));
            QVERIFY(QFile::remove(copy));
        });
    QVERIFY2(cuts >= 2, qPrintable(QString::number(cuts)));
    const auto file = SqliteConnection::openExisting(copy);
    QCOMPARE(contentOf(*file), contentOf(clock));
}

void ServerTest::namesOneInAFileAreNotDumped()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    // As an older version let a server hold them.
    f.employee(QStringLiteral("Ann"));
    f.file().createTimeLog(QStringLiteral("ANN"));
    const QString copy = f.folder() + QStringLiteral("/copy.mdb");
    auto &server = dynamic_cast<PgConnection &>(openDatabase(EmployeeMdb));
    try {
        copyServerToFile(server, copy);
        QFAIL("two tables that are one in a file were dumped");
    } catch (const DbError &error) {
        QVERIFY2(error.description().contains(QStringLiteral("'ANN' and 'Ann' are one table in a "
                                                             "file")),
                 qPrintable(error.description()));
    }
    QCOMPARE(QDir(f.folder()).entryList({QStringLiteral("copy*")}), QStringList());
}

void ServerTest::aSessionEndedAtAnyCommandOfADeleteLastKeepsEventAndEntryTogether()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:00:00"), ClockedIn);
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 17:00:00"), ClockedOut);
    auto &clock = dynamic_cast<PgConnection &>(openDatabase(EmployeeMdb));
    const auto entries = [&] {
        return f.value(QStringLiteral("SELECT count(*) FROM \"Horalink change history\"")).toInt();
    };
    int deleted = 0;
    const int cuts = cutAtEachCommand(
        clock, [&] { QVERIFY(deleteLastEvent(clock, QStringLiteral("Ann"))); },
        [&] {
            // Neither the removal nor its entry was kept; done again, both are.
            QCOMPARE(f.log(QStringLiteral("Ann")).size(), 2);
            QCOMPARE(entries(), deleted);
            QVERIFY(deleteLastEvent(clock, QStringLiteral("Ann")));
            ++deleted;
            QCOMPARE(f.statuses(QStringLiteral("Ann")), QStringList({ClockedIn}));
            QCOMPARE(entries(), deleted);
            f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 17:00:00"), ClockedOut);
        });
    // BEGIN, the lock, the removal that gives back the row, the entry and COMMIT at least.
    QVERIFY2(cuts >= 5, qPrintable(QString::number(cuts)));
    QCOMPARE(f.statuses(QStringLiteral("Ann")), QStringList({ClockedIn}));
    QCOMPARE(entries(), deleted + 1);
}

void ServerTest::aSessionEndedAtAnyCommandOfAGridEditKeepsCellAndEntryTogether()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), {.stamp = QStringLiteral("2026-03-02 08:00:00"),
                                    .status = ClockedIn,
                                    .activity = QStringLiteral("desk")});
    auto &clock = dynamic_cast<PgConnection &>(openDatabase(EmployeeMdb));
    const auto entries = [&] {
        return f.value(QStringLiteral("SELECT count(*) FROM \"Horalink change history\"")).toInt();
    };
    const auto task = [&] {
        return f.value(QStringLiteral("SELECT activity FROM \"Ann\"")).toString();
    };
    const int activity = 3;
    // Types the task into the grid's cell. A refusal is told, the cell goes on showing what is
    // stored, and the refusal is handed on as the failure it tells of.
    const auto typeTask = [&](const QString &text) {
        TimeLogModel grid(clock, QStringLiteral("Ann"));
        QSignalSpy refused(&grid, &TimeLogModel::refused);
        if (grid.setData(grid.index(0, activity), text, Qt::EditRole))
            return;
        QCOMPARE(refused.count(), 1);
        QCOMPARE(grid.data(grid.index(0, activity), Qt::DisplayRole).toString(), task());
        const QString reason = refused.first().first().toString();
        QVERIFY2(reason.contains(QStringLiteral("was lost")), qPrintable(reason));
        throw DbError(dberr::ConnectionLost, reason);
    };
    QString stored = QStringLiteral("desk");
    int kept = 0;
    const auto nextTask = [&] {
        return QStringLiteral("stocking ") + QString::number(kept + 1);
    };
    const int cuts = cutAtEachCommand(
        clock, [&] { typeTask(nextTask()); },
        [&] {
            // Neither the cell nor its entry was kept; typed again, both are.
            QCOMPARE(task(), stored);
            QCOMPARE(entries(), kept);
            stored = nextTask();
            typeTask(stored);
            ++kept;
            QCOMPARE(task(), stored);
            QCOMPARE(entries(), kept);
        });
    // BEGIN, the lock, the write that gives back the row, the entry and COMMIT at least.
    QVERIFY2(cuts >= 5, qPrintable(QString::number(cuts)));
    QCOMPARE(task(), nextTask());
    QCOMPARE(entries(), kept + 1);
}

QTEST_MAIN(ServerTest)
#include "test_server.moc"
