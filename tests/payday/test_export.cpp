#include "csvtext.h"
#include "db/history.h"
#include "db/sqlite.h"
#include "payday/export.h"
#include "reports/decimal.h"
#include "support/datafixture.h"

#include <QDir>
#include <QTest>

using namespace horalink;

namespace {

const QString Ann = QStringLiteral("Ann");
// A name a spreadsheet must quote, with a letter beyond ASCII.
const QString Quoted = QStringLiteral("a,\"\u00e9");
// A name with a line break, and the marker QString::arg would replace.
const QString Broken = QStringLiteral("x\ny %1");

// The same figures as the C locale writes them, decimals with a point.
using Rows = QList<QStringList>;

Period februaryPeriod()
{
    return {stamp(QStringLiteral("2026-02-16 00:00:00")),
            stamp(QStringLiteral("2026-03-02 00:00:00"))};
}

// A file whose employees each show one way a period counts: Ann's 100 h 30 min at 7.5, night
// shifts over the period's start and over its end, a wage that is no number with a shift open
// at the period's end, a name listed twice, a name listed without a log, and a wage that ends in a
// half cent.
void payrollLog(DataFixture &f)
{
    f.employee(Ann, {.wage = QStringLiteral("7.5")});
    f.event(Ann, {.stamp = QStringLiteral("2026-02-16 08:00:00"),
                  .status = QStringLiteral("Clocked In"),
                  .activity = QStringLiteral("assembly")});
    f.event(Ann, QStringLiteral("2026-02-20 12:30:00"), QStringLiteral("Clocked Out"));

    f.employee(Quoted, {.wage = QStringLiteral("7.33")});
    f.event(Quoted, QStringLiteral("2026-02-15 20:00:00"), QStringLiteral("Clocked In"));
    f.event(Quoted, QStringLiteral("2026-02-16 04:00:00"), QStringLiteral("Clocked Out"));
    f.event(Quoted, {.stamp = QStringLiteral("2026-02-17 08:00:30"),
                     .status = QStringLiteral("Clocked In"),
                     .activity = Broken});
    f.event(Quoted, QStringLiteral("2026-02-17 09:20:10"), QStringLiteral("Clocked Out"));
    f.event(Quoted, {.stamp = QStringLiteral("2026-03-01 22:00:00"),
                     .status = QStringLiteral("Clocked In"),
                     .activity = QStringLiteral(" ")});
    f.event(Quoted, QStringLiteral("2026-03-02 06:00:00"), QStringLiteral("Clocked Out"));

    f.employee(Broken, {.wage = QStringLiteral("abc")});
    f.event(Broken, QStringLiteral("2026-02-18 09:00:00"), QStringLiteral("Clocked In"));
    f.event(Broken, QStringLiteral("2026-02-18 10:00:00"), QStringLiteral("Clocked Out"));
    f.event(Broken, QStringLiteral("2026-03-01 23:00:00"), QStringLiteral("Clocked In"));

    f.employee(Ann, {.wage = QStringLiteral("99")});
    Statement ghost(f.file(),
                    QStringLiteral("INSERT INTO datalist (ename, ewage) VALUES ('Ghost', '10')"));
    ghost.run();

    f.employee(QStringLiteral("Olga"), {.wage = QStringLiteral("2.675")});
    f.event(QStringLiteral("Olga"), QStringLiteral("2026-02-28 23:30:45"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Olga"), QStringLiteral("2026-03-01 00:30:45"),
            QStringLiteral("Clocked Out"));
}

const Rows Summary = {
    {"Name", "Wage", "Minutes", "Hours", "Exact Wages", "Tot. Hours", "Est. Wages", "Difference"},
    {"Manager", "0", "0", "0.00", "0.00", "0", "0", "0.00"},
    {Ann, "7.5", "6030", "100.50", "753.75", "100.", "750", "3.75"},
    {Quoted, "7.33", "440", "7.33", "53.75", "7.33", "53.7289", "0.0211"},
    {Broken, "abc", "120", "2.00", "", "2", "", ""},
    {"Ghost", "10", "", "", "", "", "", ""},
    {"Olga", "2.675", "60", "1.00", "2.68", "1", "2.675", "0.005"},
};

const Rows Events = {
    {"Name", "Date and Time", "Status", "Activity", "Minutes", "Shift"},
    {Ann, "2026-02-16T08:00:00", "Clocked In", "assembly", "", ""},
    {Ann, "2026-02-20T12:30:00", "Clocked Out", "", "6030", ""},
    {Quoted, "2026-02-15T20:00:00", "Clocked In", "", "", ""},
    {Quoted, "2026-02-16T04:00:00", "Clocked Out", "", "240", "split"},
    {Quoted, "2026-02-17T08:00:30", "Clocked In", Broken, "", ""},
    {Quoted, "2026-02-17T09:20:10", "Clocked Out", "", "80", ""},
    {Quoted, "2026-03-01T22:00:00", "Clocked In", " ", "", ""},
    {Quoted, "2026-03-02T06:00:00", "Clocked Out", "", "120", "split"},
    {Broken, "2026-02-18T09:00:00", "Clocked In", "", "", ""},
    {Broken, "2026-02-18T10:00:00", "Clocked Out", "", "60", ""},
    {Broken, "2026-03-01T23:00:00", "Clocked In", "", "60", "open"},
    {"Olga", "2026-02-28T23:30:45", "Clocked In", "", "", ""},
    {"Olga", "2026-03-01T00:30:45", "Clocked Out", "", "60", ""},
};

// The figures columns of the summary written with the locale's decimal mark.
Rows withDecimalMark(Rows rows, QChar mark)
{
    for (qsizetype row = 1; row < rows.size(); ++row) {
        for (int column = 3; column < rows[row].size(); ++column)
            rows[row][column].replace(QLatin1Char('.'), mark);
    }
    return rows;
}

} // namespace

class ExportTest : public QObject
{
    Q_OBJECT

private slots:
    void exactWagesAreFiguredInDecimal_data();
    void exactWagesAreFiguredInDecimal();
    void bothFilesHoldThePeriodAsTheLocaleReadsIt_data();
    void bothFilesHoldThePeriodAsTheLocaleReadsIt();
    void aCancelledOrFailedExportLeavesTheFolderAsItWas_data();
    void aCancelledOrFailedExportLeavesTheFolderAsItWas();
    void textsASpreadsheetWouldRunAreWrittenAsText_data();
    void textsASpreadsheetWouldRunAreWrittenAsText();
};

void ExportTest::exactWagesAreFiguredInDecimal_data()
{
    QTest::addColumn<QString>("wage");
    QTest::addColumn<qint64>("minutes");
    QTest::addColumn<QString>("wages");
    QTest::newRow("100 h 30 min at 7.5") << "7.5" << qint64(6030) << "753.75";
    QTest::newRow("a third of a cent") << "7.33" << qint64(80) << "9.77";
    // 2.675 is 2.67499999... in binary; decimal halves go to the even cent.
    QTest::newRow("half up to even") << "2.675" << qint64(60) << "2.68";
    QTest::newRow("half down to even") << " 2.665 " << qint64(60) << "2.66";
    QTest::newRow("exactly half a cent") << "0.01" << qint64(30) << "0.00";
    QTest::newRow("a hair over half a cent") << "0.0100000000000000000001" << qint64(30) << "0.01";
    QTest::newRow("negative minutes") << "10" << qint64(-35) << "-5.83";
    QTest::newRow("exponent") << "1.5e1" << qint64(90) << "22.50";
    QTest::newRow("beyond 64 bits")
        << "12345678901234567.89" << qint64(6000000000LL) << "1234567890123456789000000.00";
    QTest::newRow("decimal comma") << "7,33" << qint64(80) << "9.77";
    QTest::newRow("grouping mark") << "1,007.5" << qint64(60) << "";
    QTest::newRow("no number") << "7.5 $" << qint64(60) << "";
    QTest::newRow("no digits") << "." << qint64(60) << "";
    QTest::newRow("absurd exponent") << "1e999999" << qint64(60) << "";
    // Figured exactly, though beyond what the estimated wages can read.
    QTest::newRow("beyond double precision")
        << "1e309" << qint64(60) << QStringLiteral("1") + QString(309, QLatin1Char('0')) + ".00";
    QTest::newRow("largest exponent")
        << "1e400" << qint64(60) << QStringLiteral("1") + QString(400, QLatin1Char('0')) + ".00";
    QTest::newRow("beyond the largest exponent") << "1e401" << qint64(60) << "";
}

void ExportTest::exactWagesAreFiguredInDecimal()
{
    QFETCH(QString, wage);
    QFETCH(qint64, minutes);
    QFETCH(QString, wages);
    const auto read = Decimal::read(wage);
    QCOMPARE(read ? read->forMinutes(minutes).text() : QString(), wages);
}

void ExportTest::bothFilesHoldThePeriodAsTheLocaleReadsIt_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QChar>("mark");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << QChar(',')
                           << QChar('.');
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << QChar(';')
                           << QChar(',');
}

