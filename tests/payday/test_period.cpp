// The pay-period window: its dates, its three actions, and the way from a finding to its
// employee.
#include "clock/clocking.h"
#include "csvtext.h"
#include "db/connection.h"
#include "db/database.h"
#include "db/employees.h"
#include "filetraps.h"
#include "payday/check.h"
#include "support/fixture.h"
#include "ui/datacontrol.h"
#include "ui/forms.h"
#include "ui/frmmain.h"
#include "ui/frmperiod.h"
#include "ui/program.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace horalink;

namespace {

frmperiod &openPeriod(Fixture &f)
{
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(QStringLiteral("Ann"), {.wage = QStringLiteral("7.5")});
    f.employee(QStringLiteral("Bob, \"Jr\""), {.wage = QStringLiteral("9")});
    // Bob forgot to clock out the day before yesterday.
    f.event(QStringLiteral("Bob, \"Jr\""), QStringLiteral("2026-02-28 08:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-02-27 08:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-02-27 16:30:00"),
            QStringLiteral("Clocked Out"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.click(QStringLiteral("PayPeriod"));
    f.takeBoxes();
    return forms().frmperiod();
}

// Employees whose figures a wrong program gets wrong: a shift over midnight, a wage whose
// hundredths round, a shift across the period's end that pays only its first part, and an
// employee listed without a time log, whose figures are not known.
void payday(Fixture &f)
{
    f.employee(QStringLiteral("Dee"), {.wage = QStringLiteral("13.33")});
    f.event(QStringLiteral("Dee"), QStringLiteral("2026-02-20 22:10:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Dee"), QStringLiteral("2026-02-21 06:35:00"),
            QStringLiteral("Clocked Out"));
    f.event(QStringLiteral("Dee"), QStringLiteral("2026-03-01 22:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Dee"), QStringLiteral("2026-03-02 06:25:00"),
            QStringLiteral("Clocked Out"));
    Statement(f.file(), QStringLiteral("INSERT INTO datalist (ename, ewage) VALUES ('Ghost', '9')"))
        .run();
}

QStringList rowOf(const QTableWidget &table, int row)
{
    QStringList texts;
    for (int column = 0; column < table.columnCount(); ++column)
        texts << (table.item(row, column) ? table.item(row, column)->text() : QString());
    return texts;
}

// The titles, as written on one line.
QStringList titlesOf(const QTableWidget &table)
{
    QStringList titles;
    for (int column = 0; column < table.columnCount(); ++column)
        titles << table.horizontalHeaderItem(column)->text().replace(QLatin1Char('\n'),
                                                                     QLatin1Char(' '));
    return titles;
}

// Double-clicks a cell as the mouse does.
void doubleClick(QTableWidget &table, int row, int column)
{
    QApplication::processEvents();
    const QPoint at = table.visualItemRect(table.item(row, column)).center();
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class PeriodWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void theCheckListsFindingsThatLeadToTheirEmployee();
    void exportAndBackUpWriteIntoTheFolderPicked();
    void anUnreadableDateOrNoFolderDoesNothing();
    void aPeriodThatHoldsNoMinuteIsRefused_data();
    void aPeriodThatHoldsNoMinuteIsRefused();
    void aBackUpTheServerRefusesIsToldAndTheProgramGoesOn();
    void anEarlierExportIsReplacedOnlyWhenTheManagerAgrees();
    void aFullDiskIsToldAndLeavesNothing();
    void theFiguresAreTheRowsTheExportWrites_data();
    void theFiguresAreTheRowsTheExportWrites();
    void theListsShowTheLocalesDatesAndGrowWithTheWindow();
    void aListOfAnotherPeriodIsNeverShownBesideTheDatesTyped();
    void theCheckListsTheChangesThatConcernThePeriod();
    void anEarlierExportIsComparedWithTheRecordAsItStands();
    void aFileThatMayOnlyBeReadExportsNothingAndTheProgramGoesOn();
};

void PeriodWindowTest::theCheckListsFindingsThatLeadToTheirEmployee()
{
    Fixture f;
    frmperiod &window = openPeriod(f);
    QVERIFY(window.isVisible());
    QCOMPARE(child<QLineEdit>(window, "fromdate")->text(), QStringLiteral("2/16/2026"));
    QCOMPARE(child<QLineEdit>(window, "todate")->text(), QStringLiteral("3/2/2026"));

    child<QPushButton>(window, "Check")->click();
    // Forgotten, and open at the period's end.
    QCOMPARE(child<QTableWidget>(window, "findings")->rowCount(), 2);
    QCOMPARE(child<QTableWidget>(window, "findings")->item(0, 0)->text(),
             QStringLiteral("Bob, \"Jr\""));
    QCOMPARE(child<QTableWidget>(window, "findings")->item(1, 2)->text(),
             QStringLiteral("shift still open"));
    doubleClick(*child<QTableWidget>(window, "findings"), 0, 3);
    QCOMPARE(child<QTabWidget>(f.main(), "SSTab1")->currentIndex(), 1);
    QCOMPARE(child<QLineEdit>(f.main(), "manlist")->text(), QStringLiteral("Bob, \"Jr\""));

    child<QLineEdit>(window, "fromdate")->setText(QStringLiteral("2/27/2026"));
    child<QLineEdit>(window, "todate")->setText(QStringLiteral("2/28/2026"));
    f.event(QStringLiteral("Bob, \"Jr\""), QStringLiteral("2026-02-28 16:00:00"),
            QStringLiteral("Clocked Out"));
    child<QPushButton>(window, "Check")->click();
    QCOMPARE(child<QTableWidget>(window, "findings")->rowCount(), 1);
    QCOMPARE(child<QTableWidget>(window, "findings")->item(0, 0)->text(), NoExceptions);
    QVERIFY(f.prompts.boxes.isEmpty());
}

void PeriodWindowTest::exportAndBackUpWriteIntoTheFolderPicked()
{
    Fixture f;
    frmperiod &window = openPeriod(f);
    QTemporaryDir out;
    f.prompts.folders = {out.path(), out.path()};
    child<QPushButton>(window, "Export")->click();
    QCOMPARE(f.prompts.progressed.last(), QStringLiteral("Employee 3 of 3: Bob, \"Jr\""));
    child<QPushButton>(window, "BackUp")->click();

    const QStringList written = QDir(out.path()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(written, QStringList({"Employee 2026-03-02 173010.mdb", "changes.csv", "digests.json",
                                   "events.csv", "summary.csv"}));
    const QList<Box> boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[0].icon, Icon::Information);
    QVERIFY(boxes[0].text.contains(QStringLiteral("summary.csv")));
    QVERIFY(boxes[1].text.contains(QStringLiteral("Employee 2026-03-02 173010.mdb")));
}

void PeriodWindowTest::anUnreadableDateOrNoFolderDoesNothing()
{
    Fixture f;
    frmperiod &window = openPeriod(f);
    child<QPushButton>(window, "Export")->click();
    child<QPushButton>(window, "BackUp")->click();
    QCOMPARE(f.prompts.proposedFolders.size(), 2);
    child<QLineEdit>(window, "todate")->setText(QStringLiteral("payday"));
    child<QPushButton>(window, "Check")->click();
    child<QPushButton>(window, "Export")->click();
    QCOMPARE(f.prompts.proposedFolders.size(), 2);
    QCOMPARE(f.takeBoxes(),
             QList<Box>(2, warningBox(QStringLiteral("Invalid Date / Time.  Please correct the "
                                                     "entry and try again"),
                                      QStringLiteral("Pay Period"))));
    QCOMPARE(child<QTableWidget>(window, "findings")->rowCount(), 0);
}

void PeriodWindowTest::aPeriodThatHoldsNoMinuteIsRefused_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("ends before it starts") << "3/2/2026"
                                           << "2/16/2026";
    QTest::newRow("ends where it starts") << "3/2/2026 8:00"
                                          << "3/2/2026 8:00:59";
}

void PeriodWindowTest::aPeriodThatHoldsNoMinuteIsRefused()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    Fixture f;
    frmperiod &window = openPeriod(f);
    QTemporaryDir out;
    f.prompts.folders = {out.path()};
    child<QLineEdit>(window, "fromdate")->setText(from);
    child<QLineEdit>(window, "todate")->setText(to);
    child<QPushButton>(window, "Export")->click();
    child<QPushButton>(window, "Check")->click();

    const Box refusal =
        warningBox(QStringLiteral("The period holds no minute: \"To (not included)\" must come "
                                  "after \"From\"."),
                   QStringLiteral("Pay Period"));
    QCOMPARE(f.takeBoxes(), QList<Box>(2, refusal));
    QVERIFY(f.prompts.proposedFolders.isEmpty());
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList());
    QCOMPARE(child<QTableWidget>(window, "findings")->rowCount(), 0);
}

