// A server clock's queue of kept clock-ins and clock-outs, and their delivery: what the queue
// file holds after each change, what it refuses to write through, and what the server stores
// when the events come, once each.
#include "clock/clockqueue.h"
#include "clock/keptclocking.h"
#include "clock/session.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/delivery.h"
#include "db/history.h"
#include "db/timelog.h"
#include "payday/check.h"
#include "payday/filetraps.h"
#include "support/datafixture.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace horalink;

namespace {

const QString Ann = QStringLiteral("Ann");
const Session AnnSignedOn{Ann, QStringLiteral("10"), false};

QDateTime at(const char *text)
{
    return stamp(QString::fromLatin1(text));
}

QString queuePath(const QTemporaryDir &folder)
{
    return QDir(folder.path()).filePath(QueueFileName);
}

// A queue in the folder whose clock last read Ann's log with this last status.
ClockQueue knowingAnn(const QTemporaryDir &folder, const std::optional<QString> &last)
{
    ClockQueue queue(folder.path());
    queue.learnEmployees({EmployeeRow{Ann, {}, QStringLiteral("10")}});
    queue.learnStatus(Ann, last);
    return queue;
}

QStringList statusesOf(const ClockQueue &queue)
{
    QStringList statuses;
    for (const ClockEvent &event : queue.events())
        statuses << event.status;
    return statuses;
}

} // namespace

#define REQUIRE_SERVER()                                                                           \
    if (!onServer())                                                                               \
    QSKIP("Kept events are sent to a database server.")

class KeptEventsTest : public QObject
{
    Q_OBJECT

private slots:
    void eachKeptPressIsJudgedByWhatTheClockKnows_data();
    void eachKeptPressIsJudgedByWhatTheClockKnows();
    void theQueueAndTheKnowledgeOutliveTheProgram();
    void aQueueFileThatCannotBeReadIsNeverSetAside();
    void theQueueIsNeverWrittenThroughWhatStandsAtItsName_data();
    void theQueueIsNeverWrittenThroughWhatStandsAtItsName();
    void aFullDiskKeepsNothingAndLeavesTheQueueAsItWas();
    void knowledgeThatCannotBeWrittenIsToldAndServesTheRun();

    void keptEventsReachTheLogInTheirOrderOnce();
    void sendingAnEventAgainStoresNothing();
    void anEventTheLostServerStoredIsNotStoredTwice();
    void theServerRefusesASecondDeliveryOfOneEvent();
    void anEventDeliveredOutOfTurnIsStoredAndTheCheckTellsThePair();
};

void KeptEventsTest::eachKeptPressIsJudgedByWhatTheClockKnows_data()
{
    QTest::addColumn<QStringList>("known");
    QTest::addColumn<QStringList>("presses");
    QTest::addColumn<QList<int>>("outcomes");
    const int stored = int(ClockOutcome::Stored);
    // "empty" is an empty log; "unknown" a clock that never read Ann's.
    QTest::newRow("in, out, in into an empty log")
        << QStringList{QStringLiteral("empty")} << QStringList{"in", "out", "in"}
        << QList<int>{stored, stored, stored};
    QTest::newRow("in after in") << QStringList{ClockedIn} << QStringList{"in", "out", "out"}
                                 << QList<int>{int(ClockOutcome::MustClockOut), stored,
                                               int(ClockOutcome::MustClockIn)};
    QTest::newRow("out into an empty log")
        << QStringList{QStringLiteral("empty")} << QStringList{"out"}
        << QList<int>{int(ClockOutcome::MustClockInFirst)};
    QTest::newRow("in after an edited status")
        << QStringList{QStringLiteral("out")} << QStringList{"in", "out"}
        << QList<int>{int(ClockOutcome::MustClockOut), int(ClockOutcome::MustClockIn)};
    QTest::newRow("unknown") << QStringList{QStringLiteral("unknown")} << QStringList{"in", "out"}
                             << QList<int>{-1, -1};
}

void KeptEventsTest::eachKeptPressIsJudgedByWhatTheClockKnows()
{
    QFETCH(QStringList, known);
    QFETCH(QStringList, presses);
    QFETCH(QList<int>, outcomes);
    QTemporaryDir folder;
    ClockQueue queue(folder.path());
    queue.learnEmployees({EmployeeRow{Ann, {}, {}}});
    if (known[0] == QLatin1String("empty"))
        queue.learnStatus(Ann, std::nullopt);
    else if (known[0] != QLatin1String("unknown"))
        queue.learnStatus(Ann, known[0]);

    QDateTime now = at("2026-03-02 08:00:00");
    QStringList kept;
    for (int i = 0; i < presses.size(); ++i, now = now.addSecs(60)) {
        const bool in = presses[i] == QLatin1String("in");
        const auto outcome = in ? keepClockIn(queue, AnnSignedOn, {}, now, false)
                                : keepClockOut(queue, AnnSignedOn, now, false);
        QCOMPARE(outcome ? int(*outcome) : -1, outcomes[i]);
        if (outcome == ClockOutcome::Stored)
            kept << (in ? ClockedIn : ClockedOut);
    }
    QCOMPARE(statusesOf(queue), kept);
    QCOMPARE(statusesOf(ClockQueue(folder.path())), kept);
}

