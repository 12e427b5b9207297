#include "clock/clockqueue.h"
#include "db/database.h"
#include "db/datetimetext.h"
#include "serverlink.h"
#include "support/fixture.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/keptclock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace horalink;

// Time clocks whose link to the server goes down: they keep what employees clock, confirm it
// only once it is on the clock's disk, and send each kept event once the server is back.
class AwayTest : public QObject
{
    Q_OBJECT

private slots:
    void aClockGoesOnWhileItsServerIsAwayAndSendsWhatItKept();
    void everyConfirmedEventSurvivesEachKillAndIsSentOnce();
    void twoClocksThroughAnOutageStoreEveryConfirmedEventOnce();
};

#define REQUIRE_SERVER()                                                                           \
    if (!onServer())                                                                               \
    QSKIP("A clock keeps events only while its database server is away.")

namespace {

const QString Ann = QStringLiteral("Ann");
const QString Bob = QStringLiteral("Bob");

// Clocks of the test reach the server through the link.
void clockThrough(const ServerLink &link)
{
    qputenv(ServerVariable, link.through(qEnvironmentVariable(ServerVariable)).toUtf8());
}

QString keptNote(Fixture &f)
{
    return f.main().findChild<QLabel *>(QStringLiteral("keptnote"))->text();
}

// A clock of its own, in a data folder of its own, signing the employee on and pressing
// clock-in and clock-out by turns, EVENTS times or until killed.
struct Worker
{
    QProcess process;
    QByteArray told;

    void start(const QString &folder, const QString &start, int events, const QString &employee)
    {
        QDir().mkpath(folder);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(QStringLiteral(CLOCKWORKER),
                      {folder, start, QString::number(events), QStringLiteral("alone"), employee},
                      QIODevice::ReadWrite | QIODevice::Text);
        QVERIFY(process.waitForStarted());
    }
    bool signedOn()
    {
        while (!told.contains("SIGNED ON") && process.waitForReadyRead(30000))
            told += process.readAllStandardOutput();
        return told.contains("SIGNED ON");
    }
    // Ends the clock, or waits for its end; what it confirmed, as "IN stamp" and "OUT stamp".
    QStringList confirmed(bool kill)
    {
        if (kill && process.state() == QProcess::Running)
            process.kill();
        if (!process.waitForFinished(240000))
            QTest::qFail("the clock did not end", __FILE__, __LINE__);
        const QByteArray errors = process.readAllStandardError();
        if (errors.contains("BOX"))
            QTest::qFail(errors.constData(), __FILE__, __LINE__);
        if (!kill && process.exitCode() != 0)
            QTest::qFail(errors.constData(), __FILE__, __LINE__);
        told += process.readAllStandardOutput();
        QStringList events;
        for (const QByteArray &line : told.split('\n')) {
            if (line.startsWith("IN ") || line.startsWith("OUT "))
                events << QString::fromLatin1(line);
        }
        return events;
    }
};

QString eventText(const QString &status, const QString &stamp)
{
    return (status == QLatin1String("Clocked In") ? QStringLiteral("IN ")
                                                  : QStringLiteral("OUT ")) +
           stamp;
}

// How often each event stands in the employee's log.
QMap<QString, int> storedEvents(Fixture &f, const QString &employee)
{
    QMap<QString, int> stored;
    for (const LogRow &row : f.log(employee))
        ++stored[eventText(row.inoutfx.toString(), row.datetime.toString())];
    return stored;
}

QSet<QString> keptEvents(const QString &folder)
{
    QSet<QString> kept;
    const ClockQueue queue(folder);
    for (const ClockEvent &event : queue.events())
        kept << eventText(event.status, storedStamp(event.stamp));
    return kept;
}

// Every confirmed event is stored once; nothing else is stored but what a clock kept and was
// killed before it confirmed, once at most.
void verifyOnce(Fixture &f, const QString &employee, const QStringList &confirmed,
                const QSet<QString> &unconfirmed)
{
    const QMap<QString, int> stored = storedEvents(f, employee);
    for (const QString &event : confirmed)
        QVERIFY2(stored.value(event) == 1,
                 qPrintable(event + QStringLiteral(" stored ") +
                            QString::number(stored.value(event)) + QStringLiteral(" times")));
    for (auto event = stored.begin(); event != stored.end(); ++event) {
        QVERIFY2(event.value() == 1, qPrintable(event.key() + QStringLiteral(" stored twice")));
        QVERIFY2(confirmed.contains(event.key()) || unconfirmed.contains(event.key()),
                 qPrintable(event.key() + QStringLiteral(" stored, never kept")));
    }
}

// A killed clock's session lives on at the server until the server reads the end of its
// connection, and keeps the locks of the transaction it was in until then. A clock started
// before that waits for them and, once its lock wait is over, rightly tells them as another
// clock's: the contention tests try that, so here the next clock starts once they are gone.
bool killedSessionsEnded(Fixture &f)
{
    const QString heldByOthers = QStringLiteral(
        "SELECT count(*) FROM pg_catalog.pg_locks AS l JOIN pg_catalog.pg_class AS c ON c.oid = "
        "l.relation WHERE c.relnamespace = pg_catalog.to_regnamespace("
        "pg_catalog.current_schema())::oid AND l.pid <> pg_catalog.pg_backend_pid()");
    // The server ends a session left in its transaction after a minute in any case.
    constexpr qint64 Longest = 70000;
    QElapsedTimer waited;
    waited.start();
    while (f.value(heldByOthers).toInt() > 0) {
        if (waited.elapsed() > Longest)
            return false;
        QTest::qWait(20);
    }
    if (waited.elapsed() > 1000)
        qInfo("the killed clocks' sessions ended after %lld ms", waited.elapsed());
    return true;
}

QString startOfDay(int day)
{
    return QDate(2027, 1, 1).addDays(day).toString(Qt::ISODate) + QStringLiteral(" 06:00:00");
}

// The company with these employees, clocking in without the task prompt.
void shopWithoutTaskPrompt(Fixture &f, const QStringList &employees)
{
    f.company();
    f.setFlag(QStringLiteral("subs"), 1);
    for (const QString &employee : employees)
        f.employee(employee);
}

} // namespace

