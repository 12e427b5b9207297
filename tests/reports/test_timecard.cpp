#include "db/datetimetext.h"
#include "db/sqlite.h"
#include "db/timelogrows.h"
#include "recordingprinter.h"
#include "reports/card.h"
#include "support/datafixture.h"

#include <QTest>

using namespace horalink;

using Items = QList<CardItem>;
Q_DECLARE_METATYPE(Items)

namespace {

const QString Company = QStringLiteral("Acme Tools");
const QString Ann = QStringLiteral("Ann");

// Rows from stored stamps; an empty text stands for a Null stamp.
QList<TimeLogRow> rowsOf(const QStringList &stamps)
{
    QList<TimeLogRow> rows;
    for (const QString &text : stamps)
        rows << TimeLogRow{stamp(text), QStringLiteral(" ")};
    return rows;
}

// Pairs of the given lengths in minutes, one a day from March 1st, clock-ins at 08:00:30.
QList<TimeLogRow> pairsOf(const QList<int> &minutes)
{
    QList<TimeLogRow> rows;
    QDateTime clockIn = stamp(QStringLiteral("2026-03-01 08:00:30"));
    for (int length : minutes) {
        rows << TimeLogRow{clockIn, QStringLiteral("work")}
             << TimeLogRow{clockIn.addSecs(length * 60), {}};
        clockIn = clockIn.addDays(1);
    }
    return rows;
}

const QDateTime Now = stamp(QStringLiteral("2026-03-20 17:30:10"));

TimeCard managerCardOf(const QList<TimeLogRow> &rows, const QString &ending = "3/20/2026")
{
    return managerCard(Company, Ann, rows, readDateTime(ending).value(), Now);
}

PrintedDocument printed(const TimeCard &card)
{
    RecordingPrinter printer;
    printCard(card, printer);
    return printer.documents.value(0);
}

QList<CardLine> detailLines(const TimeCard &card)
{
    // Six header lines above, two blank lines and the total below.
    return card.lines.mid(6, card.lines.size() - 9);
}

QString detail(const TimeCard &card, int line, int item)
{
    return detailLines(card).value(line).items.value(item).text;
}

QString totalLine(const TimeCard &card)
{
    return card.lines.last().items.value(0).text;
}

// "in|out" of every detail line, as stored stamps; a clock-out printed as now shows "now".
QStringList pairsPrinted(const TimeCard &card)
{
    QStringList pairs;
    for (const CardLine &line : detailLines(card)) {
        const QString out = line.items[1].text == generalDateText(Now)
                                ? QStringLiteral("now")
                                : storedStamp(readDateTime(line.items[1].text).value());
        pairs << storedStamp(readDateTime(line.items[0].text).value()) + QLatin1Char('|') + out;
    }
    return pairs;
}

} // namespace

class TimeCardTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void itemsGoToTheirColumnsOrTheNextLine_data();
    void itemsGoToTheirColumnsOrTheNextLine();
    void subtotalsOfOnePair_data();
    void subtotalsOfOnePair();
    void totals_data();
    void totals();
    void theManagersCardLineByLine();
    void selectionAroundTheEndingDate_data();
    void selectionAroundTheEndingDate();
    void theUsersCardPairsEveryRow_data();
    void theUsersCardPairsEveryRow();
    void rowsAreReadInStoredOrderWithNulls();
    void aCardThatFitsOnePageIsPrintedAsItAlwaysWas_data();
    void aCardThatFitsOnePageIsPrintedAsItAlwaysWas();
    void aLongerCardRepeatsItsHeadAndNumbersItsPages_data();
    void aLongerCardRepeatsItsHeadAndNumbersItsPages();
};