void PeriodWindowTest::aBackUpTheServerRefusesIsToldAndTheProgramGoesOn()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    frmperiod &window = openPeriod(f);
    QTemporaryDir out;
    f.prompts.folders = {out.path()};
    f.file().exec(QStringLiteral("DROP TABLE datalist"));
    child<QPushButton>(window, "BackUp")->click();

    QVERIFY(!programEnded());
    const QList<Box> boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].icon, Icon::Exclamation);
    QVERIFY2(boxes[0].text.contains(QStringLiteral("datalist")), qPrintable(boxes[0].text));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList());
}

void PeriodWindowTest::anEarlierExportIsReplacedOnlyWhenTheManagerAgrees()
{
    Fixture f;
    frmperiod &window = openPeriod(f);
    QTemporaryDir out;
    f.prompts.folders = {out.path(), out.path(), out.path()};
    child<QPushButton>(window, "Export")->click();
    const QString summary = out.filePath(QStringLiteral("summary.csv"));
    QFile::remove(summary);
    QFile earlier(summary);
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("last period");
    earlier.close();
    f.takeBoxes();
    const Box question{QDir::toNativeSeparators(out.path()) +
                           QStringLiteral(" holds summary.csv and events.csv of an earlier "
                                          "export. Replace them?"),
                       QStringLiteral("Pay Period"), Icon::Question, Buttons::YesNo, Button::No};

    f.prompts.answers = {Button::No};
    child<QPushButton>(window, "Export")->click();
    QCOMPARE(f.takeBoxes(), QList<Box>{question});
    QCOMPARE(contentOf(summary), QByteArray("last period"));

    f.prompts.answers = {Button::Yes};
    child<QPushButton>(window, "Export")->click();
    const QList<Box> boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[0], question);
    QCOMPARE(boxes[1].icon, Icon::Information);
    QCOMPARE(readCsv(contentOf(summary), QLatin1Char(',')).value(2).value(0),
             QStringLiteral("Ann"));
}

