#include "reports/figures.h"
#include "support/fixture.h"
#include "ui/datacontrol.h"
#include "ui/forms.h"
#include "ui/frmmain.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace horalink;

class TotalsTest : public QObject
{
    Q_OBJECT

private slots:
    void minuteDifferenceCountsBoundaries_data();
    void minuteDifferenceCountsBoundaries();
    void hoursAndWages_data();
    void hoursAndWages();
    void wagesAreReadAsNumbersOnly_data();
    void wagesAreReadAsNumbersOnly();
    void singlePrecisionTotalsOfLongLogs();
    void anOpenShiftIsCountedToNowWithoutWritingARow();
    void anUnpairedLastRowCountsNothing();
    void aWageThatIsNoNumberShowsHoursAndNoWages();
    void getHoursForTheEmployeeShownToTheManager();
};

void TotalsTest::minuteDifferenceCountsBoundaries_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<qint64>("minutes");
    QTest::newRow("one boundary") << "2026-03-02 08:00:59"
                                  << "2026-03-02 08:01:00" << qint64(1);
    QTest::newRow("same minute") << "2026-03-02 08:00:00"
                                 << "2026-03-02 08:00:59" << qint64(0);
    QTest::newRow("over midnight") << "2026-03-02 23:59:30"
                                   << "2026-03-03 00:00:10" << qint64(1);
    QTest::newRow("a leap day") << "2028-02-28 12:00:00"
                                << "2028-03-01 12:00:00" << qint64(2880);
    QTest::newRow("backwards") << "2026-03-02 09:00:00"
                               << "2026-03-02 08:30:00" << qint64(-30);
}

void TotalsTest::minuteDifferenceCountsBoundaries()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(qint64, minutes);
    QCOMPARE(minuteDifference(stamp(from), stamp(to)), minutes);
}

void TotalsTest::hoursAndWages_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("wage");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("wages");
    QTest::newRow("nothing") << 0 << "10"
                             << "0   "
                             << "0";
    QTest::newRow("6 minutes") << 6 << "10"
                               << "0   "
                               << "0";
    QTest::newRow("7 minutes") << 7 << "10"
                               << "0.11"
                               << "1.1";
    // Read in double precision, these hours texts fall just short of their hundredths (0.58
    // times 100 is 57.99...): the hundredths are rounded, never cut.
    QTest::newRow("35 minutes") << 35 << "10"
                                << "0.58"
                                << "5.8";
    QTest::newRow("492 minutes") << 492 << "10"
                                 << "8.2 "
                                 << "82";
    QTest::newRow("80 minutes at 7.33") << 80 << "7.33"
                                        << "1.33"
                                        << "9.7489";
    QTest::newRow("505 minutes at 7.5") << 505 << "7.5"
                                        << "8.41"
                                        << "63.075";
    QTest::newRow("510 minutes at 7.5") << 510 << "7.5"
                                        << "8.5 "
                                        << "63.75";
    QTest::newRow("600 minutes") << 600 << "10"
                                 << "10  "
                                 << "100";
    QTest::newRow("100 hours 30 minutes") << 6030 << "7.5"
                                          << "100."
                                          << "750";
    QTest::newRow("negative") << -30 << "10"
                              << "0   "
                              << "0";
    QTest::newRow("wage with blanks") << 60 << " 12.25 "
                                      << "1   "
                                      << "12.25";
}

void TotalsTest::hoursAndWages()
{
    QFETCH(int, minutes);
    QFETCH(QString, wage);
    QFETCH(QString, hours);
    QFETCH(QString, wages);
    const QString shown = hoursText(addMinutes(0.0f, minutes));
    QCOMPARE(shown, hours);
    QCOMPARE(wagesText(estimatedWages(wage, shown).value()), wages);
}

void TotalsTest::wagesAreReadAsNumbersOnly_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("wage");
    QTest::addColumn<QVariant>("read");
    QTest::newRow("plain") << "en_US"
                           << "7.5" << QVariant(7.5);
    // A wage reads alike in every locale, so that a file typed in one is paid right in any.
    QTest::newRow("comma is no thousands mark") << "en_US"
                                                << "7,50" << QVariant(7.5);
    QTest::newRow("comma in C") << "C"
                                << "7,5" << QVariant(7.5);
    QTest::newRow("german comma") << "de_DE"
                                  << "7,50" << QVariant(7.5);
    QTest::newRow("german point") << "de_DE"
                                  << "7.5" << QVariant(7.5);
    QTest::newRow("grouped") << "en_US"
                             << "1,234.50" << QVariant();
    QTest::newRow("grouped in German") << "de_DE"
                                       << "1.234,50" << QVariant();
    QTest::newRow("two commas") << "de_DE"
                                << "7,5,0" << QVariant();
    QTest::newRow("negative") << "C"
                              << "-7,5" << QVariant(-7.5);
    QTest::newRow("empty") << "en_US"
                           << "" << QVariant();
    QTest::newRow("word") << "en_US"
                          << "ten" << QVariant();
    QTest::newRow("dollar sign") << "en_US"
                                 << "$10" << QVariant();
    QTest::newRow("infinity") << "en_US"
                              << "inf" << QVariant();
    // Beyond double precision: no estimate, though the exact wages are figured from it.
    QTest::newRow("beyond double precision") << "C"
                                             << "1e309" << QVariant();
}