void TimeCardTest::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TimeCardTest::itemsGoToTheirColumnsOrTheNextLine_data()
{
    QTest::addColumn<Items>("items");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("apart") << Items{{5, "in"}, {12, "out"}} << QStringList{"    in     out"};
    QTest::newRow("ending just before the column")
        << Items{{1, "abcd"}, {5, "x"}} << QStringList{"abcdx"};
    QTest::newRow("reaching into the column")
        << Items{{1, "abcde"}, {5, "x"}} << QStringList{"abcde", "    x"};
    QTest::newRow("a long activity pushes the subtotal down")
        << Items{{70, QString(45, 'W')}, {110, "8.4"}}
        << QStringList{QString(69, ' ') + QString(45, 'W'), QString(109, ' ') + "8.4"};
    QTest::newRow("an earlier column") << Items{{5, "a"}, {1, "b"}} << QStringList{"    a", "b"};
    QTest::newRow("an empty item still takes its place")
        << Items{{70, ""}, {110, ".5"}} << QStringList{QString(109, ' ') + ".5"};
}

void TimeCardTest::itemsGoToTheirColumnsOrTheNextLine()
{
    QFETCH(Items, items);
    QFETCH(QStringList, lines);
    RecordingPrinter printer;
    printCard({QStringLiteral("card"), {CardLine{items}}}, printer);
    QCOMPARE(printer.documents.value(0).lines, lines);
}

void TimeCardTest::subtotalsOfOnePair_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("users");
    QTest::addColumn<QString>("managers");

    QTest::newRow("505") << 505 << "8.41"
                         << "8.4";
    QTest::newRow("30") << 30 << "0.5 "
                        << ".5";
    QTest::newRow("600") << 600 << "10  "
                         << "10.0";
    QTest::newRow("half up") << 537 << "8.95"
                             << "9.0";
    QTest::newRow("7") << 7 << "0.11"
                       << ".1";
    QTest::newRow("6") << 6 << "<.1 "
                       << "<.1 ";
    QTest::newRow("backwards") << -30 << "<.1 "
                               << "<.1 ";
}

void TimeCardTest::subtotalsOfOnePair()
{
    QFETCH(int, minutes);
    QFETCH(QString, users);
    QFETCH(QString, managers);
    const QList<TimeLogRow> rows = pairsOf({minutes});
    QCOMPARE(detail(userCard(Company, Ann, rows, false, Now), 0, 3), users);
    QCOMPARE(detail(managerCardOf(rows), 0, 3), managers);
}

void TimeCardTest::totals_data()
{
    QTest::addColumn<QList<int>>("minutes");
    QTest::addColumn<QString>("users");
    QTest::addColumn<QString>("managers");

    // The manager's total adds the rounded figures, the user's the minutes.
    QTest::newRow("505 and 30") << QList<int>{505, 30} << "8.91"
                                << "8.9";
    QTest::newRow("all short") << QList<int>{6, 6} << "0.2 "
                               << "<.1 ";
    QTest::newRow("one short") << QList<int>{6} << "<.1 "
                               << "<.1 ";
    QTest::newRow("none") << QList<int>{} << "<.1 "
                          << "<.1 ";
    QTest::newRow("short ones add nothing") << QList<int>{505, 6} << "8.51"
                                            << "8.4";
    QTest::newRow("600") << QList<int>{600} << "10  "
                         << "10.0";
}

void TimeCardTest::totals()
{
    QFETCH(QList<int>, minutes);
    QFETCH(QString, users);
    QFETCH(QString, managers);
    const QList<TimeLogRow> rows = pairsOf(minutes);
    QCOMPARE(totalLine(userCard(Company, Ann, rows, false, Now)),
             "Ann has a total of " + users + " hours ");
    QCOMPARE(totalLine(managerCardOf(rows)), "Ann has a total of " + managers + " hours ");
}

