// Who may change what: on a shared database the server holds the time clocks' account to what
// a clock does and checks the Manager's password itself; in the file, a password stored as
// typed no longer signs anyone on once the file has held a hash.
#include "clock/clocking.h"
#include "clock/clockqueue.h"
#include "clock/session.h"
#include "db/database.h"
#include "db/delivery.h"
#include "db/employees.h"
#include "db/passwordhash.h"
#include "db/postgres.h"
#include "db/settings.h"
#include "db/timelog.h"
#include "payday/check.h"
#include "support/fixture.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"

#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

using namespace horalink;

namespace {

QString passwordBoxes(const QList<Box> &boxes)
{
    QStringList titles;
    for (const Box &box : boxes)
        titles << box.title;
    return titles.join(QLatin1Char(','));
}

// A schema set up by the tool with the accounts of the clocks and of the Manager.
class SharedDatabase
{
public:
    SharedDatabase() : m_schema(ServerSchema::Tables::None) {}

    QString clocks() const { return m_accounts.clocks(); }
    QString manager() const { return m_accounts.manager(); }
    // The keeper's connection string, as the tool is given it.
    QString keeper() const { return m_schema.connectionString(); }
    QString asClocks() const { return m_accounts.asClocks(keeper()); }

    // Sets the database up with the tool, as the server's administrator would, and gives the
    // fixture's own connection to it as the keeper: what the test adds, it adds there.
    bool setUp(Fixture &f) const
    {
        if (tool(QStringList{QStringLiteral("init"), keeper()} + m_accounts.options()) != 0)
            return false;
        qputenv(ServerVariable, keeper().toUtf8());
        f.company();
        return true;
    }

    static int tool(const QStringList &arguments)
    {
        QProcess tool;
        tool.start(QStringLiteral(HORALINK_TOOL), arguments);
        tool.waitForFinished(60000);
        if (tool.exitCode() != 0)
            qWarning("%s", tool.readAllStandardError().constData());
        return tool.exitCode();
    }

    // Runs one statement as the clocks' account in psql: its output and errors.
    QString psqlAsClocks(const QString &sql) const
    {
        QProcess psql;
        psql.start(
            QStandardPaths::findExecutable(QStringLiteral("psql")),
            {QStringLiteral("-X"), QStringLiteral("-d"), asClocks(), QStringLiteral("-c"), sql});
        psql.waitForFinished(30000);
        return QString::fromUtf8(psql.readAllStandardOutput() + psql.readAllStandardError());
    }

private:
    ServerAccounts m_accounts;
    ServerSchema m_schema;
};

qint64 managerSessions(const SharedDatabase &shared)
{
    auto admin = PgConnection::open(qEnvironmentVariable("HORALINK_TEST_SERVER"));
    Statement count(*admin, QStringLiteral("SELECT count(*) FROM pg_catalog.pg_stat_activity "
                                           "WHERE usename = ?1"));
    count.bind(1, shared.manager());
    count.step();
    return count.integer(0);
}

} // namespace

class AccountsTest : public QObject
{
    Q_OBJECT

private slots:
    void aPasswordStoredAsTypedSignsOnOnlyInAFileThatNeverHeldAHash();
    void theServerRefusesTheClocksAccountWhatOnlyTheManagerMay();
    void theManagerSignsOnWithTheServersPasswordCheck();
    void anEmployeeAtAServerClockClearsNoLog();
    void theClocksAccountSendsAKeptEventOnce();
};

void AccountsTest::aPasswordStoredAsTypedSignsOnOnlyInAFileThatNeverHeldAHash()
{
    // An older file: its passwords are as typed; the first right answer keeps its hash.
    {
        Fixture f;
        f.company();
        f.employee(QStringLiteral("Ann"), {.password = QStringLiteral("older")});
        f.startProgram();
        f.signOn(QStringLiteral("Ann"), QStringLiteral("older"));
        QVERIFY(f.main().isVisible());
        QVERIFY(f.value(QStringLiteral("SELECT epass FROM datalist WHERE ename = 'Ann'"))
                    .toString()
                    .startsWith(passwordHashPrefix()));
    }
    // Someone's edit of a file that holds hashes.
    {
        Fixture f;
        f.company();
        f.employee(QStringLiteral("Ann"), {.password = passwordHash(QStringLiteral("right"))});
        f.employee(QStringLiteral("Eve"), {.password = QStringLiteral("typed")});
        f.startProgram();
        f.signOn(QStringLiteral("Eve"), QStringLiteral("typed"));
        QVERIFY(!f.main().isVisible());
        QCOMPARE(passwordBoxes(f.takeBoxes()), QStringLiteral("Password Error"));
        const CheckOutcome checked = checkPeriod(
            f.file(), {stamp("2026-03-01 00:00:00"), stamp("2026-03-08 00:00:00")}, f.clock.now());
        QVERIFY(std::any_of(checked.findings.begin(), checked.findings.end(), [](const Finding &x) {
            return x.employee == QLatin1String("Eve") &&
                   x.kind == FindingKind::PasswordStoredAsTyped;
        }));
    }
    // Every hash replaced by typed text: the history still tells that the file held one.
    {
        Fixture f;
        f.company();
        f.employee(QStringLiteral("Ann"));
        QVERIFY(storePassword(f.file(), QStringLiteral("Ann"), QStringLiteral("right")));
        f.setPassword(QStringLiteral("Ann"), QStringLiteral("typed"));
        f.startProgram();
        f.signOn(QStringLiteral("Ann"), QStringLiteral("typed"));
        QVERIFY(!f.main().isVisible());
    }
}

