#include "db/datetimetext.h"
#include "db/sqlite.h"
#include "payday/check.h"
#include "payday/zonechanges.h"
#include "support/fixture.h"

#include <ctime>
#include <QApplication>
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
void logOf(Fixture &f, const QString &name, const QList<std::pair<QString, QString>> &events)
{
    f.employee(name);
    for (const auto &[when, status] : events)
        f.event(name, when, status);
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
};

void CheckTest::everyKindIsFoundOnceAndACleanLogNever()
{
    Fixture f;
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
    logOf(f, QStringLiteral("Nick"), {{"2026-03-18 16:00:00", In}, {"2026-03-18 15:25:00", Out}});
    logOf(f, QStringLiteral("Lena"), {{"2026-03-18 08:00:00", In}, {"2026-03-19 01:05:00", Out}});
    logOf(f, QStringLiteral("Zo\u00eb %1"),
          {{"2026-03-29 01:00:00", In}, {"2026-03-29 05:00:00", Out}});
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
                        "Uma | unknown status | 1 | 2026-03-18 08:00:00",
                        "x\ny | same status twice | 2 | 2026-03-18 09:00:00",
                        "Eve | earlier than the event before it | 3 | 2026-03-18 09:00:00",
                        "Otto | pair opened by a clock-out | 1 | 2026-03-18 16:00:00",
                        "Nick | negative pair | 1 | 2026-03-18 16:00:00",
                        "Lena | pair over 16 hours | 1 | 2026-03-18 08:00:00",
                        "Zo\u00eb %1 | pair across a time zone change | 1 | 2026-03-29 01:00:00",
                        "Fay | dated in the future | 2 | 2026-04-01 12:30:00",
                        "Tom | 1,000 hours or more | 0 | ",
                    }));
    QCOMPARE(findingLine(checked.findings[4]),
             QStringLiteral("x\\ny\t2026-03-18 09:00:00\tsame status twice: \"Clocked In\" "
                            "follows \"Clocked In\""));
    QCOMPARE(findingLine(checked.findings[1]),
             QStringLiteral("Nora\trow 1\tunreadable date and time: row 1 holds no date and time "
                            "that can be read"));
    QCOMPARE(checked.findings[2].detail, QStringLiteral("still clocked in after 28 h 00 min"));
    QCOMPARE(checked.findings[7].detail,
             QStringLiteral("clocked out at 2026-03-18 15:25:00, before clocking in: -0 h 35 min"));
    QCOMPARE(checked.findings[11].detail,
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
    const Period period{stamp(clockIn), stamp(clockIn).addSecs(60)};
    const QDateTime now = stamp(QStringLiteral("2026-01-01 00:00:00"));
    const ZoneChanges zones(QTimeZone("Europe/Berlin"), now.addDays(-400), now.addDays(400));

    QStringList details;
    for (const Finding &finding : findingsOf(QStringLiteral("Ann"), rows, period, now, zones)) {
        if (finding.kind == FindingKind::ZoneChange)
            details << finding.detail;
    }
    QCOMPARE(details, detail.isEmpty() ? QStringList() : QStringList{detail});
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
    QApplication app(argc, argv);
    CheckTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_check.moc"
