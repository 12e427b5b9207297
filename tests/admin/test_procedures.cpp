// The administration's procedures without any window: what the file holds after each.
#include "admin/clearing.h"
#include "admin/newemployee.h"
#include "admin/signon.h"
#include "db/connection.h"
#include "db/passwordhash.h"
#include "db/roster.h"
#include "db/settings.h"
#include "db/timelog.h"
#include "support/datafixture.h"

#include <QTest>

using namespace horalink;

class AdminProceduresTest : public QObject
{
    Q_OBJECT

private slots:
    void addingChecksInTheWindowsOrder_data();
    void addingChecksInTheWindowsOrder();
    void clearingNeedsAListedEmployeeWithALog();
    void aPasswordKeptAsTypedIsHashedAtItsFirstRightAnswer();
    void settingsAreReadFromTheFirstRowOnly();
    void anOlderCompanyTableGetsTheSignoffSwitchWhenItIsStored();
};

void AdminProceduresTest::addingChecksInTheWindowsOrder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("wage");
    QTest::addColumn<int>("step");
    QTest::newRow("added") << "Bea"
                           << "7.33" << int(AddStep::Added);
    // Too long wins over a refused character: the window empties the name box for it.
    QTest::newRow("too long before a tab") << "Abcdefghij\tKlmnopqrst"
                                           << "ten" << int(AddStep::NameTooLong);
    QTest::newRow("no name before the wage") << ""
                                             << "ten" << int(AddStep::NoName);
    QTest::newRow("line feed") << "\nDROP TABLE Ann;--"
                               << "10" << int(AddStep::NameRefused);
    QTest::newRow("wage before taken") << "Ann"
                                       << "ten" << int(AddStep::WageRefused);
    QTest::newRow("taken in other letters") << "ANN"
                                            << "10" << int(AddStep::AlreadyListed);
    QTest::newRow("the employee list's table") << "datalist"
                                               << "10" << int(AddStep::NameRefused);
}

void AdminProceduresTest::addingChecksInTheWindowsOrder()
{
    QFETCH(QString, name);
    QFETCH(QString, wage);
    QFETCH(int, step);
    DataFixture f;
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:00:00"), ClockedIn);
    const AddResult result = addNewEmployee(f.file(), {name, wage, QStringLiteral("pw"), {}});
    QCOMPARE(int(result.step), step);
    QCOMPARE(result.reason.isEmpty(), step != int(AddStep::NameRefused) &&
                                          step != int(AddStep::WageRefused) &&
                                          step != int(AddStep::Failed));
    if (step == int(AddStep::Added))
        QVERIFY(isListed(f.file(), name));
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM datalist")).toInt(),
             step == int(AddStep::Added) ? 3 : 2);
    QCOMPARE(f.statuses(QStringLiteral("Ann")), QStringList({ClockedIn}));
}

void AdminProceduresTest::clearingNeedsAListedEmployeeWithALog()
{
    DataFixture f;
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-01 08:00:00"), ClockedIn);
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:59:59"), ClockedOut);
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 09:00:00"), ClockedIn);
    f.file().exec(QStringLiteral("INSERT INTO datalist (ename, ewage) VALUES ('Ghost', '1')"));
    const QDateTime ending = stamp(QStringLiteral("2026-03-02 09:00:30"));

    QCOMPARE(clearEmployeeLog(f.file(), QStringLiteral("ann"), ending).step, ClearStep::NotListed);
    const ClearResult ghost = clearEmployeeLog(f.file(), QStringLiteral("Ghost"), ending);
    QCOMPARE(ghost.step, ClearStep::Failed);
    QVERIFY(ghost.reason.contains(QStringLiteral("Ghost")));
    QCOMPARE(clearEmployeeLog(f.file(), QStringLiteral("Ann"), ending).step, ClearStep::Cleared);
    // The orphan clock-out of the minute before goes with the older events.
    QCOMPARE(f.stamps(QStringLiteral("Ann")), QStringList({"2026-03-02 09:00:00"}));
}

void AdminProceduresTest::aPasswordKeptAsTypedIsHashedAtItsFirstRightAnswer()
{
    DataFixture f;
    f.employee(QStringLiteral("Ann"), {.password = QStringLiteral("Secret")});
    const EmployeeRow ann = *findEmployee(f.file(), QStringLiteral("Ann"));
    QVERIFY(!acceptPassword(f.file(), ann, QStringLiteral("secret")));
    QCOMPARE(findEmployee(f.file(), QStringLiteral("Ann"))->password, QStringLiteral("Secret"));
    QVERIFY(acceptPassword(f.file(), ann, QStringLiteral("Secret")));
    const EmployeeRow hashed = *findEmployee(f.file(), QStringLiteral("Ann"));
    QVERIFY(hashed.password.startsWith(QStringLiteral("$argon2id$")));
    QVERIFY(acceptPassword(f.file(), hashed, QStringLiteral("Secret")));
    QVERIFY(!acceptPassword(f.file(), hashed, QStringLiteral("Secret ")));
    QVERIFY(!findEmployee(f.file(), QStringLiteral("ann")));
}

void AdminProceduresTest::settingsAreReadFromTheFirstRowOnly()
{
    DataFixture f;
    QVERIFY(!readCompany(f.file()));
    QCOMPARE(readSwitches(f.file()), Switches());
    storeCompany(f.file(), QStringLiteral(" Acme %1 "));
    f.file().exec(QStringLiteral("INSERT INTO \"Company Data\" (company, edits, money, subs) "
                                 "VALUES ('Other', 1, 1, 1)"));
    QCOMPARE(*readCompany(f.file()), QStringLiteral(" Acme %1 "));
    storeSwitch(f.file(), Switch::Money, true);
    QCOMPARE(readSwitches(f.file()), (Switches{false, true, false}));
    storeSwitch(f.file(), Switch::Money, false);
    f.setFlag(QStringLiteral("subs"), 2);
    QCOMPARE(readSwitches(f.file()), Switches());
}

void AdminProceduresTest::anOlderCompanyTableGetsTheSignoffSwitchWhenItIsStored()
{
    DataFixture f;
    f.file().exec(QStringLiteral("ALTER TABLE \"Company Data\" DROP COLUMN signoff"));
    storeCompany(f.file(), QStringLiteral("Acme"));
    f.setFlag(QStringLiteral("subs"), 1);
    QCOMPARE(readSwitches(f.file()), (Switches{false, false, true, false}));
    storeSwitch(f.file(), Switch::Money, true);
    QCOMPARE(f.file().columnNames(CompanyTable).size(), 4);

    storeSwitch(f.file(), Switch::Signoff, true);
    QCOMPARE(readSwitches(f.file()), (Switches{false, true, true, true}));
    storeSwitch(f.file(), Switch::Signoff, false);
    QCOMPARE(readSwitches(f.file()), (Switches{false, true, true, false}));
    f.setFlag(QStringLiteral("signoff"), 2);
    QCOMPARE(readSwitches(f.file()), (Switches{false, true, true, false}));
    f.setFlag(QStringLiteral("signoff"), 1);
    QCOMPARE(readSwitches(f.file()).signoff, true);
}

QTEST_GUILESS_MAIN(AdminProceduresTest)
#include "test_procedures.moc"
