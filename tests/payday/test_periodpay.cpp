// What each pay period pays of a shift, and how a wage is read wherever the export runs.
#include "csvtext.h"
#include "db/timelog.h"
#include "payday/export.h"
#include "payday/periodrows.h"
#include "support/datafixture.h"

#include <QDir>
#include <QLocale>
#include <QTest>

using namespace horalink;

namespace {

using Events = QList<std::pair<QString, QString>>;
using Minutes = QList<qint64>;

const QString Ann = QStringLiteral("Ann");

QList<TimeLogRow> rowsOf(const Events &events)
{
    QList<TimeLogRow> rows;
    for (const auto &[when, status] : events)
        rows << TimeLogRow{stamp(when), {}, status};
    return rows;
}

// The periods from each edge up to the next.
QList<Period> periodsBetween(const QStringList &edges)
{
    QList<Period> periods;
    for (qsizetype at = 1; at < edges.size(); ++at)
        periods << Period{stamp(edges[at - 1]), stamp(edges[at])};
    return periods;
}

// A column of the summary by its title, one entry per employee row.
QMap<QString, QString> summaryColumn(const QString &folder, const QString &title)
{
    const QList<QStringList> rows =
        readCsv(contentOf(QDir(folder).filePath(SummaryCsv)), QLatin1Char(','));
    const qsizetype column = rows.first().indexOf(title);
    QMap<QString, QString> out;
    for (qsizetype row = 1; row < rows.size(); ++row)
        out[rows[row].first()] = rows[row][column];
    return out;
}

} // namespace

class PeriodPayTest : public QObject
{
    Q_OBJECT

private slots:
    void periodsThatFollowEachOtherPayEveryMinuteOnce_data();
    void periodsThatFollowEachOtherPayEveryMinuteOnce();
    void twoExportsAddUpToTheMinutesWorked();
    void aWageIsReadAlikeInEveryLocale_data();
    void aWageIsReadAlikeInEveryLocale();
};

void PeriodPayTest::periodsThatFollowEachOtherPayEveryMinuteOnce_data()
{
    QTest::addColumn<Events>("events");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QStringList>("edges");
    QTest::addColumn<Minutes>("paid");
    const QStringList halves{"2026-03-01 00:00:00", "2026-03-16 00:00:00", "2026-03-31 00:00:00"};
    const QString later = QStringLiteral("2026-04-01 12:00:00");
    QTest::newRow("night shift over the period's end")
        << Events{{"2026-03-15 22:00:40", ClockedIn}, {"2026-03-16 06:00:10", ClockedOut}} << later
        << halves << Minutes{120, 360};
    // 23:59:59 to 00:00:01 passes one minute boundary, and the first period holds it.
    QTest::newRow("one minute boundary at midnight")
        << Events{{"2026-03-15 23:59:59", ClockedIn}, {"2026-03-16 00:00:01", ClockedOut}} << later
        << halves << Minutes{1, 0};
    QTest::newRow("clocked out in the next period's first minute")
        << Events{{"2026-03-15 22:00:00", ClockedIn}, {"2026-03-16 00:00:30", ClockedOut}} << later
        << halves << Minutes{120, 0};
    QTest::newRow("open over the period's end")
        << Events{{"2026-03-15 22:00:00", ClockedIn}} << "2026-03-16 07:15:30" << halves
        << Minutes{120, 435};
    QTest::newRow("open before the period has ended")
        << Events{{"2026-03-15 20:00:00", ClockedIn}} << "2026-03-15 23:00:00" << halves
        << Minutes{180, 0};
    QTest::newRow("longer than a period")
        << Events{{"2026-03-01 12:00:00", ClockedIn}, {"2026-03-03 12:00:00", ClockedOut}} << later
        << QStringList{"2026-03-01 00:00:00", "2026-03-02 00:00:00", "2026-03-03 00:00:00",
                       "2026-03-04 00:00:00"}
        << Minutes{720, 1440, 720};
    QTest::newRow("counted backwards, kept with its clock-in")
        << Events{{"2026-03-16 06:00:00", ClockedIn}, {"2026-03-15 22:00:00", ClockedOut}} << later
        << halves << Minutes{0, -480};
    QTest::newRow("shifts on both sides") << Events{{"2026-03-15 08:00:00", ClockedIn},
                                                    {"2026-03-15 16:30:00", ClockedOut},
                                                    {"2026-03-16 08:00:00", ClockedIn},
                                                    {"2026-03-16 16:00:00", ClockedOut}}
                                          << later << halves << Minutes{510, 480};
}

void PeriodPayTest::periodsThatFollowEachOtherPayEveryMinuteOnce()
{
    QFETCH(Events, events);
    QFETCH(QString, now);
    QFETCH(QStringList, edges);
    QFETCH(Minutes, paid);
    const QList<TimeLogRow> rows = rowsOf(events);
    Minutes got;
    for (const Period &period : periodsBetween(edges)) {
        const EmployeePeriod pay =
            employeePeriod({Ann, QStringLiteral("10")}, rows, period, stamp(now));
        got << pay.minutes.value_or(-1);
        // events.csv carries the same minutes as summary.csv.
        qint64 onRows = 0;
        for (const std::optional<qint64> &minutes : pay.pairMinutes)
            onRows += minutes.value_or(0);
        QCOMPARE(onRows, got.last());
    }
    QCOMPARE(got, paid);
}