void ExportTest::bothFilesHoldThePeriodAsTheLocaleReadsIt()
{
    QFETCH(QLocale, locale);
    QFETCH(QChar, separator);
    QFETCH(QChar, mark);
    DataFixture f;
    payrollLog(f);
    // An older file gains the history with the export's entry.
    const auto withoutHistory = [&f] {
        QStringList schema = f.schema();
        schema.removeIf([](const QString &line) { return line.contains(HistoryTable); });
        return schema;
    };
    const QStringList schema = withoutHistory();
    const QStringList stamps = f.stamps(QStringLiteral("Ann"));
    const std::size_t entries = readHistory(f.file()).size();
    QStringList told;

    const WriteOutcome outcome =
        exportPeriod(f.file(), februaryPeriod(), f.clock.current, f.folder(), locale,
                     [&told](int done, int total, const QString &name) {
                         told << QStringLiteral("%1/%2 ").arg(done).arg(total) + name;
                         return true;
                     });

    QCOMPARE(outcome.result, WriteOutcome::Result::Written);
    const QString summary = QDir(f.folder()).filePath(SummaryCsv);
    const QString events = QDir(f.folder()).filePath(EventsCsv);
    QCOMPARE(outcome.files,
             QStringList({summary, events, QDir(f.folder()).filePath(QStringLiteral("changes.csv")),
                          QDir(f.folder()).filePath(QStringLiteral("digests.json"))}));
    QCOMPARE(readCsv(contentOf(summary), separator), withDecimalMark(Summary, mark));
    QCOMPARE(readCsv(contentOf(events), separator), Events);
    QCOMPARE(told, QStringList({"1/6 Manager", "2/6 Ann", "3/6 " + Quoted, "4/6 " + Broken,
                                "5/6 Ghost", "6/6 Olga"}));
    // The export adds its own entry to the change history, and nothing else.
    QCOMPARE(withoutHistory(), schema);
    QCOMPARE(f.stamps(QStringLiteral("Ann")), stamps);
    const std::vector<HistoryEntry> history = readHistory(f.file());
    QCOMPARE(history.size(), entries + 1);
    QCOMPARE(history.back().kind, QStringLiteral("exported"));
}

