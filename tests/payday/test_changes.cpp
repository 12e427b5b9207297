#include "clock/clocking.h"
#include "csvtext.h"
#include "db/cursor.h"
#include "db/database.h"
#include "db/datetimetext.h"
#include "db/employees.h"
#include "db/history.h"
#include "db/timelog.h"
#include "payday/changes.h"
#include "payday/check.h"
#include "payday/export.h"
#include "support/datafixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace horalink;

Q_DECLARE_METATYPE(horalink::Period)

namespace {

Period period(const char *from, const char *to)
{
    const auto read = [](const char *text) {
        const QString full = QString::fromLatin1(text);
        return stamp(full.size() == 10 ? full + QStringLiteral(" 00:00:00")
                                       : full + QStringLiteral(":00"));
    };
    return {read(from), read(to)};
}

// Ann's night shift of 2 to 3 March; her clock-out is corrected on 4 March, an employee is
// added on 20 March, and on 2 April her clock-in of 2 March is moved to 1 April.
void changeAcrossPeriods(DataFixture &f)
{
    f.company();
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 22:00:00"), ClockedIn);
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-03 06:00:00"), ClockedOut);
    f.file().setAuthor(QStringLiteral("Manager"));
    openDatabase(EmployeeMdb).setAuthor(QStringLiteral("Manager"));
    Cursor cursor;
    cursor.setRecordSource(QStringLiteral("Ann"));
    cursor.refresh();
    f.setNow(QStringLiteral("2026-03-04 09:00:00"));
    cursor.moveLast();
    cursor.writeTyped({{QStringLiteral("datetime"), QStringLiteral("2026-03-03 06:30:00")}});
    f.setNow(QStringLiteral("2026-03-20 12:00:00"));
    QCOMPARE(addEmployee(f.file(), {QStringLiteral("Bob"), QStringLiteral("9"), {}, {}}),
             AddOutcome::Added);
    f.setNow(QStringLiteral("2026-04-02 08:00:00"));
    cursor.moveFirst();
    cursor.writeTyped({{QStringLiteral("datetime"), QStringLiteral("2026-04-01 22:00:00")}});
}

// What the check tells of changed events, one line each.
QStringList changedEvents(Connection &connection, const Period &period, const QDateTime &now)
{
    QStringList found;
    for (const Finding &finding : checkPeriod(connection, period, now).findings) {
        if (finding.kind == FindingKind::ChangedAfterStored)
            found << findingLine(finding);
    }
    return found;
}

QStringList kindsOf(const std::vector<HistoryEntry> &changes)
{
    QStringList kinds;
    for (const HistoryEntry &change : changes)
        kinds << change.kind + QLatin1Char(' ') + storedStamp(change.changed);
    return kinds;
}

} // namespace

class ChangesTest : public QObject
{
    Q_OBJECT

private slots:
    void aPeriodsChangesAreThoseMadeInItOrOfItsEvents_data();
    void aPeriodsChangesAreThoseMadeInItOrOfItsEvents();
    void theExportWritesTheChangesBesideTheOtherFiles();
    void theCheckTellsEachEventOfThePeriodChangedAfterItWasStored_data();
    void theCheckTellsEachEventOfThePeriodChangedAfterItWasStored();
};

void ChangesTest::aPeriodsChangesAreThoseMadeInItOrOfItsEvents_data()
{
    QTest::addColumn<Period>("period");
    QTest::addColumn<QStringList>("changes");
    const QString corrected = QStringLiteral("stamp corrected 2026-03-04 09:00:00");
    const QString moved = QStringLiteral("stamp corrected 2026-04-02 08:00:00");
    const QString added = QStringLiteral("employee added 2026-03-20 12:00:00");
    QTest::newRow("the shift's week")
        << period("2026-03-01", "2026-03-08") << QStringList{corrected, moved};
    QTest::newRow("the week the correction was made in")
        << period("2026-03-04", "2026-03-11") << QStringList{corrected};
    QTest::newRow("the rest of March") << period("2026-03-11", "2026-04-01") << QStringList{added};
    QTest::newRow("the week the clock-in was moved to")
        << period("2026-04-01", "2026-04-08") << QStringList{moved};
    QTest::newRow("before anything") << period("2026-02-01", "2026-03-01") << QStringList();
    // A correction concerns the minute the event held before it as much as the one after.
    QTest::newRow("the clock-out's minute before")
        << period("2026-03-03 06:00", "2026-03-03 06:01") << QStringList{corrected};
    QTest::newRow("the clock-out's minute after")
        << period("2026-03-03 06:30", "2026-03-03 06:31") << QStringList{corrected};
    QTest::newRow("between them") << period("2026-03-03 06:01", "2026-03-03 06:30")
                                  << QStringList();
}