void AccountsTest::theServerRefusesTheClocksAccountWhatOnlyTheManagerMay()
{
    if (!onServer())
        QSKIP("the accounts are the server's");
    if (QStandardPaths::findExecutable(QStringLiteral("psql")).isEmpty())
        QSKIP("psql is not installed");
    Fixture f;
    SharedDatabase shared;
    QVERIFY(shared.setUp(f));
    const auto refused = [&](const QString &sql) {
        const QString said = shared.psqlAsClocks(sql);
        return said.contains(QLatin1String("permission denied")) ||
               said.contains(QLatin1String("must be owner"));
    };
    // What a clock does.
    QVERIFY(shared
                .psqlAsClocks(QStringLiteral("INSERT INTO \"Manager\" (\"Ename\", \"datetime\", "
                                             "inoutfx) VALUES ('Manager', "
                                             "'2026-03-02 08:00:00', 'Clocked In'), "
                                             "('Manager', '2026-03-02 16:00:00', 'Clocked Out')"))
                .contains(QLatin1String("INSERT 0 2")));
    QVERIFY(shared
                .psqlAsClocks(QStringLiteral("UPDATE \"Manager\" SET \"datetime\" = "
                                             "'2026-03-02 16:30:00' WHERE rowid = 2"))
                .contains(QLatin1String("UPDATE 1")));
    const QString entry = shared.psqlAsClocks(
        QStringLiteral("INSERT INTO \"Horalink change history\" (changed, changed_utc, who, "
                       "account, kind, subject) VALUES ('2026-03-02 16:30:00', "
                       "'2026-03-02T16:30:00Z', 'Manager', 'clock', 'corrected', 'Manager')"));
    QVERIFY2(entry.contains(QLatin1String("INSERT 0 1")), qPrintable(entry));
    // What only the Manager may.
    for (const char *sql :
         {"UPDATE datalist SET epass = 'x' WHERE ename = 'Manager'",
          "UPDATE datalist SET ewage = '99'", "UPDATE datalist SET ecomment = 'x'",
          "INSERT INTO datalist (ename) VALUES ('Eve')", "DELETE FROM datalist",
          "UPDATE \"Company Data\" SET edits = 1",
          "INSERT INTO \"Company Data\" (edits) VALUES (1)",
          "UPDATE \"Manager\" SET inoutfx = 'Clocked In'", "TRUNCATE \"Manager\"",
          "DROP TABLE \"Manager\"", "CREATE TABLE \"Eve\" (a int)",
          "UPDATE \"Horalink change history\" SET who = 'x'",
          "DELETE FROM \"Horalink change history\"", "TRUNCATE \"Horalink change history\"",
          "ALTER TABLE \"Manager\" DISABLE ROW LEVEL SECURITY"})
        QVERIFY2(refused(QString::fromLatin1(sql)), sql);
    QVERIFY(refused(QStringLiteral("ALTER ROLE ") + shared.manager() +
                    QStringLiteral(" PASSWORD 'x'")));
    // A log is cleared by no one but the Manager: the clocks take back only its last event.
    QVERIFY(shared.psqlAsClocks(QStringLiteral("DELETE FROM \"Manager\" WHERE rowid = 1"))
                .contains(QLatin1String("DELETE 0")));
    QVERIFY(shared.psqlAsClocks(QStringLiteral("DELETE FROM \"Manager\""))
                .contains(QLatin1String("DELETE 1")));
    QVERIFY(shared.psqlAsClocks(QStringLiteral("SELECT count(*) FROM \"Manager\""))
                .contains(QLatin1String("     1\n")));
}

