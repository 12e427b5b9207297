#include "db/datetimetext.h"
#include "db/sqlite.h"
#include "payday/check.h"
#include "payday/zonechanges.h"
#include "support/datafixture.h"

#include <ctime>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QTest>

using namespace horalink;

namespace {

const QString In = QStringLiteral("Clocked In");
const QString Out = QStringLiteral("Clocked Out");

Period firstQuarter()
{
    return {stamp(QStringLiteral("2026-01-01 00:00:00")),
            stamp(QStringLiteral("2026-04-01 00:00:00"))};
}

// An employee with a log of alternating events, given as stamps and statuses.
void logOf(DataFixture &f, const QString &name, const QList<std::pair<QString, QString>> &events)
{
    f.employee(name);
    for (const auto &[when, status] : events)
        f.event(name, when, status);
}

// A log as stamps and statuses.
using Events = QList<std::pair<QString, QString>>;

Period marchFirstHalf()
{
    return {stamp(QStringLiteral("2026-03-01 00:00:00")),
            stamp(QStringLiteral("2026-03-16 00:00:00"))};
}

QList<Finding> checked(const Events &events, const Period &period, const QDateTime &now,
                       const StampText &stampText = storedStamp)
{
    QList<TimeLogRow> rows;
    for (const auto &[when, status] : events)
        rows << TimeLogRow{stamp(when), {}, status};
    const ZoneChanges zones(QTimeZone("Europe/Berlin"), now.addDays(-400), now.addDays(400));
    return findingsOf(QStringLiteral("Ann"), rows, period, now, zones, stampText);
}

// What the check says of a pair's time zone, in a period that holds the whole pair.
QStringList zoneDetails(const QList<TimeLogRow> &rows)
{
    const Period period{rows.first().stamp, rows.last().stamp.addSecs(60)};
    const QDateTime now = stamp(QStringLiteral("2026-01-01 00:00:00"));
    const ZoneChanges zones(QTimeZone("Europe/Berlin"), now.addDays(-400), now.addDays(400));
    QStringList details;
    for (const Finding &finding : findingsOf(QStringLiteral("Ann"), rows, period, now, zones)) {
        if (finding.kind == FindingKind::ZoneChange || finding.kind == FindingKind::AmbiguousTime)
            details << finding.detail;
    }
    return details;
}

// A finding as the test states it: who, which kind, which row, and the stamp as stored.
QString brief(const Finding &finding)
{
    return finding.employee + QStringLiteral(" | ") + kindText(finding.kind) +
           QStringLiteral(" | %1 | ").arg(finding.row) + storedStamp(finding.stamp);
}

} // namespace

class CheckTest : public QObject
{
    Q_OBJECT

private slots:
    void everyKindIsFoundOnceAndACleanLogNever();
    void zoneChangesCountWallClockAgainstElapsed_data();
    void zoneChangesCountWallClockAgainstElapsed();
    void aStampInARepeatedOrSkippedHourIsToldBothWays_data();
    void aStampInARepeatedOrSkippedHourIsToldBothWays();
    void aClockOutThatNoClockInOpensIsFound_data();
    void aClockOutThatNoClockInOpensIsFound();
    void aShiftOpenThatThePeriodPaysIsFound_data();
    void aShiftOpenThatThePeriodPaysIsFound();
    void everyDateAndTimeOfAFindingIsWrittenInTheFormAsked_data();
    void everyDateAndTimeOfAFindingIsWrittenInTheFormAsked();
};