void PeriodWindowTest::aFullDiskIsToldAndLeavesNothing()
{
    if (!FileSizeLimit::available())
        QSKIP("Needs a file size limit for processes.");
    Fixture f;
    frmperiod &window = openPeriod(f);
    QTemporaryDir out;
    f.prompts.folders = {out.path(), out.path()};
    {
        const FileSizeLimit full(64);
        child<QPushButton>(window, "Export")->click();
        child<QPushButton>(window, "BackUp")->click();
    }
    const QList<Box> boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), 2);
    for (const Box &box : boxes)
        QCOMPARE(box.icon, Icon::Exclamation);
    QCOMPARE(entriesOf(out.path()), (QMap<QString, QString>()));
}

void PeriodWindowTest::theFiguresAreTheRowsTheExportWrites_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("dee");
    QTest::newRow("en_US") << "en_US" << QStringList{"Dee",    "13.33", "625",     "10.42",
                                                     "138.85", "10.4",  "138.632", "0.218"};
    QTest::newRow("de_DE") << "de_DE" << QStringList{"Dee",    "13.33", "625",     "10,42",
                                                     "138,85", "10,4",  "138,632", "0,218"};
}

void PeriodWindowTest::theFiguresAreTheRowsTheExportWrites()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, dee);
    Fixture f;
    // After the fixture, which sets its own.
    QLocale::setDefault(QLocale(locale));
    frmperiod &window = openPeriod(f);
    payday(f);
    QTemporaryDir out;
    f.prompts.folders = {out.path()};
    child<QPushButton>(window, "Check")->click();
    child<QPushButton>(window, "Export")->click();

    const QList<QStringList> written = readCsv(
        contentOf(out.filePath(QStringLiteral("summary.csv"))),
        QLocale(locale).decimalPoint() == QLatin1String(",") ? QLatin1Char(';') : QLatin1Char(','));
    const QTableWidget &figures = *child<QTableWidget>(window, "figures");
    QCOMPARE(titlesOf(figures), written.value(0));
    QCOMPARE(figures.rowCount(), written.size() - 1);
    for (int row = 0; row < figures.rowCount(); ++row)
        QCOMPARE(rowOf(figures, row), written[row + 1]);
    QCOMPARE(rowOf(figures, figures.rowCount() - 2), dee);
    QCOMPARE(rowOf(figures, figures.rowCount() - 1),
             QStringList({"Ghost", "9", "", "", "", "", "", ""}));
}

