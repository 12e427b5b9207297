// Clocking in and out as procedures, without any window: given a log, what one press stores.
#include "clock/clocking.h"
#include "clock/session.h"
#include "db/connection.h"
#include "db/datetimetext.h"
#include "db/timelog.h"
#include "support/datafixture.h"

#include <QTest>

using namespace horalink;

namespace {

const QString Ann = QStringLiteral("Ann");
const Session AnnSignedOn{Ann, QStringLiteral("10"), false};

// One event per entry: its status, or "-" for a row without one.
void fill(DataFixture &f, const QStringList &statuses)
{
    QDateTime when = stamp(QStringLiteral("2026-03-02 08:00:00"));
    for (const QString &status : statuses) {
        Statement insert(f.file(), QStringLiteral("INSERT INTO \"Ann\" (\"Ename\", \"datetime\", "
                                                  "\"inoutfx\") VALUES ('Ann', ?1, ?2)"));
        insert.bind(1, storedStamp(when))
            .bind(2, status == QLatin1String("-") ? QVariant() : QVariant(status))
            .run();
        when = when.addSecs(3600);
    }
}

} // namespace

class ClockingTest : public QObject
{
    Q_OBJECT

private slots:
    void eachPressIsJudgedByTheLastRowAdded_data();
    void eachPressIsJudgedByTheLastRowAdded();
    void aStoredEventCarriesTheUserTheStampAndTheTask();
    void deleteLastRemovesTheLastRowAdded();
    void aReplacedClockIsBackWhenItsReplacementGoes();
};

void ClockingTest::eachPressIsJudgedByTheLastRowAdded_data()
{
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<bool>("in");
    QTest::addColumn<int>("outcome");
    const QStringList none;
    QTest::newRow("in, empty") << none << true << int(ClockOutcome::Stored);
    QTest::newRow("in after out") << QStringList{ClockedIn, ClockedOut} << true
                                  << int(ClockOutcome::Stored);
    QTest::newRow("in after in") << QStringList{ClockedIn} << true
                                 << int(ClockOutcome::MustClockOut);
    QTest::newRow("in after an edited status")
        << QStringList{ClockedIn, QStringLiteral("out")} << true << int(ClockOutcome::MustClockOut);
    QTest::newRow("in after no status")
        << QStringList{QStringLiteral("-")} << true << int(ClockOutcome::MustClockOut);
    QTest::newRow("out, empty") << none << false << int(ClockOutcome::MustClockInFirst);
    QTest::newRow("out after in") << QStringList{ClockedIn} << false << int(ClockOutcome::Stored);
    QTest::newRow("out after out")
        << QStringList{ClockedIn, ClockedOut} << false << int(ClockOutcome::MustClockIn);
    QTest::newRow("out after no status")
        << QStringList{QStringLiteral("-")} << false << int(ClockOutcome::MustClockIn);
}

void ClockingTest::eachPressIsJudgedByTheLastRowAdded()
{
    QFETCH(QStringList, log);
    QFETCH(bool, in);
    QFETCH(int, outcome);
    DataFixture f;
    f.employee(Ann);
    fill(f, log);
    const QDateTime now = stamp(QStringLiteral("2026-03-03 07:59:59"));
    const ClockOutcome got =
        in ? clockIn(f.file(), AnnSignedOn, QString(), now) : clockOut(f.file(), AnnSignedOn, now);
    QCOMPARE(int(got), outcome);
    QCOMPARE(f.log(Ann).size(), log.size() + (got == ClockOutcome::Stored ? 1 : 0));
    QCOMPARE(isClockedIn(f.file(), Ann),
             got == ClockOutcome::Stored ? in : !log.isEmpty() && log.last() == ClockedIn);
}

void ClockingTest::aStoredEventCarriesTheUserTheStampAndTheTask()
{
    DataFixture f;
    f.employee(Ann);
    QCOMPARE(clockIn(f.file(), AnnSignedOn, QStringLiteral("welding"),
                     stamp(QStringLiteral("2026-03-02 08:00:59"))),
             ClockOutcome::Stored);
    QCOMPARE(clockOut(f.file(), AnnSignedOn, stamp(QStringLiteral("2026-03-02 08:00:59"))),
             ClockOutcome::Stored);
    QCOMPARE(
        clockIn(f.file(), AnnSignedOn, QString(), stamp(QStringLiteral("2026-03-02 09:00:00"))),
        ClockOutcome::Stored);
    const QList<LogRow> rows = f.log(Ann);
    QCOMPARE(f.stamps(Ann),
             QStringList({"2026-03-02 08:00:59", "2026-03-02 08:00:59", "2026-03-02 09:00:00"}));
    QCOMPARE(rows[0].ename.toString(), Ann);
    QCOMPARE(rows[0].activity.toString(), QStringLiteral("welding"));
    QVERIFY(rows[1].activity.isNull());
    QCOMPARE(rows[2].activity.toString(), QStringLiteral(" "));
}

void ClockingTest::deleteLastRemovesTheLastRowAdded()
{
    DataFixture f;
    f.employee(Ann);
    QVERIFY(!deleteLastEvent(f.file(), Ann));
    // A later row may carry an earlier date: the last row added goes.
    f.event(Ann, QStringLiteral("2026-03-02 09:00:00"), ClockedIn);
    f.event(Ann, QStringLiteral("2026-03-01 17:00:00"), ClockedOut);
    QVERIFY(deleteLastEvent(f.file(), Ann));
    QCOMPARE(f.stamps(Ann), QStringList({"2026-03-02 09:00:00"}));
}

// A test's "now" holds only while its replacement lives, so it never reaches the next test.
void ClockingTest::aReplacedClockIsBackWhenItsReplacementGoes()
{
    DataFixture f;
    {
        const Replacement later(setClock, std::make_unique<FixedClock>());
        later->current = stamp(QStringLiteral("2027-01-01 06:00:00"));
        QCOMPARE(horalink::clock().now(), stamp(QStringLiteral("2027-01-01 06:00:00")));
    }
    QCOMPARE(horalink::clock().now(), stamp(QStringLiteral("2026-03-02 17:30:10")));
}

QTEST_GUILESS_MAIN(ClockingTest)
#include "test_clocking.moc"