void ChangesTest::aPeriodsChangesAreThoseMadeInItOrOfItsEvents()
{
    QFETCH(Period, period);
    QFETCH(QStringList, changes);
    DataFixture f;
    changeAcrossPeriods(f);
    QCOMPARE(kindsOf(periodChanges(f.file(), period)), changes);
}

void ChangesTest::theExportWritesTheChangesBesideTheOtherFiles()
{
    DataFixture f;
    changeAcrossPeriods(f);
    // A name a spreadsheet would take for a formula stays text.
    f.file().setAuthor(QStringLiteral("=HYPERLINK(\"x\")"));
    QVERIFY(storePassword(f.file(), QStringLiteral("Bob"), QStringLiteral("pw")));
    QTemporaryDir folder;
    const WriteOutcome outcome =
        exportPeriod(f.file(), period("2026-03-01", "2026-04-08"), f.clock.current, folder.path(),
                     QLocale(QLocale::German));
    QCOMPARE(outcome.result, WriteOutcome::Result::Written);
    QCOMPARE(outcome.files.value(2), QDir(folder.path()).filePath(ChangesCsv));
    const QList<QStringList> rows = readCsv(contentOf(outcome.files.value(2)), QLatin1Char(';'));
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows[0], QStringList({"Changed", "Changed (UTC)", "Who", "Account", "Table", "Row",
                                   "Change", "Before", "After"}));
    QCOMPARE(rows[1].mid(0, 1), QStringList{"2026-03-04 09:00:00"});
    QCOMPARE(rows[1].mid(2, 1), QStringList{"Manager"});
    QCOMPARE(
        rows[1].mid(4, 5),
        QStringList(
            {"Ann", "2", "stamp corrected",
             R"({"Ename":"Ann","activity":null,"datetime":"2026-03-03 06:00:00","inoutfx":"Clocked Out"})",
             R"({"Ename":"Ann","activity":null,"datetime":"2026-03-03 06:30:00","inoutfx":"Clocked Out"})"}));
    QCOMPARE(rows[4].mid(2, 1), QStringList{"'=HYPERLINK(\"x\")"});
    QCOMPARE(rows[4].mid(4, 3), QStringList({"datalist", "3", "password changed"}));
}

void ChangesTest::theCheckTellsEachEventOfThePeriodChangedAfterItWasStored_data()
{
    QTest::addColumn<Period>("period");
    QTest::addColumn<QStringList>("found");
    const QString clockOut = QStringLiteral(
        "Ann\t2026-03-03 06:30:00\tchanged after it was stored: stamp corrected by Manager "
        "(clerk) at 2026-03-04 09:00:00: row id 2, datetime \"2026-03-03 06:00:00\" is now "
        "\"2026-03-03 06:30:00\"");
    const auto clockIn = [](const char *stamp) {
        return QStringLiteral("Ann\t") + QLatin1String(stamp) +
               QStringLiteral("\tchanged after it was stored: stamp corrected by Manager (clerk) "
                              "at 2026-04-02 08:00:00: row id 1, datetime \"2026-03-02 "
                              "22:00:00\" is now \"2026-04-01 22:00:00\"");
    };
    const QString deleted = QStringLiteral(
        "Ann\t2026-03-03 06:30:00\tchanged after it was stored: deleted last by Man\\nager "
        "(clerk) "
        "at 2026-04-03 10:00:00: row id 2, removed; it held Ename \"Ann\", activity nothing, "
        "datetime \"2026-03-03 06:30:00\", inoutfx \"Clocked Out\"");
    QTest::newRow("the shift's week")
        << period("2026-03-01", "2026-03-08")
        << QStringList{clockOut, clockIn("2026-03-02 22:00:00"), deleted};
    // An employee added in the period, and a correction made in it of another period's
    // event, change none of its events.
    QTest::newRow("the rest of March") << period("2026-03-08", "2026-04-01") << QStringList();
    QTest::newRow("the week the clock-in was moved to")
        << period("2026-04-01", "2026-04-08") << QStringList{clockIn("2026-04-01 22:00:00")};
}

void ChangesTest::theCheckTellsEachEventOfThePeriodChangedAfterItWasStored()
{
    QFETCH(Period, period);
    QFETCH(QStringList, found);
    qputenv("USER", "clerk");
    DataFixture f;
    changeAcrossPeriods(f);
    f.setNow(QStringLiteral("2026-04-03 10:00:00"));
    // A finding stays one line whoever changed the event.
    f.file().setAuthor(QStringLiteral("Man\nager"));
    QVERIFY(deleteLastEvent(f.file(), QStringLiteral("Ann")));
    QCOMPARE(changedEvents(f.file(), period, f.clock.current), found);
}

QTEST_MAIN(ChangesTest)
#include "test_changes.moc"