void CheckTest::everyKindIsFoundOnceAndACleanLogNever()
{
    DataFixture f;
    f.setNow(QStringLiteral("2026-04-01 12:00:00"));
    const QString clean = QStringLiteral("a,\"\u00e9");
    logOf(f, clean,
          {{"2026-03-16 08:00:00", In},
           {"2026-03-16 16:30:00", Out},
           {"2026-03-17 08:00:00", In},
           {"2026-03-17 16:00:00", Out}});
    Statement(f.file(), QStringLiteral("INSERT INTO datalist (ename, ewage) VALUES ('Ghost', '9')"))
        .run();
    f.employee(QStringLiteral("Nora"));
    Statement(f.file(), QStringLiteral("INSERT INTO \"Nora\" (\"Ename\", \"datetime\", inoutfx) "
                                       "VALUES ('Nora', NULL, 'Clocked In')"))
        .run();
    f.event(QStringLiteral("Nora"), QStringLiteral("2026-03-18 16:00:00"), Out);
    logOf(f, QStringLiteral("Finn"), {{"2026-03-31 08:00:00", In}});
    logOf(f, QStringLiteral("Uma"),
          {{"2026-03-18 08:00:00", "clocked in"}, {"2026-03-18 16:00:00", Out}});
    logOf(f, QStringLiteral("x\ny"), {{"2026-03-18 08:00:00", In}, {"2026-03-18 09:00:00", In}});
    logOf(f, QStringLiteral("Eve"),
          {{"2026-03-19 08:00:00", In},
           {"2026-03-19 16:00:00", Out},
           {"2026-03-18 09:00:00", In},
           {"2026-03-18 12:00:00", Out}});
    logOf(f, QStringLiteral("Otto"), {{"2026-03-18 16:00:00", Out}, {"2026-03-19 08:00:00", In}});
    logOf(f, QStringLiteral("Carl"), {{"2026-03-18 16:00:00", Out}});
    logOf(f, QStringLiteral("Nick"), {{"2026-03-18 16:00:00", In}, {"2026-03-18 15:25:00", Out}});
    logOf(f, QStringLiteral("Lena"), {{"2026-03-18 08:00:00", In}, {"2026-03-19 01:05:00", Out}});
    logOf(f, QStringLiteral("Zo\u00eb %1"),
          {{"2026-03-29 01:00:00", In}, {"2026-03-29 05:00:00", Out}});
    logOf(f, QStringLiteral("Ida"), {{"2026-03-29 02:30:00", In}, {"2026-03-29 06:00:00", Out}});
    logOf(f, QStringLiteral("Fay"), {{"2026-04-01 11:00:00", In}, {"2026-04-01 12:30:00", Out}});
    f.employee(QStringLiteral("Tom"));
    for (int day = 0; day < 70; ++day) {
        const QString date = QDate(2026, 1, 1).addDays(day).toString(Qt::ISODate);
        f.event(QStringLiteral("Tom"), date + QStringLiteral(" 06:00:00"), In);
        f.event(QStringLiteral("Tom"), date + QStringLiteral(" 21:00:00"), Out);
    }
    const QByteArray file = [&f] {
        QFile employees(f.databasePath());
        return employees.open(QIODevice::ReadOnly) ? employees.readAll() : QByteArray();
    }();

    const CheckOutcome checked = checkPeriod(f.file(), firstQuarter(), f.clock.current);

    QVERIFY(!checked.cancelled);
    QStringList found;
    for (const Finding &finding : checked.findings)
        found << brief(finding);
    QCOMPARE(found, QStringList({
                        "Ghost | no time log | 0 | ",
                        "Nora | unreadable date and time | 1 | ",
                        "Finn | forgotten clock-out | 1 | 2026-03-31 08:00:00",
                        "Finn | shift still open | 1 | 2026-03-31 08:00:00",
                        "Uma | unknown status | 1 | 2026-03-18 08:00:00",
                        "x\ny | same status twice | 2 | 2026-03-18 09:00:00",
                        "Eve | earlier than the event before it | 3 | 2026-03-18 09:00:00",
                        "Otto | clock-out without a clock-in | 1 | 2026-03-18 16:00:00",
                        "Otto | pair opened by a clock-out | 1 | 2026-03-18 16:00:00",
                        "Carl | clock-out without a clock-in | 1 | 2026-03-18 16:00:00",
                        "Nick | negative pair | 1 | 2026-03-18 16:00:00",
                        "Lena | pair over 16 hours | 1 | 2026-03-18 08:00:00",
                        "Zo\u00eb %1 | pair across a time zone change | 1 | 2026-03-29 01:00:00",
                        "Ida | time the clock showed twice or never | 1 | 2026-03-29 02:30:00",
                        "Fay | dated in the future | 2 | 2026-04-01 12:30:00",
                        "Tom | 1,000 hours or more | 0 | ",
                    }));
    QCOMPARE(findingLine(checked.findings[5]),
             QStringLiteral("x\\ny\t2026-03-18 09:00:00\tsame status twice: \"Clocked In\" "
                            "follows \"Clocked In\""));
    QCOMPARE(findingLine(checked.findings[1]),
             QStringLiteral("Nora\trow 1\tunreadable date and time: row 1 holds no date and time "
                            "that can be read"));
    QCOMPARE(checked.findings[2].detail, QStringLiteral("still clocked in after 28 h 00 min"));
    QCOMPARE(checked.findings[3].detail,
             QStringLiteral("still clocked in at the period's end: it pays 16 h 00 min up to "
                            "2026-04-01 00:00:00, and the periods after it pay the rest"));
    QCOMPARE(checked.findings[10].detail,
             QStringLiteral("clocked out at 2026-03-18 15:25:00, before clocking in: -0 h 35 min"));
    QCOMPARE(checked.findings[13].detail,
             QStringLiteral("210 minutes by the wall clock; 150 or 210 minutes elapsed until "
                            "2026-03-29 06:00:00, as the clock never showed 2026-03-29 02:30:00"));
    QCOMPARE(checked.findings[15].detail,
             QStringLiteral("1050 h 00 min in the period; \"Tot. Hours\" shows \"1050\""));
    QFile employees(f.databasePath());
    QVERIFY(employees.open(QIODevice::ReadOnly));
    QCOMPARE(employees.readAll(), file);
}