void ExportTest::aCancelledOrFailedExportLeavesTheFolderAsItWas_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("cancelled after the second employee") << true;
    QTest::newRow("events.csv cannot be written") << false;
}

void ExportTest::aCancelledOrFailedExportLeavesTheFolderAsItWas()
{
    QFETCH(bool, cancel);
    DataFixture f;
    payrollLog(f);
    QDir folder(f.folder());
    QVERIFY(folder.mkdir(QStringLiteral("out")));
    folder.cd(QStringLiteral("out"));
    QFile earlier(folder.filePath(SummaryCsv));
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("last period\r\n");
    earlier.close();
    if (!cancel)
        QVERIFY(folder.mkdir(EventsCsv));

    const WriteOutcome outcome = exportPeriod(
        f.file(), februaryPeriod(), f.clock.current, folder.path(), QLocale(),
        [cancel](int done, int, const QString &) { return !cancel || done < 2; },
        NewFile::Existing::RegularFileReplaced);

    QCOMPARE(outcome.result,
             cancel ? WriteOutcome::Result::Cancelled : WriteOutcome::Result::Failed);
    QVERIFY(outcome.files.isEmpty());
    QCOMPARE(outcome.failure.isEmpty(), cancel);
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList{SummaryCsv});
    QCOMPARE(contentOf(folder.filePath(SummaryCsv)), QByteArray("last period\r\n"));
}