void AccountsTest::theManagerSignsOnWithTheServersPasswordCheck()
{
    if (!onServer())
        QSKIP("the accounts are the server's");
    Fixture f;
    SharedDatabase shared;
    QVERIFY(shared.setUp(f));
    // The employee list holds no password for the Manager: the server's is asked for.
    qputenv(ServerVariable, shared.asClocks().toUtf8());
    f.startProgram();
    f.signOn(ManagerName, QStringLiteral("wrong"));
    QCOMPARE(passwordBoxes(f.takeBoxes()), QStringLiteral("Password Error"));
    QVERIFY(child<QWidget>(f.logon(), "passwordbx")->isVisible());
    QVERIFY(!f.main().isVisible());
    child<QPushButton>(f.logon(), "Command4")->click();
    f.signOn(ManagerName, ServerAccounts::ManagerPassword);
    QVERIFY(f.main().isVisible());
    QVERIFY(f.main().session().manages());
    QCOMPARE(managerSessions(shared), 1);

    // The Manager's functions reach the server as the Manager's account; what the new
    // employee's log grants lets a clock clock in there.
    Connection &managing = managingDatabase();
    QVERIFY(&managing != &openDatabase(EmployeeMdb));
    QCOMPARE(addEmployee(managing, {QStringLiteral("Ann"), QStringLiteral("12.5"), {}, {}}),
             AddOutcome::Added);
    storeSwitch(managing, Switch::Money, true);
    QCOMPARE(
        clockIn(openDatabase(EmployeeMdb), {QStringLiteral("Ann"), {}, false}, {}, f.clock.now()),
        ClockOutcome::Stored);
    // The keeper reads what the Manager's account made: the tool's dump takes it all.
    QCOMPARE(shared.tool({QStringLiteral("dump"), shared.keeper(),
                          QDir(f.folder()).filePath(QStringLiteral("copy.mdb"))}),
             0);
    // Change My Password changes the password the server keeps.
    QVERIFY(storePassword(managing, ManagerName, QStringLiteral("new one")));
    QVERIFY_THROWS_EXCEPTION(DbError, storePassword(managing, ManagerName, QString()));

    f.click(QStringLiteral("exitmain"));
    QCOMPARE(managerSessions(shared), 0);
    QCOMPARE(&managingDatabase(), &openDatabase(EmployeeMdb));
    f.signOn(ManagerName, ServerAccounts::ManagerPassword);
    QCOMPARE(passwordBoxes(f.takeBoxes()), QStringLiteral("Password Error"));
    child<QPushButton>(f.logon(), "Command4")->click();
    f.signOn(ManagerName, QStringLiteral("new one"));
    QVERIFY(f.main().session().manages());
}

void AccountsTest::anEmployeeAtAServerClockClearsNoLog()
{
    if (!onServer())
        QSKIP("the accounts are the server's");
    Fixture f;
    SharedDatabase shared;
    QVERIFY(shared.setUp(f));
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 12:00:00"),
            QStringLiteral("Clocked Out"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 13:00:00"),
            QStringLiteral("Clocked In"));
    qputenv(ServerVariable, shared.asClocks().toUtf8());
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
    f.prompts.answers = {Button::Yes};
    f.click(QStringLiteral("dltdata"));
    const QList<Box> boxes = f.takeBoxes();
    QVERIFY(!boxes.isEmpty());
    QVERIFY2(boxes.last().text.contains(QLatin1String("Only the Manager")),
             qPrintable(boxes.last().text));
    QCOMPARE(f.stamps(QStringLiteral("Ann")).size(), 3);
    // Delete Last is every employee's.
    f.click(QStringLiteral("dltlast"));
    QCOMPARE(passwordBoxes(f.takeBoxes()), QString());
    QCOMPARE(f.stamps(QStringLiteral("Ann")).size(), 2);
}

// A clock that kept an event while the server was away sends it as the clocks' account: the
// event and its history entry land, and sending it again stores nothing.
void AccountsTest::theClocksAccountSendsAKeptEventOnce()
{
    if (!onServer())
        QSKIP("the accounts are the server's");
    Fixture f;
    SharedDatabase shared;
    QVERIFY(shared.setUp(f));
    f.employee(QStringLiteral("Ann"));
    const auto clocks = PgConnection::open(shared.asClocks());
    const ClockEvent event{randomId(),
                           QStringLiteral("Ann"),
                           stamp(QStringLiteral("2026-03-02 08:00:00")),
                           ClockedIn,
                           {},
                           false};
    QCOMPARE(deliverEvent(*clocks, event, randomId()), Delivery::Stored);
    QCOMPARE(deliverEvent(*clocks, event, randomId()), Delivery::AlreadyStored);
    QCOMPARE(f.statuses(QStringLiteral("Ann")), QStringList{ClockedIn});
    QCOMPARE(f.texts(QStringLiteral("SELECT kind FROM \"Horalink change history\" WHERE kind = "
                                    "'delivered'")),
             QStringList{QStringLiteral("delivered")});
}

QTEST_MAIN(AccountsTest)
#include "test_accounts.moc"