void TimeCardTest::theManagersCardLineByLine()
{
    const QList<TimeLogRow> rows = {
        {stamp("2026-03-02 08:00:30"), QStringLiteral("Sorting bolts")},
        {stamp("2026-03-02 16:25:10"), {}},
        {stamp("2026-03-02 16:30:00"), {}},
        {stamp("2026-03-02 17:00:00"), {}},
        {stamp("2026-03-03 08:00:00"), QStringLiteral("after the ending date")},
    };
    const PrintedDocument card = printed(managerCard(
        Company, Ann, rows, stamp("2026-03-03 00:00:00"), stamp("2026-03-03 09:00:00")));
    QCOMPARE(card.name, QStringLiteral("Ann 2026-03-03"));
    const QStringList lines = {
        "Horalink Data for:  Acme Tools",
        "",
        "",
        "Employee Name:  Ann",
        "",
        "    Clock In                           Clock Out                     Activity            "
        "                    Sub Total (Hours)",
        "    3/2/2026 8:00:30 AM                3/2/2026 4:25:10 PM           Sorting bolts       "
        "                    8.4",
        "    3/2/2026 4:30:00 PM                3/2/2026 5:00:00 PM                               "
        "                    .5",
        "",
        "",
        "Ann has a total of 8.9 hours ",
    };
    QCOMPARE(card.lines, lines);
    QCOMPARE(card.underlined,
             QStringList({"Clock In", "Clock Out", "Activity", "Sub Total (Hours)"}));
    QCOMPARE(card.pages, 1);
    QVERIFY(card.ended);

    const PrintedDocument nothing =
        printed(managerCard(Company, Ann, rows, stamp("2026-03-02 08:00:00"), Now));
    QCOMPARE(nothing.lines.size(), 9);
    QCOMPARE(nothing.lines.last(), QStringLiteral("Ann has a total of <.1  hours "));
}

void TimeCardTest::selectionAroundTheEndingDate_data()
{
    QTest::addColumn<QStringList>("stamps");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QStringList>("pairs");

    QTest::newRow("a clock-in in the ending minute starts nothing")
        << QStringList{"2026-03-02 09:00:10", "2026-03-02 10:00:00"} << "3/2/2026 9:00:40 AM"
        << QStringList{};
    QTest::newRow("a clock-out in the ending minute still closes")
        << QStringList{"2026-03-02 08:59:59", "2026-03-02 09:00:59"} << "3/2/2026 9:00:40 AM"
        << QStringList{"2026-03-02 08:59:59|2026-03-02 09:00:59"};
    QTest::newRow("a clock-out after the ending date is now")
        << QStringList{"2026-03-02 08:00:00", "2026-03-02 09:01:00"} << "3/2/2026 9:00:40 AM"
        << QStringList{"2026-03-02 08:00:00|now"};
    QTest::newRow("a missing clock-out is now")
        << QStringList{"2026-03-01 08:00:00", "2026-03-01 12:00:00", "2026-03-02 08:00:00"}
        << "3/2/2026 9:00 AM"
        << QStringList{"2026-03-01 08:00:00|2026-03-01 12:00:00", "2026-03-02 08:00:00|now"};
    QTest::newRow("a date alone is the start of that day")
        << QStringList{"2026-03-01 23:59:59", "2026-03-02 01:00:00", "2026-03-02 00:00:30",
                       "2026-03-02 08:00:00"}
        << "3/2/2026" << QStringList{"2026-03-01 23:59:59|now"};
    QTest::newRow("rows after the ending date are passed over one by one")
        << QStringList{"2026-03-03 08:00:00", "2026-03-01 08:00:00", "2026-03-01 12:00:00"}
        << "2026-03-02" << QStringList{"2026-03-01 08:00:00|2026-03-01 12:00:00"};
    QTest::newRow("an unreadable clock-in is passed over")
        << QStringList{"", "2026-03-01 08:00:00", "2026-03-01 12:00:00"} << "2026-03-02"
        << QStringList{"2026-03-01 08:00:00|2026-03-01 12:00:00"};
}

void TimeCardTest::selectionAroundTheEndingDate()
{
    QFETCH(QStringList, stamps);
    QFETCH(QString, ending);
    QFETCH(QStringList, pairs);
    QCOMPARE(pairsPrinted(managerCardOf(rowsOf(stamps), ending)), pairs);
}