void KeptEventsTest::theQueueAndTheKnowledgeOutliveTheProgram()
{
    QTemporaryDir folder;
    QString clock;
    {
        ClockQueue queue = knowingAnn(folder, ClockedOut);
        queue.learnCompany(QStringLiteral("Acme Tools"));
        queue.learnSwitches(Switches{true, false, true, false});
        QVERIFY(keepClockIn(queue, AnnSignedOn, QStringLiteral("Löten, \"Halle\" 2"),
                            at("2026-03-02 08:00:00"), true));
        QVERIFY(keepClockOut(queue, AnnSignedOn, at("2026-03-02 12:00:00"), false));
        clock = queue.clockId();
    }
    ClockQueue again(folder.path());
    QCOMPARE(again.clockId(), clock);
    QCOMPARE(again.events().size(), size_t(2));
    const ClockEvent &in = again.events()[0];
    QCOMPARE(in.employee, Ann);
    QCOMPARE(in.stamp, at("2026-03-02 08:00:00"));
    QCOMPARE(in.task, QStringLiteral("Löten, \"Halle\" 2"));
    QVERIFY(in.mayBeStored);
    QVERIFY(!again.events()[1].mayBeStored);
    QVERIFY(in.id != again.events()[1].id);
    QCOMPARE(again.knowledge().company, QStringLiteral("Acme Tools"));
    QCOMPARE(again.knowledge().switches, (Switches{true, false, true, false}));
    QCOMPARE(again.lastStatus(Ann), std::optional<std::optional<QString>>(ClockedOut));

    // A clock that sent what it kept still knows the last event it sent.
    again.sent();
    again.sent();
    ClockQueue emptied(folder.path());
    QVERIFY(emptied.events().empty());
    QCOMPARE(emptied.clockId(), clock);
    QCOMPARE(emptied.lastStatus(Ann), std::optional<std::optional<QString>>(ClockedOut));
    QVERIFY(!emptied.lastStatus(QStringLiteral("Bob")));
}

void KeptEventsTest::aQueueFileThatCannotBeReadIsNeverSetAside()
{
    for (const QByteArray &text :
         {QByteArray("{\"clock\": \"0123"), QByteArray("[]"),
          QByteArray("{\"clock\": \"00112233445566778899aabbccddeeff\", \"events\": "
                     "[{\"id\": \"x\", \"employee\": \"Ann\"}]}")}) {
        QTemporaryDir folder;
        QFile file(queuePath(folder));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        try {
            ClockQueue queue(folder.path());
            QFAIL("an unreadable queue was read");
        } catch (const DbError &error) {
            QVERIFY2(error.description().contains(QueueFileName), qPrintable(error.description()));
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), text);
    }
}

void KeptEventsTest::theQueueIsNeverWrittenThroughWhatStandsAtItsName_data()
{
    QTest::addColumn<int>("trap");
    QTest::newRow("a link") << int(Trap::Link);
    QTest::newRow("a dangling link") << int(Trap::DanglingLink);
}

void KeptEventsTest::theQueueIsNeverWrittenThroughWhatStandsAtItsName()
{
    QFETCH(int, trap);
    SKIP_UNLESS_SETTABLE(Trap(trap));
    QTemporaryDir folder;
    QTemporaryDir elsewhere;
    ClockQueue queue = knowingAnn(folder, ClockedOut);
    setTrap(Trap(trap), queuePath(folder), elsewhere.path());
    const auto before = entriesOf(folder.path());
    const auto beside = entriesOf(elsewhere.path());

    QVERIFY_THROWS_EXCEPTION(DbError,
                             keepClockIn(queue, AnnSignedOn, {}, at("2026-03-02 08:00:00"), false));
    QVERIFY(queue.events().empty());
    QCOMPARE(entriesOf(folder.path()), before);
    QCOMPARE(entriesOf(elsewhere.path()), beside);
}