void PeriodWindowTest::theListsShowTheLocalesDatesAndGrowWithTheWindow()
{
    Fixture f;
    // After the fixture, which sets its own.
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    frmperiod &window = openPeriod(f);
    QCOMPARE(window.size(),
             QSize(Form::twips(7200), Form::twips(4800)).expandedTo(window.minimumSizeHint()));
    QVERIFY(window.maximumWidth() > window.width() && window.maximumHeight() > window.height());
    child<QPushButton>(window, "Check")->click();

    const QTableWidget &findings = *child<QTableWidget>(window, "findings");
    QCOMPARE(rowOf(findings, 1),
             QStringList({"Bob, \"Jr\"", "28.02.2026 08:00:00", "shift still open",
                          "still clocked in at the period's end: it pays 40 h 00 min up to "
                          "02.03.2026 00:00:00, and the periods after it pay the rest"}));
    // The detail wraps instead of running off to the side, and the figures fit as they are.
    f.processEvents();
    QCOMPARE(findings.horizontalScrollBar()->maximum(), 0);
    QCOMPARE(child<QTableWidget>(window, "figures")->horizontalScrollBar()->maximum(), 0);
    const int rowHeight = findings.rowHeight(1);
    window.resize(window.size() + QSize(400, 300));
    f.processEvents();
    QCOMPARE(findings.horizontalScrollBar()->maximum(), 0);
    QVERIFY(findings.rowHeight(1) <= rowHeight);
    QVERIFY(child<QTableWidget>(window, "figures")->height() >
            child<QTableWidget>(window, "figures")->minimumHeight());

    const QList<QTableWidgetItem *> bob =
        child<QTableWidget>(window, "figures")
            ->findItems(QStringLiteral("Bob, \"Jr\""), Qt::MatchExactly);
    QCOMPARE(bob.size(), 1);
    doubleClick(*child<QTableWidget>(window, "figures"), bob[0]->row(), 4);
    QCOMPARE(child<QLineEdit>(f.main(), "manlist")->text(), QStringLiteral("Bob, \"Jr\""));
}

void PeriodWindowTest::aListOfAnotherPeriodIsNeverShownBesideTheDatesTyped()
{
    Fixture f;
    frmperiod &window = openPeriod(f);
    child<QPushButton>(window, "Check")->click();
    QVERIFY(child<QTableWidget>(window, "figures")->rowCount() > 0);
    child<QLineEdit>(window, "todate")->setFocus();
    QTest::keyClick(child<QLineEdit>(window, "todate"), Qt::Key_Backspace);
    QCOMPARE(child<QTableWidget>(window, "findings")->rowCount(), 0);
    QCOMPARE(child<QTableWidget>(window, "figures")->rowCount(), 0);
}

void PeriodWindowTest::theCheckListsTheChangesThatConcernThePeriod()
{
    Fixture f;
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    frmperiod &window = openPeriod(f);
    // Both after the period's end: the removed event was stamped in it, the password was not.
    Connection &program = openDatabase(EmployeeMdb);
    QVERIFY(deleteLastEvent(program, QStringLiteral("Ann")));
    QVERIFY(storePassword(program, QStringLiteral("Ann"), QStringLiteral("open")));
    child<QPushButton>(window, "Check")->click();

    QCOMPARE(titlesOf(*child<QTableWidget>(window, "changes")),
             QStringList({"Changed", "Who", "Employee", "Change", "Before", "After"}));
    QCOMPARE(child<QTableWidget>(window, "changes")->rowCount(), 1);
    const QStringList removed = rowOf(*child<QTableWidget>(window, "changes"), 0);
    QCOMPARE(removed.value(0), QStringLiteral("02.03.2026 17:30:10"));
    QVERIFY2(removed.value(1).startsWith(QStringLiteral("Manager")), qPrintable(removed[1]));
    QCOMPARE(removed.mid(2, 2), QStringList({"Ann", "deleted last"}));
    QVERIFY2(removed.value(4).contains(QStringLiteral("datetime: 27.02.2026 16:30:00")),
             qPrintable(removed[4]));
    QCOMPARE(removed.value(5), QString());
    // Before and after wrap instead of running off to the side.
    f.processEvents();
    QCOMPARE(child<QTableWidget>(window, "changes")->horizontalScrollBar()->maximum(), 0);

    child<QLineEdit>(window, "todate")->setText(QStringLiteral("03.03.2026"));
    child<QPushButton>(window, "Check")->click();
    // The fixture set the Manager's password on the day, as the program would have.
    QCOMPARE(child<QTableWidget>(window, "changes")->rowCount(), 3);
    QCOMPARE(rowOf(*child<QTableWidget>(window, "changes"), 2).mid(2),
             QStringList({"Ann", "password changed", "ename: Ann, epass: false",
                          "ename: Ann, epass: true"}));
    doubleClick(*child<QTableWidget>(window, "changes"), 2, 2);
    QCOMPARE(child<QLineEdit>(f.main(), "manlist")->text(), QStringLiteral("Ann"));
}

