#include "support/datafixture.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace horalink;

// Two time clocks, each a copy of the program, clock Ann in and out on one log as fast as they
// can: every event either reports stored is there, once, and the log never holds two events
// of one kind in a row.
class TwoClocksTest : public QObject
{
    Q_OBJECT

private slots:
    void twoClocksPressingAtOnceStoreEachEventOnce();
    void aClockKilledAgainAndAgainLosesNothingTheOtherStored();
};

namespace {

constexpr int Presses = 500;

struct Reported
{
    QSet<QString> events;
    int refused = 0;
};

void startClock(QProcess &clock, const DataFixture &f, const QString &start, int presses)
{
    clock.setProcessChannelMode(QProcess::SeparateChannels);
    // Text mode reads Windows's line ends as the line feeds the clock writes elsewhere.
    clock.start(QStringLiteral(CLOCKWORKER),
                {f.folder(), start, QString::number(presses), QStringLiteral("shared")},
                QIODevice::ReadWrite | QIODevice::Text);
    QVERIFY(clock.waitForStarted());
}

void readReports(QProcess &clock, Reported &reported)
{
    for (const QByteArray &line : clock.readAllStandardOutput().split('\n')) {
        if (line.startsWith("IN ") || line.startsWith("OUT "))
            reported.events << QString::fromLatin1(line);
        else if (line == "REFUSED")
            ++reported.refused;
    }
}

// The stored events, as the clocks report them; fails on two of one kind in a row.
QSet<QString> storedAlternating(DataFixture &f)
{
    QSet<QString> stored;
    QString previous = QStringLiteral("Clocked Out");
    for (const LogRow &row : f.log(QStringLiteral("Ann"))) {
        const QString status = row.inoutfx.toString();
        if (status == previous) {
            QTest::qFail("two events of the same kind in a row", __FILE__, __LINE__);
            return {};
        }
        const bool in = status == QLatin1String("Clocked In");
        stored << (in ? QStringLiteral("IN ") : QStringLiteral("OUT ")) + row.datetime.toString();
        previous = status;
    }
    return stored;
}

void prepareAnn(DataFixture &f)
{
    f.company();
    f.setFlag(QStringLiteral("subs"), 1);
    f.employee(QStringLiteral("Ann"));
}

} // namespace

void TwoClocksTest::twoClocksPressingAtOnceStoreEachEventOnce()
{
    DataFixture f;
    prepareAnn(f);
    QProcess first;
    QProcess second;
    startClock(first, f, QStringLiteral("2027-01-01 06:00:00"), Presses);
    startClock(second, f, QStringLiteral("2028-01-01 06:00:00"), Presses);
    Reported reported[2];
    QProcess *clocks[] = {&first, &second};
    for (int i = 0; i < 2; ++i) {
        QVERIFY(clocks[i]->waitForFinished(240000));
        QVERIFY2(clocks[i]->exitCode() == 0, clocks[i]->readAllStandardError().constData());
        readReports(*clocks[i], reported[i]);
        QCOMPARE(reported[i].events.size() + reported[i].refused, Presses);
    }

    const QSet<QString> stored = storedAlternating(f);
    QCOMPARE(stored, reported[0].events + reported[1].events);
    QCOMPARE(f.log(QStringLiteral("Ann")).size(),
             reported[0].events.size() + reported[1].events.size());
    qInfo("stored %lld events, refused %d presses", qint64(stored.size()),
          reported[0].refused + reported[1].refused);
}

void TwoClocksTest::aClockKilledAgainAndAgainLosesNothingTheOtherStored()
{
    DataFixture f;
    prepareAnn(f);
    QProcess steady;
    startClock(steady, f, QStringLiteral("2028-01-01 06:00:00"), -1);

    QRandomGenerator random(20261207);
    Reported reported;
    int kills = 0;
    for (int run = 0; kills < 30; ++run) {
        QProcess killed;
        startClock(
            killed, f,
            QDate(2027, 1, 1).addDays(run).toString(Qt::ISODate) + QStringLiteral(" 06:00:00"), -1);
        QTest::qWait(int(random.bounded(50, 400)));
        QVERIFY2(killed.state() == QProcess::Running, killed.readAllStandardError().constData());
        killed.kill();
        ++kills;
        QVERIFY(killed.waitForFinished());
        QVERIFY2(killed.readAllStandardError().indexOf("BOX") < 0, "the clock was shown a box");
        readReports(killed, reported);
        QVERIFY2(steady.state() == QProcess::Running, steady.readAllStandardError().constData());
    }
    steady.kill();
    QVERIFY(steady.waitForFinished());
    QVERIFY2(steady.readAllStandardError().indexOf("BOX") < 0, "the steady clock was shown a box");
    readReports(steady, reported);

    const QSet<QString> stored = storedAlternating(f);
    for (const QString &event : std::as_const(reported.events))
        QVERIFY2(stored.contains(event), qPrintable(QStringLiteral("lost: ") + event));
    QVERIFY(reported.events.size() > 20);
}

QTEST_MAIN(TwoClocksTest)
#include "test_twoclocks.moc"