void ExportTest::textsASpreadsheetWouldRunAreWrittenAsText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("wage");
    QTest::addColumn<QString>("task");
    QTest::addColumn<QStringList>("shown");
    const auto row = [](const char *title, const QString &name, const QString &wage,
                        const QString &task, const QStringList &shown) {
        QTest::newRow(title) << name << wage << task << shown;
    };
    const QString link = QStringLiteral("=HYPERLINK(\"http://x\",\"y\")");
    row("a task that is a formula", Ann, "7.5", link, {Ann, "7.5", "'" + link});
    row("a name with a plus", "+Ann", "7.5", "", {"'+Ann", "7.5", ""});
    row("a name with a minus", "-x", "7.5", "", {"'-x", "7.5", ""});
    row("a name with an at", "@x", "7.5", "", {"'@x", "7.5", ""});
    row("a wage that is a formula", Ann, "=1+1", "", {Ann, "'=1+1", ""});
    row("a task after a tab", Ann, "7.5", "\t=1+1", {Ann, "7.5", "'\t=1+1"});
    row("a task after a carriage return", Ann, "7.5", "\r=1+1", {Ann, "7.5", "'\r=1+1"});
    row("a negative wage stays a number", Ann, "-5", "-2.5", {Ann, "-5", "-2.5"});
    row("a signed task stays a number", Ann, "+7", "+3", {Ann, "+7", "+3"});
    row("a minus before a sum", Ann, "-5+5", "", {Ann, "'-5+5", ""});
}

void ExportTest::textsASpreadsheetWouldRunAreWrittenAsText()
{
    QFETCH(QString, name);
    QFETCH(QString, wage);
    QFETCH(QString, task);
    QFETCH(QStringList, shown);
    DataFixture f;
    f.employee(name, {.wage = wage});
    f.event(name, {.stamp = QStringLiteral("2026-02-16 08:00:00"),
                   .status = QStringLiteral("Clocked In"),
                   .activity = task});
    f.event(name, QStringLiteral("2026-02-16 12:00:00"), QStringLiteral("Clocked Out"));

    const WriteOutcome outcome =
        exportPeriod(f.file(), februaryPeriod(), f.clock.current, f.folder(), QLocale::c());

    QCOMPARE(outcome.result, WriteOutcome::Result::Written);
    const Rows summary = readCsv(contentOf(outcome.files.value(0)), QLatin1Char(','));
    const Rows events = readCsv(contentOf(outcome.files.value(1)), QLatin1Char(','));
    QCOMPARE(summary.value(2).mid(0, 2), shown.mid(0, 2));
    QCOMPARE(events.value(1).value(0), shown[0]);
    QCOMPARE(events.value(1).value(3), shown[2]);
}

QTEST_MAIN(ExportTest)
#include "test_export.moc"