void CheckTest::zoneChangesCountWallClockAgainstElapsed_data()
{
    QTest::addColumn<QString>("clockIn");
    QTest::addColumn<QString>("clockOut");
    QTest::addColumn<QString>("detail");
    QTest::newRow("spring forward") << "2026-03-29 01:00:00"
                                    << "2026-03-29 05:00:00"
                                    << "240 minutes by the wall clock, 180 minutes elapsed until "
                                       "2026-03-29 05:00:00";
    QTest::newRow("fall back") << "2026-10-25 01:00:00"
                               << "2026-10-25 05:00:00"
                               << "240 minutes by the wall clock, 300 minutes elapsed until "
                                  "2026-10-25 05:00:00";
    QTest::newRow("beside a change") << "2026-03-28 20:00:00"
                                     << "2026-03-29 01:59:00"
                                     << "";
    QTest::newRow("over both changes") << "2026-03-28 08:00:00"
                                       << "2026-10-26 08:00:00"
                                       << "";
    QTest::newRow("years after the period") << "2030-03-31 01:00:00"
                                            << "2030-03-31 05:00:00"
                                            << "240 minutes by the wall clock, 180 minutes "
                                               "elapsed until 2030-03-31 05:00:00";
}

void CheckTest::zoneChangesCountWallClockAgainstElapsed()
{
    QFETCH(QString, clockIn);
    QFETCH(QString, clockOut);
    QFETCH(QString, detail);
    const QList<TimeLogRow> rows = {{stamp(clockIn), QStringLiteral(" "), In},
                                    {stamp(clockOut), {}, Out}};
    QCOMPARE(zoneDetails(rows), detail.isEmpty() ? QStringList() : QStringList{detail});
}

