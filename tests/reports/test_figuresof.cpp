// The totals and time cards of a log as procedures, without any window.
#include "db/timelog.h"
#include "reports/timecards.h"
#include "reports/totals.h"
#include "support/datafixture.h"

#include <QTest>

using namespace horalink;

namespace {

const QString Ann = QStringLiteral("Ann");
const QDateTime Now = stamp(QStringLiteral("2026-03-02 17:30:10"));

} // namespace

class FiguresOfTest : public QObject
{
    Q_OBJECT

private slots:
    void totalsOfALog_data();
    void totalsOfALog();
    void cardsOfALog();
};

void FiguresOfTest::totalsOfALog_data()
{
    QTest::addColumn<QStringList>("stamps");
    QTest::addColumn<QString>("wage");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("wages");
    QTest::addColumn<bool>("open");
    QTest::newRow("empty") << QStringList() << "10"
                           << "0"
                           << "0" << false;
    QTest::newRow("open since 09:00:30") << QStringList({"2026-03-02 09:00:30"}) << "7.5"
                                         << "8.5 "
                                         << "63.75" << true;
    QTest::newRow("80 minutes at 7.33")
        << QStringList({"2026-03-02 08:00:59", "2026-03-02 09:20:00"}) << "7.33"
        << "1.33"
        << "9.7489" << false;
    QTest::newRow("wage of letters")
        << QStringList({"2026-03-02 08:00:00", "2026-03-02 09:00:00"}) << "ten"
        << "1   "
        << "0" << false;
}

void FiguresOfTest::totalsOfALog()
{
    QFETCH(QStringList, stamps);
    QFETCH(QString, wage);
    QFETCH(QString, hours);
    QFETCH(QString, wages);
    QFETCH(bool, open);
    DataFixture f;
    f.employee(Ann);
    for (int i = 0; i < stamps.size(); ++i)
        f.event(Ann, stamps[i], i % 2 ? ClockedOut : ClockedIn);
    const Totals totals = totalsOf(f.file(), Ann, wage, Now);
    QCOMPARE(totals.hours, hours);
    QCOMPARE(totals.wages, wages);
    QCOMPARE(totals.openShift, open);
    QCOMPARE(totals.empty, stamps.isEmpty());
    // Nothing is written to close an open shift.
    QCOMPARE(f.log(Ann).size(), stamps.size());
}

void FiguresOfTest::cardsOfALog()
{
    DataFixture f;
    f.employee(Ann);
    QVERIFY(!userCardOf(f.file(), QStringLiteral("Acme"), Ann, Now));
    QVERIFY(!managerCardOf(f.file(), QStringLiteral("Acme"), Ann, Now, Now));
    f.event(Ann, {.stamp = QStringLiteral("2026-03-02 08:00:00"),
                  .status = ClockedIn,
                  .activity = QStringLiteral("desk")});
    const auto open = userCardOf(f.file(), QStringLiteral("Acme"), Ann, Now);
    QVERIFY(open);
    QCOMPARE(open->lines.first().items.first().text, QStringLiteral("Horalink Log for  Acme"));
    f.event(Ann, QStringLiteral("2026-03-02 16:25:00"), ClockedOut);
    const auto closed = userCardOf(f.file(), QStringLiteral("Acme"), Ann, Now);
    QCOMPARE(closed->lines.first().items.first().text, QStringLiteral("Horalink Log for:  Acme"));
    const auto manager = managerCardOf(f.file(), QStringLiteral("Acme"), Ann,
                                       stamp(QStringLiteral("2026-03-02 12:00:00")), Now);
    QCOMPARE(manager->lines.last().items.first().text,
             QStringLiteral("Ann has a total of 9.5 hours "));
}

QTEST_GUILESS_MAIN(FiguresOfTest)
#include "test_figuresof.moc"