void PeriodPayTest::twoExportsAddUpToTheMinutesWorked()
{
    DataFixture f;
    f.employee(Ann, {.wage = QStringLiteral("10")});
    f.event(Ann, QStringLiteral("2026-03-15 22:00:00"), ClockedIn);
    f.event(Ann, QStringLiteral("2026-03-16 06:00:00"), ClockedOut);
    f.event(Ann, QStringLiteral("2026-03-30 13:30:15"), ClockedIn);
    f.event(Ann, QStringLiteral("2026-03-30 21:45:50"), ClockedOut);
    f.employee(QStringLiteral("Bob"), {.wage = QStringLiteral("12")});
    f.event(QStringLiteral("Bob"), QStringLiteral("2026-03-15 23:10:00"), ClockedIn);
    const QString first = f.folder() + QStringLiteral("/first");
    const QString second = f.folder() + QStringLiteral("/second");
    QVERIFY(QDir().mkpath(first) && QDir().mkpath(second));
    const QList<Period> periods =
        periodsBetween({"2026-03-01 00:00:00", "2026-03-16 00:00:00", "2026-03-31 00:00:00"});

    // Bob is still clocked in when the first period is exported, and clocks out later.
    f.setNow(QStringLiteral("2026-03-16 06:00:00"));
    QCOMPARE(exportPeriod(f.file(), periods[0], f.clock.current, first, QLocale::c()).result,
             WriteOutcome::Result::Written);
    f.event(QStringLiteral("Bob"), QStringLiteral("2026-03-16 07:10:00"), ClockedOut);
    f.setNow(QStringLiteral("2026-03-31 09:00:00"));
    QCOMPARE(exportPeriod(f.file(), periods[1], f.clock.current, second, QLocale::c()).result,
             WriteOutcome::Result::Written);

    const auto before = summaryColumn(first, QStringLiteral("Minutes"));
    const auto after = summaryColumn(second, QStringLiteral("Minutes"));
    // Ann: 8 h and 8 h 15 min by minute boundaries; Bob: 8 h.
    const QMap<QString, qint64> worked{{Ann, 480 + 495}, {QStringLiteral("Bob"), 480}};
    for (auto employee = worked.cbegin(); employee != worked.cend(); ++employee)
        QCOMPARE(before[employee.key()].toLongLong() + after[employee.key()].toLongLong(),
                 employee.value());
    QCOMPARE(before[QStringLiteral("Bob")], QStringLiteral("50"));
}

void PeriodPayTest::aWageIsReadAlikeInEveryLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("wage");
    QTest::addColumn<QString>("clockOut");
    QTest::addColumn<QStringList>("wages");
    for (const char *locale : {"C", "en_US", "de_DE"}) {
        const QString name = QString::fromLatin1(locale);
        // 8 h 30 min.
        QTest::addRow("7,5 in %s", locale)
            << name << "7,5"
            << "2026-03-02 16:30:00" << QStringList{"63.75", "63.75", "0.00"};
        // 1 h 20 min: 9.7733... to the cent, and the program's 1.33 hours.
        QTest::addRow("7,33 in %s", locale)
            << name << "7,33"
            << "2026-03-02 09:20:00" << QStringList{"9.77", "9.7489", "0.0211"};
        QTest::addRow("2.675 in %s", locale)
            << name << "2.675"
            << "2026-03-02 09:00:00" << QStringList{"2.68", "2.675", "0.005"};
    }
}

// An export from cron runs in the C locale, whatever the window that took the wage spoke.
void PeriodPayTest::aWageIsReadAlikeInEveryLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, wage);
    QFETCH(QString, clockOut);
    QFETCH(QStringList, wages);
    DataFixture f;
    QLocale::setDefault(QLocale(locale));
    f.employee(Ann, {.wage = wage});
    f.event(Ann, QStringLiteral("2026-03-02 08:00:00"), ClockedIn);
    f.event(Ann, clockOut, ClockedOut);
    const Period period{stamp(QStringLiteral("2026-03-01 00:00:00")),
                        stamp(QStringLiteral("2026-03-16 00:00:00"))};
    const WriteOutcome outcome =
        exportPeriod(f.file(), period, f.clock.current, f.folder(), QLocale::c());

    QCOMPARE(outcome.result, WriteOutcome::Result::Written);
    const QStringList got{summaryColumn(f.folder(), QStringLiteral("Exact Wages"))[Ann],
                          summaryColumn(f.folder(), QStringLiteral("Est. Wages"))[Ann],
                          summaryColumn(f.folder(), QStringLiteral("Difference"))[Ann]};
    QCOMPARE(got, wages);
}

QTEST_MAIN(PeriodPayTest)
#include "test_periodpay.moc"