void TimeCardTest::theUsersCardPairsEveryRow_data()
{
    QTest::addColumn<QStringList>("stamps");
    QTest::addColumn<bool>("clockedIn");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("pairs");
    QTest::addColumn<QString>("total");

    QTest::newRow("clocked in") << QStringList{"2026-03-20 09:00:30"} << true
                                << "Horalink Log for  Acme Tools"
                                << QStringList{"2026-03-20 09:00:30|now"} << "8.5 ";
    QTest::newRow("clocked out") << QStringList{"2026-03-20 09:00:30", "2026-03-20 09:30:00"}
                                 << false << "Horalink Log for:  Acme Tools"
                                 << QStringList{"2026-03-20 09:00:30|2026-03-20 09:30:00"}
                                 << "0.5 ";
    // A log that does not alternate: its last row without a partner ends now.
    QTest::newRow("an unpaired last row")
        << QStringList{"2026-03-20 08:00:00", "2026-03-20 09:00:00", "2026-03-20 17:00:00"} << false
        << "Horalink Log for:  Acme Tools"
        << QStringList{"2026-03-20 08:00:00|2026-03-20 09:00:00", "2026-03-20 17:00:00|now"}
        << "1.5 ";
}

void TimeCardTest::theUsersCardPairsEveryRow()
{
    QFETCH(QStringList, stamps);
    QFETCH(bool, clockedIn);
    QFETCH(QString, title);
    QFETCH(QStringList, pairs);
    QFETCH(QString, total);
    const TimeCard card = userCard(Company, Ann, rowsOf(stamps), clockedIn, Now);
    QCOMPARE(card.lines.value(0).items.value(0).text, title);
    QCOMPARE(pairsPrinted(card), pairs);
    QCOMPARE(totalLine(card), "Ann has a total of " + total + " hours ");
}

void TimeCardTest::rowsAreReadInStoredOrderWithNulls()
{
    DataFixture f;
    f.employee(Ann);
    f.event(
        Ann,
        {.stamp = "2026-03-02 09:00:00", .status = "Clocked In", .activity = "late stamp first"});
    f.event(Ann, "2026-03-01 17:00:00", "Clocked Out");
    Statement nullStamp(f.file(),
                        "INSERT INTO \"Ann\" (\"Ename\", inoutfx) VALUES ('Ann', 'Clocked In')");
    nullStamp.run();
    const QList<TimeLogRow> rows = readTimeLogRows(f.file(), Ann);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].stamp, stamp("2026-03-02 09:00:00"));
    QCOMPARE(rows[0].activity.toString(), QStringLiteral("late stamp first"));
    QCOMPARE(rows[1].stamp, stamp("2026-03-01 17:00:00"));
    QVERIFY(rows[1].activity.isNull());
    QVERIFY(!rows[2].stamp.isValid());
}

void TimeCardTest::aCardThatFitsOnePageIsPrintedAsItAlwaysWas_data()
{
    QTest::addColumn<int>("pageHeight");
    // The card takes 11 lines: six above the two pairs, three below.
    QTest::newRow("a printer without pages") << 0;
    QTest::newRow("a page just high enough") << 11;
    QTest::newRow("a roomy page") << 80;
}