void PeriodWindowTest::anEarlierExportIsComparedWithTheRecordAsItStands()
{
    Fixture f;
    frmperiod &window = openPeriod(f);
    QTemporaryDir out;
    QTemporaryDir empty;
    f.prompts.folders = {out.path(), empty.path(), out.path()};
    child<QPushButton>(window, "Export")->click();
    f.takeBoxes();
    child<QPushButton>(window, "CheckAgainst")->click();
    QCOMPARE(f.takeBoxes().size(), 1);
    QCOMPARE(child<QTableWidget>(window, "findings")->rowCount(), 0);

    QVERIFY(deleteLastEvent(openDatabase(EmployeeMdb), QStringLiteral("Ann")));
    Statement(f.file(), QStringLiteral("UPDATE ") +
                            f.file().quotedTable(QStringLiteral("Bob, \"Jr\"")) +
                            QStringLiteral(" SET datetime = '2026-02-28 07:00:00'"))
        .run();
    child<QLineEdit>(window, "fromdate")->setText(QStringLiteral("1/1/2026"));
    child<QPushButton>(window, "CheckAgainst")->click();

    QCOMPARE(child<QLineEdit>(window, "fromdate")->text(), QStringLiteral("2/16/2026"));
    QCOMPARE(child<QLineEdit>(window, "todate")->text(), QStringLiteral("3/2/2026"));
    QCOMPARE(child<QTableWidget>(window, "findings")->rowCount(), 3);
    QCOMPARE(rowOf(*child<QTableWidget>(window, "findings"), 0),
             QStringList({"Manager", "3/2/2026 5:30:10 PM", "unchanged since the export", ""}));
    QCOMPARE(rowOf(*child<QTableWidget>(window, "findings"), 1),
             QStringList({"Ann", "3/2/2026 5:30:10 PM", "changed in Horalink since the export",
                          "1 change in the history since the export"}));
    QCOMPARE(rowOf(*child<QTableWidget>(window, "findings"), 2).mid(2, 1),
             QStringList{"changed outside Horalink"});
    QCOMPARE(child<QTableWidget>(window, "changes")->rowCount(), 1);
    QCOMPARE(rowOf(*child<QTableWidget>(window, "changes"), 0).value(3),
             QStringLiteral("deleted last"));
    const QList<Box> boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].icon, Icon::Exclamation);
    QVERIFY2(boxes[0].text.endsWith(QStringLiteral("changed outside Horalink: Bob, \"Jr\".")),
             qPrintable(boxes[0].text));
}

void PeriodWindowTest::aFileThatMayOnlyBeReadExportsNothingAndTheProgramGoesOn()
{
    Fixture f;
    frmperiod &window = openPeriod(f);
    // The engine refuses every write as it does for a file the account may not write to.
    openDatabase(EmployeeMdb)
        .exec(onServer() ? QStringLiteral("SET default_transaction_read_only = on")
                         : QStringLiteral("PRAGMA query_only = 1"));
    QTemporaryDir out;
    f.prompts.folders = {out.path()};
    child<QPushButton>(window, "Export")->click();
    QVERIFY(!programEnded());
    const QList<Box> boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.startsWith(QStringLiteral("Nothing was exported: ")) &&
                 boxes[0].text.contains(QStringLiteral("may only be read")),
             qPrintable(boxes[0].text));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    child<QPushButton>(window, "Check")->click();
    QCOMPARE(child<QTableWidget>(window, "findings")->rowCount(), 2);
}

QTEST_MAIN(PeriodWindowTest)
#include "test_period.moc"