void CheckTest::aStampInARepeatedOrSkippedHourIsToldBothWays_data()
{
    QTest::addColumn<QString>("clockIn");
    QTest::addColumn<QString>("clockOut");
    QTest::addColumn<QString>("detail");
    // In Berlin the clock shows 02:00 to 03:00 twice on 25 October 2026 and never on 29 March.
    QTest::newRow("wholly in the repeated hour")
        << "2026-10-25 02:10:00"
        << "2026-10-25 02:50:00"
        << "40 minutes by the wall clock; -20, 40 or 100 minutes elapsed until 2026-10-25 "
           "02:50:00, as the clock showed 2026-10-25 02:10:00 twice and the clock showed "
           "2026-10-25 02:50:00 twice";
    QTest::newRow("ending in the repeated hour")
        << "2026-10-24 22:00:00"
        << "2026-10-25 02:30:00"
        << "270 minutes by the wall clock; 270 or 330 minutes elapsed until 2026-10-25 "
           "02:30:00, as the clock showed 2026-10-25 02:30:00 twice";
    QTest::newRow("beginning in the repeated hour")
        << "2026-10-25 02:30:00"
        << "2026-10-25 06:00:00"
        << "210 minutes by the wall clock; 210 or 270 minutes elapsed until 2026-10-25 "
           "06:00:00, as the clock showed 2026-10-25 02:30:00 twice";
    QTest::newRow("ending in the skipped hour")
        << "2026-03-28 22:00:00"
        << "2026-03-29 02:30:00"
        << "270 minutes by the wall clock; 210 or 270 minutes elapsed until 2026-03-29 "
           "02:30:00, as the clock never showed 2026-03-29 02:30:00";
    QTest::newRow("just after the repeated hour") << "2026-10-25 03:00:00"
                                                  << "2026-10-25 04:00:00"
                                                  << "";
}

void CheckTest::aStampInARepeatedOrSkippedHourIsToldBothWays()
{
    QFETCH(QString, clockIn);
    QFETCH(QString, clockOut);
    QFETCH(QString, detail);
    const QList<TimeLogRow> rows = {{stamp(clockIn), {}, In}, {stamp(clockOut), {}, Out}};
    QCOMPARE(zoneDetails(rows), detail.isEmpty() ? QStringList() : QStringList{detail});
}

void CheckTest::aClockOutThatNoClockInOpensIsFound_data()
{
    QTest::addColumn<Events>("events");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("first in the log") << Events{{"2026-03-02 16:00:00", Out}}
                                      << QStringList{"1: the log begins with it: a forgotten "
                                                     "clock-in, or one cleared with the log"};
    QTest::newRow("after a clock-out")
        << Events{{"2026-03-02 08:00:00", In},
                  {"2026-03-02 16:00:00", Out},
                  {"2026-03-03 16:00:00", Out}}
        << QStringList{"3: no clock-in since the clock-out of 2026-03-02 16:00:00: a forgotten "
                       "clock-in"};
    // What a log cleared during a night shift begins with.
    QTest::newRow("shifts after it")
        << Events{{"2026-03-02 06:00:00", Out},
                  {"2026-03-02 22:00:00", In},
                  {"2026-03-03 06:00:00", Out}}
        << QStringList{"1: the log begins with it: a forgotten clock-in, or one cleared with "
                       "the log"};
    QTest::newRow("every clock-out opened") << Events{{"2026-03-02 08:00:00", In},
                                                      {"2026-03-02 16:00:00", Out},
                                                      {"2026-03-03 08:00:00", In},
                                                      {"2026-03-03 16:00:00", Out}}
                                            << QStringList();
}

void CheckTest::aClockOutThatNoClockInOpensIsFound()
{
    QFETCH(Events, events);
    QFETCH(QStringList, found);
    const QDateTime now = stamp(QStringLiteral("2026-03-16 00:00:00"));
    QStringList told;
    for (const Finding &finding : checked(events, marchFirstHalf(), now)) {
        if (finding.kind == FindingKind::ClockOutWithoutClockIn)
            told << QString::number(finding.row) + QStringLiteral(": ") + finding.detail;
    }
    QCOMPARE(told, found);
}

void CheckTest::aShiftOpenThatThePeriodPaysIsFound_data()
{
    QTest::addColumn<Events>("events");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QStringList>("found");
    const Events nightShift{{"2026-03-15 22:00:00", In}};
    QTest::newRow("open at the period's end")
        << nightShift << "2026-03-16 09:00:00"
        << QStringList{"still clocked in at the period's end: it pays 2 h 00 min up to "
                       "2026-03-16 00:00:00, and the periods after it pay the rest"};
    QTest::newRow("before the period has ended")
        << nightShift << "2026-03-15 23:30:20"
        << QStringList{"still clocked in before the period has ended: it pays 1 h 30 min up to "
                       "now; export it again once the period has ended"};
    QTest::newRow("closed after the period's end")
        << Events{{"2026-03-15 22:00:00", In}, {"2026-03-16 06:00:00", Out}}
        << "2026-03-16 09:00:00" << QStringList();
    QTest::newRow("open in the next period")
        << Events{{"2026-03-16 00:00:00", In}} << "2026-03-16 09:00:00" << QStringList();
}