void AwayTest::aClockGoesOnWhileItsServerIsAwayAndSendsWhatItKept()
{
    REQUIRE_SERVER();
    Fixture f;
    shopWithoutTaskPrompt(f, {Ann});
    ServerLink link;
    clockThrough(link);
    f.startProgram();
    f.signOn(Ann);
    f.takeBoxes();

    link.cut();
    f.setNow(QStringLiteral("2026-03-02 08:00:00"));
    f.click(QStringLiteral("clockin"));
    QCOMPARE(f.takeBoxes(), QList<Box>());
    QCOMPARE(keptNote(f), KeptNote);
    QCOMPARE(child<QLabel>(f.main(), "Lastlogonvalue")->text(), QStringLiteral("Clocked In"));
    f.click(QStringLiteral("clockin"));
    QCOMPARE(f.takeBoxes(), QList<Box>({warningBox(QStringLiteral("You must first Clock Out."),
                                                   QStringLiteral("Clock In Error"))}));
    // What needs the server says so, and does nothing.
    f.click(QStringLiteral("dltlast"));
    QCOMPARE(f.takeBoxes().size(), 1);
    QVERIFY(f.log(Ann).isEmpty());

    // Signed on again while the server is away, Ann is known as she left.
    f.click(QStringLiteral("exitmain"));
    f.signOn(Ann);
    QCOMPARE(f.takeBoxes(), QList<Box>());
    QVERIFY(f.main().isVisible());
    QCOMPARE(child<QLabel>(f.main(), "Lastlogonvalue")->text(), QStringLiteral("Clocked In"));
    f.setNow(QStringLiteral("2026-03-02 12:00:00"));
    f.click(QStringLiteral("clockout"));
    QCOMPARE(f.takeBoxes(), QList<Box>());
    QCOMPARE(keptNote(f), KeptNote);
    QVERIFY(f.log(Ann).isEmpty());

    link.mend();
    f.setNow(QStringLiteral("2026-03-02 13:00:00"));
    f.click(QStringLiteral("clockin"));
    QCOMPARE(f.takeBoxes(), QList<Box>());
    QCOMPARE(keptNote(f), SentNote);
    QCOMPARE(f.stamps(Ann),
             QStringList({"2026-03-02 08:00:00", "2026-03-02 12:00:00", "2026-03-02 13:00:00"}));
    QCOMPARE(f.statuses(Ann), QStringList({"Clocked In", "Clocked Out", "Clocked In"}));
    QCOMPARE(f.texts(QStringLiteral("SELECT kind FROM \"Horalink change history\" ORDER BY rowid")),
             QStringList({"delivered", "delivered"}));
    QVERIFY(ClockQueue(f.folder()).events().empty());
}