void KeptEventsTest::aFullDiskKeepsNothingAndLeavesTheQueueAsItWas()
{
    if (!FileSizeLimit::available())
        QSKIP("This system has no limit on the size of files.");
    QTemporaryDir folder;
    ClockQueue queue = knowingAnn(folder, ClockedOut);
    QVERIFY(keepClockIn(queue, AnnSignedOn, {}, at("2026-03-02 08:00:00"), false));
    const auto before = entriesOf(folder.path());
    {
        const FileSizeLimit full(QFileInfo(queuePath(folder)).size());
        QVERIFY_THROWS_EXCEPTION(
            DbError, keepClockOut(queue, AnnSignedOn, at("2026-03-02 12:00:00"), false));
    }
    QCOMPARE(queue.events().size(), size_t(1));
    QCOMPARE(entriesOf(folder.path()), before);
    QCOMPARE(statusesOf(ClockQueue(folder.path())), QStringList{ClockedIn});
}

void KeptEventsTest::knowledgeThatCannotBeWrittenIsToldAndServesTheRun()
{
    SKIP_UNLESS_SETTABLE(Trap::DanglingLink);
    QTemporaryDir folder;
    QTemporaryDir elsewhere;
    ClockQueue queue(folder.path());
    setTrap(Trap::DanglingLink, QDir(folder.path()).filePath(KnownFileName), elsewhere.path());

    queue.learnStatus(Ann, ClockedIn);
    QVERIFY2(queue.unsavedKnowledge().contains(KnownFileName),
             qPrintable(queue.unsavedKnowledge()));
    QCOMPARE(queue.lastStatus(Ann), std::optional<std::optional<QString>>(ClockedIn));
    QVERIFY(entriesOf(elsewhere.path()).isEmpty());

    QFile::remove(QDir(folder.path()).filePath(KnownFileName));
    queue.learnStatus(Ann, ClockedIn);
    QVERIFY(queue.unsavedKnowledge().isEmpty());
    QCOMPARE(ClockQueue(folder.path()).lastStatus(Ann),
             std::optional<std::optional<QString>>(ClockedIn));
}

void KeptEventsTest::keptEventsReachTheLogInTheirOrderOnce()
{
    REQUIRE_SERVER();
    DataFixture f;
    f.employee(Ann);
    QTemporaryDir folder;
    ClockQueue queue = knowingAnn(folder, std::nullopt);
    QVERIFY(
        keepClockIn(queue, AnnSignedOn, QStringLiteral("Lathe"), at("2026-03-02 08:00:00"), false));
    QVERIFY(keepClockOut(queue, AnnSignedOn, at("2026-03-02 12:00:00"), false));
    QVERIFY(keepClockIn(queue, AnnSignedOn, {}, at("2026-03-02 13:00:00"), false));
    const std::vector<ClockEvent> kept = queue.events();

    QCOMPARE(sendKeptEvents(f.file(), queue), 3);
    QVERIFY(queue.events().empty());
    QVERIFY(ClockQueue(folder.path()).events().empty());
    const QList<LogRow> log = f.log(Ann);
    QCOMPARE(f.stamps(Ann),
             QStringList({"2026-03-02 08:00:00", "2026-03-02 12:00:00", "2026-03-02 13:00:00"}));
    QCOMPARE(f.statuses(Ann), QStringList({ClockedIn, ClockedOut, ClockedIn}));
    QCOMPARE(log[0].activity.toString(), QStringLiteral("Lathe"));
    QVERIFY(log[1].activity.isNull());
    QCOMPARE(log[2].activity.toString(), QStringLiteral(" "));
    QCOMPARE(queue.lastStatus(Ann), std::optional<std::optional<QString>>(ClockedIn));

    // Each is told in the history with its id and its clock.
    QStringList told;
    for (const HistoryEntry &entry : readHistory(f.file())) {
        QCOMPARE(entry.kind, QStringLiteral("delivered"));
        QCOMPARE(entry.subject, Ann);
        QCOMPARE(entry.after->value(DeliveredClockField).toString(), queue.clockId());
        told << entry.after->value(DeliveredEventField).toString();
    }
    QCOMPARE(told, QStringList({kept[0].id, kept[1].id, kept[2].id}));
}

void KeptEventsTest::sendingAnEventAgainStoresNothing()
{
    REQUIRE_SERVER();
    DataFixture f;
    f.employee(Ann);
    const ClockEvent event{randomId(), Ann, at("2026-03-02 08:00:00"), ClockedIn, {}, false};
    QCOMPARE(deliverEvent(f.file(), event, randomId()), Delivery::Stored);
    QCOMPARE(deliverEvent(f.file(), event, randomId()), Delivery::AlreadyStored);
    QCOMPARE(f.statuses(Ann), QStringList({ClockedIn}));
    QCOMPARE(readHistory(f.file()).size(), size_t(1));
}