void CheckTest::aShiftOpenThatThePeriodPaysIsFound()
{
    QFETCH(Events, events);
    QFETCH(QString, now);
    QFETCH(QStringList, found);
    QStringList told;
    for (const Finding &finding : checked(events, marchFirstHalf(), stamp(now))) {
        if (finding.kind == FindingKind::OpenShift)
            told << finding.detail;
    }
    QCOMPARE(told, found);
}

void CheckTest::everyDateAndTimeOfAFindingIsWrittenInTheFormAsked_data()
{
    QTest::addColumn<Events>("events");
    QTest::newRow("dated in the future")
        << Events{{"2026-03-18 08:00:00", In}, {"2026-04-02 08:00:00", Out}};
    QTest::newRow("a clock-out after a clock-out") << Events{
        {"2026-03-18 08:00:00", In}, {"2026-03-18 16:00:00", Out}, {"2026-03-19 16:00:00", Out}};
    QTest::newRow("earlier than the event before it") << Events{{"2026-03-19 08:00:00", In},
                                                                {"2026-03-19 16:00:00", Out},
                                                                {"2026-03-18 09:00:00", In},
                                                                {"2026-03-18 12:00:00", Out}};
    QTest::newRow("negative") << Events{{"2026-03-18 16:00:00", In}, {"2026-03-18 15:25:00", Out}};
    QTest::newRow("over 16 hours")
        << Events{{"2026-03-18 08:00:00", In}, {"2026-03-19 01:05:00", Out}};
    QTest::newRow("across a zone change")
        << Events{{"2026-03-29 01:00:00", In}, {"2026-03-29 05:00:00", Out}};
    QTest::newRow("in a skipped hour")
        << Events{{"2026-03-29 02:30:00", In}, {"2026-03-29 06:00:00", Out}};
    QTest::newRow("open at the period's end") << Events{{"2026-03-31 08:00:00", In}};
}

// A window shows dates the way its fields take them, while the tool and the files keep the
// stored form: a date written past the form asked for would show ISO in a German window.
void CheckTest::everyDateAndTimeOfAFindingIsWrittenInTheFormAsked()
{
    QFETCH(Events, events);
    const QDateTime now = stamp(QStringLiteral("2026-04-01 12:00:00"));
    const auto marked = [](const QDateTime &when) {
        return QLatin1Char('<') + storedStamp(when) + QLatin1Char('>');
    };
    const QList<Finding> stored = checked(events, firstQuarter(), now);
    const QList<Finding> shown = checked(events, firstQuarter(), now, marked);

    const QRegularExpression storedForm(
        QStringLiteral("(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d)"));
    bool anyDated = false;
    QCOMPARE(shown.size(), stored.size());
    for (qsizetype at = 0; at < stored.size(); ++at) {
        anyDated = anyDated || stored[at].detail.contains(storedForm);
        QString expected = stored[at].detail;
        expected.replace(storedForm, QStringLiteral("<\\1>"));
        QCOMPARE(shown[at].detail, expected);
        QCOMPARE(whenText(shown[at], marked), marked(stored[at].stamp));
    }
    QVERIFY(anyDated);
}

int main(int argc, char *argv[])
{
    // Before anything reads the zone: a zone with summer time, whatever the machine's. Windows
    // takes its zone from the system and misreads a zone's name in TZ, which ctest sets for
    // Wine, which makes it the system's zone.
#ifdef Q_OS_WIN
    qunsetenv("TZ");
    _tzset();
#else
    qputenv("TZ", "Europe/Berlin");
    tzset();
#endif
    QCoreApplication app(argc, argv);
    CheckTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_check.moc"