void TotalsTest::wagesAreReadAsNumbersOnly()
{
    QFETCH(QString, locale);
    QFETCH(QString, wage);
    QFETCH(QVariant, read);
    QLocale::setDefault(QLocale(locale));
    const auto value = readNumber(wage);
    QLocale::setDefault(QLocale::c());
    QCOMPARE(value ? QVariant(*value) : QVariant(), read);
}

void TotalsTest::singlePrecisionTotalsOfLongLogs()
{
    // Past 2^24 minutes a single-precision sum no longer counts every minute.
    float total = 16777216.0f;
    total = addMinutes(total, 1);
    QCOMPARE(total, 16777216.0f);
    QCOMPARE(hoursText(total), QStringLiteral("2796"));
}

void TotalsTest::anOpenShiftIsCountedToNowWithoutWritingARow()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"), {.wage = QStringLiteral("7.5")});
    f.event(QStringLiteral("Ann"), {.stamp = QStringLiteral("2026-03-02 09:00:30"),
                                    .status = QStringLiteral("Clocked In"),
                                    .activity = QStringLiteral(" ")});
    f.setNow(QStringLiteral("2026-03-02 17:30:10"));
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
    QCOMPARE(child<QLabel>(f.main(), "currhours")->text(), QStringLiteral("8.5 "));
    QCOMPARE(child<QLabel>(f.main(), "currmoney")->text(), QStringLiteral("63.75"));
    QCOMPARE(f.log(QStringLiteral("Ann")).size(), 1);
    QVERIFY(child<DataControl>(f.main(), "database")->hasCurrentRow());
    QCOMPARE(child<DataControl>(f.main(), "database")->field(QStringLiteral("inoutfx")).toString(),
             QStringLiteral("Clocked In"));
}

void TotalsTest::anUnpairedLastRowCountsNothing()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"), {.wage = QStringLiteral("10")});
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 09:00:00"),
            QStringLiteral("Clocked Out"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 12:00:00"),
            QStringLiteral("Clocked Out"));
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
    QCOMPARE(child<QLabel>(f.main(), "currhours")->text(), QStringLiteral("1   "));
    QCOMPARE(child<QLabel>(f.main(), "currmoney")->text(), QStringLiteral("10"));
    QVERIFY(f.prompts.boxes.isEmpty());
}

void TotalsTest::aWageThatIsNoNumberShowsHoursAndNoWages()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"), {.wage = QStringLiteral("lots")});
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 10:00:00"),
            QStringLiteral("Clocked Out"));
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
    QCOMPARE(child<QLabel>(f.main(), "currhours")->text(), QStringLiteral("2   "));
    QCOMPARE(child<QLabel>(f.main(), "currmoney")->text(), QStringLiteral("0"));
    QVERIFY(f.prompts.boxes.isEmpty());
}

void TotalsTest::getHoursForTheEmployeeShownToTheManager()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(QStringLiteral("Ann"), {.wage = QStringLiteral("7.33")});
    f.employee(QStringLiteral("Bob"), {.wage = QStringLiteral("n/a")});
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 09:20:59"),
            QStringLiteral("Clocked Out"));
    f.event(QStringLiteral("Bob"), QStringLiteral("2026-03-02 08:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Bob"), QStringLiteral("2026-03-02 09:00:00"),
            QStringLiteral("Clocked Out"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    frmmain &main = f.main();

    f.click(QStringLiteral("Command1"));
    QCOMPARE(child<QLineEdit>(main, "manlist")->text(), QStringLiteral("Manager"));
    QCOMPARE(child<QLabel>(main, "manehours")->text(), QStringLiteral("0"));
    QCOMPARE(child<QLabel>(main, "manemoney")->text(), QStringLiteral("0"));

    child<DataControl>(main, "mandata")->moveNext();
    f.click(QStringLiteral("Command1"));
    QCOMPARE(child<QLabel>(main, "manehours")->text(), QStringLiteral("1.33"));
    QCOMPARE(child<QLabel>(main, "manemoney")->text(), QStringLiteral("9.7489"));
    QVERIFY(f.prompts.boxes.isEmpty());

    // Another employee's name never stands beside these figures.
    child<DataControl>(main, "mandata")->moveNext();
    QCOMPARE(child<QLabel>(main, "manehours")->text(), QString());
    QCOMPARE(child<QLabel>(main, "manemoney")->text(), QString());
    f.click(QStringLiteral("Command1"));
    QCOMPARE(child<QLabel>(main, "manehours")->text(), QStringLiteral("1   "));
    QCOMPARE(child<QLabel>(main, "manemoney")->text(), QStringLiteral("0"));
    QCOMPARE(f.prompts.boxes.size(), 1);
    QVERIFY(f.prompts.boxes.first().text.contains(QStringLiteral("n/a")));
    QCOMPARE(f.prompts.boxes.first().icon, Icon::Exclamation);
}

QTEST_MAIN(TotalsTest)
#include "test_totals.moc"
