// The pay-period window: its dates, its three actions, and the way from a finding to its
// employee.
#include "csvtext.h"
#include "db/connection.h"
#include "filetraps.h"
#include "payday/check.h"
#include "support/fixture.h"
#include "ui/datacontrol.h"
#include "ui/forms.h"
#include "ui/frmmain.h"
#include "ui/frmperiod.h"
#include "ui/program.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace horalink;

namespace {

frmperiod &openPeriod(Fixture &f)
{
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(QStringLiteral("Ann"), QString(), QStringLiteral("7.5"));
    f.employee(QStringLiteral("Bob, \"Jr\""), QString(), QStringLiteral("9"));
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
};

void PeriodWindowTest::theCheckListsFindingsThatLeadToTheirEmployee()
{
    Fixture f;
    frmperiod &window = openPeriod(f);
    QVERIFY(window.isVisible());
    QCOMPARE(window.fromEdit->text(), QStringLiteral("2/16/2026"));
    QCOMPARE(window.toEdit->text(), QStringLiteral("3/2/2026"));

    window.checkButton->click();
    // Forgotten, and open at the period's end.
    QCOMPARE(window.findingsList->count(), 2);
    QVERIFY(window.findingsList->item(0)->text().startsWith(QStringLiteral("Bob, \"Jr\"")));
    QVERIFY(window.findingsList->item(1)->text().contains(QStringLiteral("shift still open")));
    emit window.findingsList->itemDoubleClicked(window.findingsList->item(0));
    QCOMPARE(f.main().tabs->currentIndex(), 1);
    QCOMPARE(f.main().employeeNameEdit->text(), QStringLiteral("Bob, \"Jr\""));

    window.fromEdit->setText(QStringLiteral("2/27/2026"));
    window.toEdit->setText(QStringLiteral("2/28/2026"));
    f.event(QStringLiteral("Bob, \"Jr\""), QStringLiteral("2026-02-28 16:00:00"),
            QStringLiteral("Clocked Out"));
    window.checkButton->click();
    QCOMPARE(window.findingsList->count(), 1);
    QCOMPARE(window.findingsList->item(0)->text(), NoExceptions);
    QVERIFY(f.prompts.boxes.isEmpty());
}

void PeriodWindowTest::exportAndBackUpWriteIntoTheFolderPicked()
{
    Fixture f;
    frmperiod &window = openPeriod(f);
    QTemporaryDir out;
    f.prompts.folders = {out.path(), out.path()};
    window.exportButton->click();
    QCOMPARE(f.prompts.progressed.last(), QStringLiteral("Employee 3 of 3: Bob, \"Jr\""));
    window.backupButton->click();

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
    window.exportButton->click();
    window.backupButton->click();
    QCOMPARE(f.prompts.proposedFolders.size(), 2);
    window.toEdit->setText(QStringLiteral("payday"));
    window.checkButton->click();
    window.exportButton->click();
    QCOMPARE(f.prompts.proposedFolders.size(), 2);
    QCOMPARE(f.takeBoxes(),
             QList<Box>(2, warningBox(QStringLiteral("Invalid Date / Time.  Please correct the "
                                                     "entry and try again"),
                                      QStringLiteral("Pay Period"))));
    QCOMPARE(window.findingsList->count(), 0);
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
    window.fromEdit->setText(from);
    window.toEdit->setText(to);
    window.exportButton->click();
    window.checkButton->click();

    const Box refusal =
        warningBox(QStringLiteral("The period holds no minute: \"To (not included)\" must come "
                                  "after \"From\"."),
                   QStringLiteral("Pay Period"));
    QCOMPARE(f.takeBoxes(), QList<Box>(2, refusal));
    QVERIFY(f.prompts.proposedFolders.isEmpty());
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList());
    QCOMPARE(window.findingsList->count(), 0);
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
    window.backupButton->click();

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
    window.exportButton->click();
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
    window.exportButton->click();
    QCOMPARE(f.takeBoxes(), QList<Box>{question});
    QCOMPARE(contentOf(summary), QByteArray("last period"));

    f.prompts.answers = {Button::Yes};
    window.exportButton->click();
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
        window.exportButton->click();
        window.backupButton->click();
    }
    const QList<Box> boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), 2);
    for (const Box &box : boxes)
        QCOMPARE(box.icon, Icon::Exclamation);
    QCOMPARE(entriesOf(out.path()), (QMap<QString, QString>()));
}

QTEST_MAIN(PeriodWindowTest)
#include "test_period.moc"