void KeptEventsTest::anEventTheLostServerStoredIsNotStoredTwice()
{
    REQUIRE_SERVER();
    DataFixture f;
    f.employee(Ann);
    f.event(Ann, {.stamp = QStringLiteral("2026-03-02 08:00:00"),
                  .status = ClockedIn,
                  .activity = QStringLiteral(" ")});
    const ClockEvent stored{randomId(), Ann, at("2026-03-02 08:00:00"), ClockedIn, {}, true};
    QCOMPARE(deliverEvent(f.file(), stored, randomId()), Delivery::AlreadyStored);
    // An event that is known to be new is stored even where a row of its stamp stands.
    const ClockEvent again{randomId(), Ann, at("2026-03-02 08:00:00"), ClockedIn, {}, false};
    QCOMPARE(deliverEvent(f.file(), again, randomId()), Delivery::Stored);
    QCOMPARE(f.statuses(Ann), QStringList({ClockedIn, ClockedIn}));
}

void KeptEventsTest::theServerRefusesASecondDeliveryOfOneEvent()
{
    REQUIRE_SERVER();
    DataFixture f;
    f.employee(Ann);
    const QString id = randomId();
    const QJsonObject after{{DeliveredEventField, id}};
    recordChange(f.file(), ChangeKind::Delivered, Ann, 1, {}, after);
    QVERIFY_THROWS_EXCEPTION(DbError,
                             recordChange(f.file(), ChangeKind::Delivered, Ann, 2, {}, after));
    QCOMPARE(readHistory(f.file()).size(), size_t(1));
}

void KeptEventsTest::anEventDeliveredOutOfTurnIsStoredAndTheCheckTellsThePair()
{
    REQUIRE_SERVER();
    DataFixture f;
    f.employee(Ann);
    f.setNow(QStringLiteral("2026-03-02 18:00:00"));
    QTemporaryDir folder;
    ClockQueue queue = knowingAnn(folder, ClockedOut);
    QVERIFY(keepClockIn(queue, AnnSignedOn, {}, at("2026-03-02 08:05:00"), false));
    // Meanwhile Ann clocked in at another clock, which reached the server.
    f.event(Ann, {.stamp = QStringLiteral("2026-03-02 08:00:00"),
                  .status = ClockedIn,
                  .activity = QStringLiteral(" ")});
    f.event(Ann, QStringLiteral("2026-03-02 12:00:00"), ClockedOut);

    QCOMPARE(sendKeptEvents(f.file(), queue), 1);
    QCOMPARE(f.statuses(Ann), QStringList({ClockedIn, ClockedOut, ClockedIn}));

    f.event(Ann, {.stamp = QStringLiteral("2026-03-02 13:00:00"),
                  .status = ClockedIn,
                  .activity = QStringLiteral(" ")});
    QVERIFY(keepClockOut(queue, AnnSignedOn, at("2026-03-02 16:00:00"), false));
    QVERIFY(keepClockOut(queue, AnnSignedOn, at("2026-03-02 17:00:00"), false) ==
            ClockOutcome::MustClockIn);
    QCOMPARE(sendKeptEvents(f.file(), queue), 1);

    const Period day{at("2026-03-02 00:00:00"), at("2026-03-03 00:00:00")};
    QStringList told;
    for (const Finding &finding : checkPeriod(f.file(), day, f.clock.current).findings) {
        if (finding.kind == FindingKind::DeliveredOutOfTurn)
            told << storedStamp(finding.stamp) + QLatin1Char(' ') + finding.detail;
    }
    // The first kept clock-in came after a clock-out: in turn, though late. The clock-out
    // came after another clock's clock-in: in turn too. Neither is told.
    QVERIFY2(told.isEmpty(), qPrintable(told.join(QLatin1Char('\n'))));

    f.event(Ann, QStringLiteral("2026-03-02 16:30:00"), ClockedOut);
    QVERIFY(keepClockIn(queue, AnnSignedOn, {}, at("2026-03-02 17:10:00"), false));
    f.event(Ann, {.stamp = QStringLiteral("2026-03-02 17:00:00"),
                  .status = ClockedIn,
                  .activity = QStringLiteral(" ")});
    QCOMPARE(sendKeptEvents(f.file(), queue), 1);
    for (const Finding &finding : checkPeriod(f.file(), day, f.clock.current).findings) {
        if (finding.kind == FindingKind::DeliveredOutOfTurn)
            told << storedStamp(finding.stamp) + QLatin1Char(' ') + finding.detail;
    }
    QCOMPARE(told.size(), 1);
    QVERIFY2(
        told[0].startsWith(QStringLiteral("2026-03-02 17:10:00 \"Clocked In\" kept on clock ") +
                           queue.clockId()),
        qPrintable(told[0]));
    QVERIFY2(told[0].contains(QStringLiteral("after \"Clocked In\" of 2026-03-02 17:00:00")),
             qPrintable(told[0]));
    QCOMPARE(f.statuses(Ann).size(), 8);
}

QTEST_MAIN(KeptEventsTest)
#include "test_keptevents.moc"