// Ann's clock is killed again and again while its server is away: whatever it confirmed is in
// its queue after each kill. Once the server is back it is killed again while it sends, and
// still every one of them is stored once.
void AwayTest::everyConfirmedEventSurvivesEachKillAndIsSentOnce()
{
    REQUIRE_SERVER();
    Fixture f;
    shopWithoutTaskPrompt(f, {Ann});
    ServerLink link;
    clockThrough(link);
    const QString folder = QDir(f.folder()).filePath(QStringLiteral("clock"));

    Worker first;
    first.start(folder, startOfDay(0), 2, Ann);
    QStringList confirmed = first.confirmed(false);
    QCOMPARE(confirmed.size(), 2);

    link.cut();
    // What a clock kept but was killed before it confirmed may be stored too, once.
    QSet<QString> unconfirmed;
    QRandomGenerator random(20261208);
    for (int run = 1; run <= 12; ++run) {
        Worker killed;
        killed.start(folder, startOfDay(run), -1, Ann);
        QVERIFY(killed.signedOn());
        QTest::qWait(int(random.bounded(20, 300)));
        const QStringList now = killed.confirmed(true);
        const QSet<QString> kept = keptEvents(folder);
        for (const QString &event : now)
            QVERIFY2(kept.contains(event), qPrintable(QStringLiteral("lost: ") + event));
        unconfirmed += kept;
        confirmed << now;
    }
    QVERIFY(f.log(Ann).size() == 2);
    QVERIFY(confirmed.size() > 20);

    // Killed while it sends, at its start, the clock sends again what it had not seen arrive.
    link.mend();
    for (int run = 0; run < 4; ++run) {
        Worker sending;
        sending.start(folder, startOfDay(50 + run), 0, Ann);
        QTest::qWait(int(random.bounded(50, 600)));
        sending.confirmed(true);
        QVERIFY2(killedSessionsEnded(f), "a killed clock's session held its locks for good");
    }
    Worker last;
    last.start(folder, startOfDay(100), 2, Ann);
    confirmed << last.confirmed(false);
    QVERIFY(keptEvents(folder).isEmpty());
    verifyOnce(f, Ann, confirmed, unconfirmed);
}

// 200 presses on two clocks while their server is away, one of them killed twice on the way;
// once it is back, every event either confirmed is stored once, each in its log's order.
void AwayTest::twoClocksThroughAnOutageStoreEveryConfirmedEventOnce()
{
    REQUIRE_SERVER();
    Fixture f;
    shopWithoutTaskPrompt(f, {Ann, Bob});
    ServerLink link;
    clockThrough(link);
    const QString office = QDir(f.folder()).filePath(QStringLiteral("office"));
    const QString shop = QDir(f.folder()).filePath(QStringLiteral("shop"));
    QStringList confirmed[2];
    {
        Worker annOnline;
        annOnline.start(office, startOfDay(0), 2, Ann);
        confirmed[0] << annOnline.confirmed(false);
        Worker bobOnline;
        bobOnline.start(shop, startOfDay(0), 2, Bob);
        confirmed[1] << bobOnline.confirmed(false);
    }

    link.cut();
    constexpr int Presses = 100;
    Worker steady;
    steady.start(office, startOfDay(1), Presses, Ann);
    QRandomGenerator random(20261209);
    QSet<QString> unconfirmed;
    int pressed = 0;
    for (int run = 0; run < 2; ++run) {
        Worker killed;
        killed.start(shop, startOfDay(2 + run), -1, Bob);
        QVERIFY(killed.signedOn());
        QTest::qWait(int(random.bounded(5, 30)));
        const QStringList now = killed.confirmed(true);
        unconfirmed += keptEvents(shop);
        pressed += int(now.size());
        confirmed[1] << now;
    }
    QVERIFY(pressed < Presses);
    Worker rest;
    rest.start(shop, startOfDay(4), Presses - pressed, Bob);
    confirmed[1] << rest.confirmed(false);
    confirmed[0] << steady.confirmed(false);
    QCOMPARE(confirmed[0].size(), 2 + Presses);
    QVERIFY(confirmed[1].size() >= 2 + Presses);
    QCOMPARE(f.log(Ann).size(), 2);
    QCOMPARE(f.log(Bob).size(), 2);

    link.mend();
    Worker annBack;
    annBack.start(office, startOfDay(10), 2, Ann);
    Worker bobBack;
    bobBack.start(shop, startOfDay(10), 2, Bob);
    confirmed[0] << annBack.confirmed(false);
    confirmed[1] << bobBack.confirmed(false);
    verifyOnce(f, Ann, confirmed[0], {});
    verifyOnce(f, Bob, confirmed[1], unconfirmed);
    QCOMPARE(f.statuses(Ann).mid(0, 4),
             QStringList({"Clocked In", "Clocked Out", "Clocked In", "Clocked Out"}));
    const int delivered =
        f.value(QStringLiteral("SELECT count(*) FROM \"Horalink change history\" WHERE kind = "
                               "'delivered'"))
            .toInt();
    QCOMPARE(delivered, int(f.log(Ann).size() + f.log(Bob).size()) - 8);
}

QTEST_MAIN(AwayTest)
#include "test_away.moc"