void TimeCardTest::aCardThatFitsOnePageIsPrintedAsItAlwaysWas()
{
    QFETCH(int, pageHeight);
    RecordingPrinter printer;
    printer.pageHeight = pageHeight;
    printCard(userCard(Company, Ann, pairsOf({505, 30}), false, Now), printer);

    const QString monday = generalDateText(stamp("2026-03-01 08:00:30"));
    const QString tuesday = generalDateText(stamp("2026-03-02 08:00:30"));
    QCOMPARE(printer.calls,
             QStringList({"startDocument Ann 2026-03-20",
                          "print 1 Horalink Log for:  Acme Tools",
                          "endLine",
                          "endLine",
                          "endLine",
                          "print 1 Employee Name:  Ann",
                          "endLine",
                          "endLine",
                          "underline on",
                          "print 5 Clock In",
                          "print 40 Clock Out",
                          "print 70 Activity",
                          "print 110 Sub Total (Hours)",
                          "endLine",
                          "underline off",
                          "print 5 " + monday,
                          "print 40 " + generalDateText(stamp("2026-03-01 16:25:30")),
                          "print 70 work",
                          "print 110 8.41",
                          "endLine",
                          "print 5 " + tuesday,
                          "print 40 " + generalDateText(stamp("2026-03-02 08:30:30")),
                          "print 70 work",
                          "print 110 0.5 ",
                          "endLine",
                          "endLine",
                          "endLine",
                          "print 1 Ann has a total of 8.91 hours ",
                          "endLine",
                          "endPage",
                          "endDocument"}));
}

void TimeCardTest::aLongerCardRepeatsItsHeadAndNumbersItsPages_data()
{
    QTest::addColumn<int>("pairs");
    QTest::addColumn<QString>("activity");
    QTest::addColumn<int>("pageHeight");
    // How many detail lines each page holds; the last page also holds the total.
    QTest::addColumn<QList<int>>("detailsOnPages");

    // Nine pairs take 18 lines; the total stays with the blank lines above it.
    QTest::newRow("one line too many") << 9 << "work" << 17 << QList<int>{9, 0};
    QTest::newRow("many pages") << 100 << "work" << 20 << QList<int>{14, 14, 14, 14, 14, 14, 14, 2};
    // An activity that reaches past the subtotal's column pushes it onto a line of its own.
    QTest::newRow("pushed subtotals take a line each")
        << 3 << QString(45, QLatin1Char('W')) << 14 << QList<int>{3, 0};
    QTest::newRow("pushed subtotals, many pages")
        << 10 << QString(45, QLatin1Char('W')) << 13 << QList<int>{3, 3, 3, 1};
}

void TimeCardTest::aLongerCardRepeatsItsHeadAndNumbersItsPages()
{
    QFETCH(int, pairs);
    QFETCH(QString, activity);
    QFETCH(int, pageHeight);
    QFETCH(QList<int>, detailsOnPages);
    QList<TimeLogRow> rows = pairsOf(QList<int>(pairs, 505));
    for (qsizetype row = 0; row < rows.size(); row += 2)
        rows[row].activity = activity;
    const TimeCard card = userCard(Company, Ann, rows, false, Now);
    RecordingPrinter printer;
    printer.pageHeight = pageHeight;
    printCard(card, printer);

    RecordingPrinter onePage;
    printCard(card, onePage);
    const QStringList whole = onePage.documents.value(0).lines;

    const PrintedDocument printed = printer.documents.value(0);
    const qsizetype pages = detailsOnPages.size();
    QCOMPARE(printed.pages, pages);
    const int linesOfADetail = activity.size() > 40 ? 2 : 1;
    QStringList details;
    for (qsizetype page = 0; page < pages; ++page) {
        const QStringList lines = printed.pageLines.value(page);
        QVERIFY2(lines.size() <= pageHeight, qPrintable(QString::number(lines.size())));
        QStringList head = whole.first(6);
        head[1] = QString(109, QLatin1Char(' ')) + "Page " + QString::number(page + 1) + " of " +
                  QString::number(pages);
        QCOMPARE(lines.first(6), head);
        const qsizetype detailLines = detailsOnPages[page] * linesOfADetail;
        details << lines.mid(6, detailLines);
        QCOMPARE(lines.mid(6 + detailLines), page + 1 < pages ? QStringList() : whole.last(3));
    }
    QCOMPARE(details, whole.mid(6, pairs * linesOfADetail));
    QCOMPARE(printed.underlined.size(), 4 * pages);
}

QTEST_MAIN(TimeCardTest)
#include "test_timecard.moc"
