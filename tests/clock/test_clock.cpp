#include "db/sqlite.h"
#include "support/fixture.h"
#include "ui/datacontrol.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/frmprop.h"
#include "ui/frmsub.h"
#include "ui/program.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

using namespace horalink;

namespace {

const QString Ann = QStringLiteral("Ann");
const Box MustClockOut =
    warningBox(QStringLiteral("You must first Clock Out."), QStringLiteral("Clock In Error"));

// Ann signed on, with the task prompt switched on or off.
void signOnAnn(Fixture &f, bool prompt = false)
{
    f.company();
    f.employee(Ann, {.wage = QStringLiteral("10")});
    if (!prompt)
        f.setFlag(QStringLiteral("subs"), 1);
    f.startProgram();
    f.signOn(Ann);
}

// Ann signed on, her log one finished hour on the morning of March 2.
void signOnAnnAfterOneHour(Fixture &f)
{
    f.company();
    f.employee(Ann, {.wage = QStringLiteral("10")});
    f.event(Ann, QStringLiteral("2026-03-02 08:00:00"), QStringLiteral("Clocked In"));
    f.event(Ann, QStringLiteral("2026-03-02 09:00:00"), QStringLiteral("Clocked Out"));
    f.startProgram();
    f.signOn(Ann);
}

frmsub &taskPrompt()
{
    return forms().frmsub();
}

} // namespace

class ClockTest : public QObject
{
    Q_OBJECT

private slots:
    void clockInAndOutBuildTheLog();
    void refusalsNameWhatIsMissing_data();
    void refusalsNameWhatIsMissing();
    void theLastEventIsTheLastRowAdded();
    void theTaskPromptTakesAtMost30Characters();
    void closingTheTaskPromptCancelsTheClockIn();
    void aTaskPromptLeftOpenGoesWithItsUser();
    void leavingAfterAClockInCancelsNothing_data();
    void leavingAfterAClockInCancelsNothing();
    void anEmptyTaskIsStoredAsOneBlank();
    void theMenuEntriesFollowTheDateBox();
    void updateStoresACorrectedDate();
    void updateRefusesWhatIsNoDate();
    void theNavigatorStaysOnARowItCannotStore();
    void deleteLastRemovesOnlyTheLastEvent();
    void theGridShowsAndEditsTheChosenLog();
    void theGridKeepsToTheLogOfItsName_data();
    void theGridKeepsToTheLogOfItsName();
    void theGridTakesOnlyTheTwoStatuses();
    void theGridNeverEditsAnEventItNoLongerShows();
    void theGridShowsEveryColumnWholeAndGrowsWithTheWindow();
    void theGridHeadsEachColumnWithItsFieldAndShowsAllAtOnce();
    void functionKeysClockInAndOut();
    void aWageTooLongKeepsTheBrowserOnTheEmployee();
};

void ClockTest::clockInAndOutBuildTheLog()
{
    Fixture f;
    signOnAnn(f);
    f.setNow(QStringLiteral("2026-03-02 08:00:00"));
    f.click(QStringLiteral("clockin"));
    QCOMPARE(child<QLabel>(f.main(), "Lastlogonvalue")->text(), QStringLiteral("Clocked In"));
    QVERIFY(child<QAction>(f.main(), "prntdata")->isEnabled());
    f.setNow(QStringLiteral("2026-03-02 16:25:00"));
    f.click(QStringLiteral("clkout"));
    f.setNow(QStringLiteral("2026-03-03 08:00:00"));
    f.click(QStringLiteral("Clkin"));
    f.setNow(QStringLiteral("2026-03-03 08:30:00"));
    f.click(QStringLiteral("clockout"));

    QVERIFY(f.prompts.boxes.isEmpty());
    const QList<LogRow> rows = f.log(Ann);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(f.statuses(Ann),
             QStringList({"Clocked In", "Clocked Out", "Clocked In", "Clocked Out"}));
    QCOMPARE(f.stamps(Ann), QStringList({"2026-03-02 08:00:00", "2026-03-02 16:25:00",
                                         "2026-03-03 08:00:00", "2026-03-03 08:30:00"}));
    QCOMPARE(rows[0].ename.toString(), Ann);
    QCOMPARE(rows[0].activity.toString(), QStringLiteral(" "));
    QVERIFY(rows[1].activity.isNull());
    QCOMPARE(child<QLabel>(f.main(), "currhours")->text(), QStringLiteral("8.91"));
    QCOMPARE(child<QLabel>(f.main(), "currmoney")->text(), QStringLiteral("89.1"));
    QCOMPARE(child<QLabel>(f.main(), "Lastlogonvalue")->text(), QStringLiteral("Clocked Out"));
}

void ClockTest::refusalsNameWhatIsMissing_data()
{
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("in twice") << QStringList({"Clocked In"}) << "clockin"
                              << "You must first Clock Out."
                              << "Clock In Error";
    QTest::newRow("in twice by F1 entry") << QStringList({"Clocked In"}) << "Clkin"
                                          << "You must first Clock Out."
                                          << "Clock In Error";
    QTest::newRow("in after a hand-edited status")
        << QStringList({"Clocked In", "clocked out"}) << "clockin"
        << "You must first Clock Out."
        << "Clock In Error";
    QTest::newRow("out of nothing") << QStringList() << "clockout"
                                    << "You must first Clock in."
                                    << "Clock out Error";
    QTest::newRow("out twice") << QStringList({"Clocked In", "Clocked Out"}) << "clkout"
                               << "You must first Clock In."
                               << "Clock out Error";
}

void ClockTest::refusalsNameWhatIsMissing()
{
    QFETCH(QStringList, log);
    QFETCH(QString, command);
    QFETCH(QString, text);
    QFETCH(QString, title);
    Fixture f;
    f.company();
    f.employee(Ann);
    f.setFlag(QStringLiteral("subs"), 1);
    for (const QString &status : log)
        f.event(Ann, QStringLiteral("2026-03-02 08:00:00"), status);
    f.startProgram();
    f.signOn(Ann);
    f.click(command);
    QCOMPARE(f.prompts.boxes, QList<Box>({warningBox(text, title)}));
    QCOMPARE(f.statuses(Ann), log);
}

void ClockTest::theLastEventIsTheLastRowAdded()
{
    Fixture f;
    f.company();
    f.employee(Ann);
    f.setFlag(QStringLiteral("subs"), 1);
    // Corrected dates: the clock-out now carries an earlier date than the clock-in.
    f.event(Ann, QStringLiteral("2026-03-02 08:00:00"), QStringLiteral("Clocked In"));
    f.event(Ann, QStringLiteral("2026-03-01 16:00:00"), QStringLiteral("Clocked Out"));
    f.startProgram();
    f.signOn(Ann);
    f.click(QStringLiteral("clockin"));
    QVERIFY(f.prompts.boxes.isEmpty());
    QCOMPARE(f.statuses(Ann), QStringList({"Clocked In", "Clocked Out", "Clocked In"}));
}

void ClockTest::theTaskPromptTakesAtMost30Characters()
{
    Fixture f;
    signOnAnn(f, true);
    f.click(QStringLiteral("clockin"));
    QVERIFY(taskPrompt().isVisible());
    child<QLineEdit>(taskPrompt(), "activity")->setText(QString(31, QLatin1Char('x')));
    child<QPushButton>(taskPrompt(), "Command1")->click();
    QCOMPARE(f.prompts.boxes,
             QList<Box>({warningBox(
                 QStringLiteral("Sorry, Tasks can only be up to 30 characters in length."),
                 QStringLiteral("Clock In Error"))}));
    QVERIFY(taskPrompt().isVisible());
    QCOMPARE(child<QLineEdit>(taskPrompt(), "activity")->text(), QString(31, QLatin1Char('x')));
    QVERIFY(f.log(Ann).isEmpty());

    child<QLineEdit>(taskPrompt(), "activity")->setText(QString(30, QLatin1Char('y')));
    QTest::keyClick(child<QLineEdit>(taskPrompt(), "activity"), Qt::Key_Return);
    QVERIFY(!taskPrompt().isVisible());
    QCOMPARE(f.log(Ann).first().activity.toString(), QString(30, QLatin1Char('y')));
    QVERIFY(child<QLineEdit>(taskPrompt(), "activity")->text().isEmpty());

    // Refused by the last event when OK is pressed: the prompt closes all the same.
    f.click(QStringLiteral("clockout"));
    f.click(QStringLiteral("clockin"));
    f.event(Ann, QStringLiteral("2026-03-02 17:31:00"), QStringLiteral("Clocked In"));
    child<QLineEdit>(taskPrompt(), "activity")->setText(QStringLiteral("late"));
    child<QPushButton>(taskPrompt(), "Command1")->click();
    QCOMPARE(f.prompts.boxes.size(), 2);
    QCOMPARE(f.prompts.boxes.last(), MustClockOut);
    QVERIFY(!taskPrompt().isVisible());
    QVERIFY(child<QLineEdit>(taskPrompt(), "activity")->text().isEmpty());
    QCOMPARE(f.log(Ann).size(), 3);
}

void ClockTest::closingTheTaskPromptCancelsTheClockIn()
{
    Fixture f;
    signOnAnn(f, true);
    f.click(QStringLiteral("clockin"));
    child<QLineEdit>(taskPrompt(), "activity")->setText(QStringLiteral("sanding"));
    taskPrompt().close();
    f.processEvents();
    QCOMPARE(f.prompts.boxes,
             QList<Box>({warningBox(
                 QStringLiteral("Clock In has been Canceled.  If you wish to disable the prompt "
                                "for a project activity, check the box marked disable"),
                 QStringLiteral("Canceled"))}));
    QVERIFY(!forms().isLoaded<frmsub>());
    QVERIFY(f.log(Ann).isEmpty());
    f.click(QStringLiteral("clockin"));
    QVERIFY(child<QLineEdit>(taskPrompt(), "activity")->text().isEmpty());
}

void ClockTest::aTaskPromptLeftOpenGoesWithItsUser()
{
    Fixture f;
    f.company();
    f.employee(Ann);
    f.employee(QStringLiteral("Bob"), {.password = QStringLiteral("pw")});
    f.startProgram();
    f.signOn(Ann);
    f.click(QStringLiteral("clockin"));
    child<QLineEdit>(taskPrompt(), "activity")->setText(QStringLiteral("welding"));
    f.click(QStringLiteral("exitmain"));

    // Otherwise Bob, picked and then cancelled at the password, would be clocked in by it.
    QVERIFY(!forms().isLoaded<frmsub>());
    QCOMPARE(f.takeBoxes(),
             QList<Box>({warningBox(
                 QStringLiteral("Clock In has been Canceled.  If you wish to disable the prompt "
                                "for a project activity, check the box marked disable"),
                 QStringLiteral("Canceled"))}));
    child<QComboBox>(f.logon(), "namechoice")->setEditText(QStringLiteral("Bob"));
    child<QPushButton>(f.logon(), "Command1")->click();
    child<QPushButton>(f.logon(), "Command4")->click();
    f.processEvents();
    QVERIFY(f.log(Ann).isEmpty());
    QVERIFY(f.log(QStringLiteral("Bob")).isEmpty());
}

void ClockTest::leavingAfterAClockInCancelsNothing_data()
{
    QTest::addColumn<bool>("prompt");
    QTest::addColumn<QString>("leave");
    QTest::newRow("task prompt, Exit") << true << "exitmain";
    QTest::newRow("no prompt, close box") << false << QString();
}

void ClockTest::leavingAfterAClockInCancelsNothing()
{
    QFETCH(bool, prompt);
    QFETCH(QString, leave);
    Fixture f;
    signOnAnn(f, prompt);
    f.click(QStringLiteral("clockin"));
    if (prompt)
        child<QPushButton>(taskPrompt(), "Command1")->click();
    if (leave.isEmpty())
        f.main().close();
    else
        f.click(leave);
    f.processEvents();
    QVERIFY(f.prompts.boxes.isEmpty());
    QCOMPARE(f.statuses(Ann), QStringList({"Clocked In"}));
}

void ClockTest::anEmptyTaskIsStoredAsOneBlank()
{
    Fixture f;
    signOnAnn(f, true);
    f.click(QStringLiteral("clockin"));
    child<QPushButton>(taskPrompt(), "Command1")->click();
    QCOMPARE(f.log(Ann).first().activity.toString(), QStringLiteral(" "));
}

void ClockTest::theMenuEntriesFollowTheDateBox()
{
    Fixture f;
    signOnAnn(f);
    QVERIFY(!child<QAction>(f.main(), "prntdata")->isEnabled());
    QVERIFY(!child<QAction>(f.main(), "dltdata")->isEnabled());
    f.click(QStringLiteral("clockin"));
    QVERIFY(child<QAction>(f.main(), "prntdata")->isEnabled());
    QVERIFY(child<QAction>(f.main(), "dltdata")->isEnabled());
    child<QLineEdit>(f.main(), "lgndatetime")->clear();
    QVERIFY(!child<QAction>(f.main(), "prntdata")->isEnabled());
    QVERIFY(!child<QAction>(f.main(), "dltdata")->isEnabled());
}

void ClockTest::updateStoresACorrectedDate()
{
    Fixture f;
    signOnAnnAfterOneHour(f);
    QCOMPARE(child<QLabel>(f.main(), "currhours")->text(), QStringLiteral("1   "));
    QCOMPARE(child<QLineEdit>(f.main(), "lgndatetime")->text(),
             QStringLiteral("3/2/2026 9:00:00 AM"));
    child<QLineEdit>(f.main(), "lgndatetime")->setText(QStringLiteral("3/2/2026 10:30 AM"));
    f.click(QStringLiteral("Label11"));
    QVERIFY(f.prompts.boxes.isEmpty());
    QCOMPARE(f.stamps(Ann).last(), QStringLiteral("2026-03-02 10:30:00"));
    QCOMPARE(child<QLabel>(f.main(), "currhours")->text(), QStringLiteral("2.5 "));
    QCOMPARE(f.log(Ann).size(), 2);
}

void ClockTest::updateRefusesWhatIsNoDate()
{
    Fixture f;
    signOnAnnAfterOneHour(f);
    child<QLabel>(f.main(), "currhours")->setText(QStringLiteral("stale"));
    child<QLineEdit>(f.main(), "lgndatetime")->setText(QStringLiteral("half past nine"));
    f.click(QStringLiteral("Label12"));
    QCOMPARE(f.prompts.boxes,
             QList<Box>({plainBox(
                 QStringLiteral("Invalid Date / Time.  Please correct the entry and try again"))}));
    QCOMPARE(f.stamps(Ann).last(), QStringLiteral("2026-03-02 09:00:00"));
    QCOMPARE(child<QLabel>(f.main(), "currhours")->text(), QStringLiteral("stale"));
}

void ClockTest::theNavigatorStaysOnARowItCannotStore()
{
    Fixture f;
    f.company();
    f.employee(Ann);
    f.event(Ann, QStringLiteral("2026-03-02 08:00:00"), QStringLiteral("Clocked In"));
    f.event(Ann, QStringLiteral("2026-03-02 09:00:00"), QStringLiteral("Clocked Out"));
    f.startProgram();
    f.signOn(Ann);
    DataControl &browser = *child<DataControl>(f.main(), "database");
    auto *first = browser.findChild<QAbstractButton *>(QStringLiteral("first"));
    auto *next = browser.findChild<QAbstractButton *>(QStringLiteral("next"));
    first->click();
    QCOMPARE(child<QLabel>(f.main(), "Lastlogonvalue")->text(), QStringLiteral("Clocked In"));
    child<QLineEdit>(f.main(), "lgndatetime")->setText(QStringLiteral("soon"));
    next->click();
    QCOMPARE(f.prompts.boxes,
             QList<Box>({plainBox(
                 QStringLiteral("Invalid Date / Time.  Please correct the entry and try again"))}));
    QCOMPARE(child<QLabel>(f.main(), "Lastlogonvalue")->text(), QStringLiteral("Clocked In"));
    child<QLineEdit>(f.main(), "lgndatetime")->setText(QStringLiteral("3/2/2026 7:45 AM"));
    next->click();
    next->click();
    QCOMPARE(child<QLabel>(f.main(), "Lastlogonvalue")->text(), QStringLiteral("Clocked Out"));
    QCOMPARE(f.stamps(Ann).first(), QStringLiteral("2026-03-02 07:45:00"));
}

void ClockTest::deleteLastRemovesOnlyTheLastEvent()
{
    Fixture f;
    signOnAnn(f);
    f.click(QStringLiteral("dltlast"));
    QVERIFY(f.prompts.boxes.isEmpty());
    f.click(QStringLiteral("clockin"));
    f.click(QStringLiteral("clockout"));
    f.click(QStringLiteral("clockin"));
    f.setFlag(QStringLiteral("edits"), 1);
    child<QCheckBox>(forms().frmprop(), "edits")->setChecked(true);
    f.click(QStringLiteral("dltlast"));
    QCOMPARE(f.statuses(Ann), QStringList({"Clocked In", "Clocked Out"}));
    QCOMPARE(child<QLabel>(f.main(), "Lastlogonvalue")->text(), QStringLiteral("Clocked In"));
    f.click(QStringLiteral("clockin"));
    QVERIFY(f.prompts.boxes.isEmpty());
    QCOMPARE(f.statuses(Ann).size(), 3);
}

void ClockTest::theGridShowsAndEditsTheChosenLog()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(Ann);
    f.event(Ann, {.stamp = QStringLiteral("2026-03-02 08:00:00"),
                  .status = QStringLiteral("Clocked In"),
                  .activity = QStringLiteral("desk")});
    f.event(Ann, QStringLiteral("2026-03-02 09:00:00"), QStringLiteral("Clocked Out"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    frmmain &main = f.main();
    child<DataControl>(main, "mandata")->moveNext();
    QCOMPARE(child<QLineEdit>(main, "manlist")->text(), Ann);

    f.click(QStringLiteral("Label8"));
    QVERIFY(!child<QFrame>(main, "Picture3")->isHidden());
    QAbstractItemModel *grid = child<QTableView>(main, "DBGrid1")->model();
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->columnCount(), 4);
    QCOMPARE(grid->index(0, 1).data().toString(), QStringLiteral("3/2/2026 8:00:00 AM"));
    QCOMPARE(grid->index(0, 3).data().toString(), QStringLiteral("desk"));

    QVERIFY(grid->setData(grid->index(0, 1), QStringLiteral("2026-03-02 07:30"), Qt::EditRole));
    QCOMPARE(f.stamps(Ann).first(), QStringLiteral("2026-03-02 07:30:00"));
    QVERIFY(!grid->setData(grid->index(1, 1), QStringLiteral("noon"), Qt::EditRole));
    QVERIFY(!grid->setData(grid->index(0, 3), QString(31, QLatin1Char('z')), Qt::EditRole));
    QCOMPARE(f.prompts.boxes.size(), 2);
    QCOMPARE(f.prompts.boxes.first().text,
             QStringLiteral("Invalid Date / Time.  Please correct the entry and try again"));
    QCOMPARE(f.log(Ann).last().datetime.toString(), QStringLiteral("2026-03-02 09:00:00"));
    QCOMPARE(f.log(Ann).first().activity.toString(), QStringLiteral("desk"));

    // The source follows the shown employee at every click, also the one that hides.
    child<DataControl>(main, "mandata")->moveFirst();
    f.click(QStringLiteral("Label8"));
    QVERIFY(child<QFrame>(main, "Picture3")->isHidden());
    QCOMPARE(child<DataControl>(main, "manuse")->recordSource(), QStringLiteral("Manager"));
    f.click(QStringLiteral("Label8"));
    QVERIFY(!child<QFrame>(main, "Picture3")->isHidden());
    QCOMPARE(child<QTableView>(main, "DBGrid1")->model()->rowCount(), 0);
}

void ClockTest::theGridKeepsToTheLogOfItsName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("other");
    QTest::newRow("marker among letters") << "b%2"
                                          << "b256";
    QTest::newRow("bare marker") << "%1"
                                 << "Ann";
    QTest::newRow("localised marker") << "%L1"
                                      << "Ann";
    QTest::newRow("marker and letter") << "%2x"
                                       << "Ann";
}

void ClockTest::theGridKeepsToTheLogOfItsName()
{
    QFETCH(QString, name);
    QFETCH(QString, other);
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(other);
    f.employee(name);
    f.event(other, {.stamp = QStringLiteral("2026-03-01 07:00:00"),
                    .status = QStringLiteral("Clocked In"),
                    .activity = QStringLiteral("theirs")});
    f.event(other, QStringLiteral("2026-03-01 08:00:00"), QStringLiteral("Clocked Out"));
    f.event(name, {.stamp = QStringLiteral("2026-03-02 09:00:00"),
                   .status = QStringLiteral("Clocked In"),
                   .activity = QStringLiteral("mine")});
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    QVERIFY(findByName(*child<DataControl>(f.main(), "mandata"), QStringLiteral("ename"), name));

    f.click(QStringLiteral("Label8"));
    QAbstractItemModel *grid = child<QTableView>(f.main(), "DBGrid1")->model();
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(grid->index(0, 3).data().toString(), QStringLiteral("mine"));
    QVERIFY(grid->setData(grid->index(0, 3), QStringLiteral("edited"), Qt::EditRole));

    QVERIFY(!programEnded());
    QVERIFY(f.prompts.boxes.isEmpty());
    QCOMPARE(f.log(name).first().activity.toString(), QStringLiteral("edited"));
    QCOMPARE(f.log(other).size(), 2);
    QCOMPARE(f.log(other).first().activity.toString(), QStringLiteral("theirs"));
}

void ClockTest::theGridTakesOnlyTheTwoStatuses()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(Ann);
    f.event(Ann, QStringLiteral("2026-03-02 08:00:00"), QStringLiteral("Clocked In"));
    f.event(Ann, QStringLiteral("2026-03-02 09:00:00"), QStringLiteral("Clocked Out"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    child<DataControl>(f.main(), "mandata")->moveNext();
    f.click(QStringLiteral("Label8"));
    QAbstractItemModel *grid = child<QTableView>(f.main(), "DBGrid1")->model();

    for (const char *status : {"out", "clocked out", "Clocked Out "})
        QVERIFY(!grid->setData(grid->index(1, 2), QLatin1String(status), Qt::EditRole));
    QCOMPARE(f.takeBoxes(),
             QList<Box>(3, warningBox(QStringLiteral("The status must be \"Clocked In\" or "
                                                     "\"Clocked Out\"."),
                                      QStringLiteral("Grid Error"))));
    QVERIFY(grid->setData(grid->index(1, 2), QStringLiteral("Clocked In"), Qt::EditRole));
    QCOMPARE(f.statuses(Ann), QStringList({"Clocked In", "Clocked In"}));
}

void ClockTest::theGridNeverEditsAnEventItNoLongerShows()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.event(QStringLiteral("Manager"), {.stamp = QStringLiteral("2026-03-01 08:00:00"),
                                        .status = QStringLiteral("Clocked In"),
                                        .activity = QStringLiteral("old")});
    f.event(QStringLiteral("Manager"), QStringLiteral("2026-03-01 09:00:00"),
            QStringLiteral("Clocked Out"));
    f.setFlag(QStringLiteral("subs"), 1);
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    child<QTabWidget>(f.main(), "SSTab1")->setCurrentIndex(1);
    f.click(QStringLiteral("Label8"));
    QAbstractItemModel *grid = child<QTableView>(f.main(), "DBGrid1")->model();
    QAbstractItemModelTester tester(grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
    tester.setUseFetchMore(false);
    QCOMPARE(grid->rowCount(), 2);

    // The manager's own clock-in is in the grid at once.
    f.click(QStringLiteral("Clkin"));
    QCOMPARE(grid->rowCount(), 3);

    // Another copy of the program clears the log; a new event takes the first row's place.
    f.file().exec(QStringLiteral("DELETE FROM \"Manager\""));
    f.event(QStringLiteral("Manager"), {.stamp = QStringLiteral("2026-03-02 08:00:00"),
                                        .status = QStringLiteral("Clocked In"),
                                        .activity = QStringLiteral("new")});
    QVERIFY(!grid->setData(grid->index(0, 3), QStringLiteral("stale edit"), Qt::EditRole));
    QCOMPARE(f.takeBoxes(),
             QList<Box>({warningBox(QStringLiteral("The event was changed or removed since the "
                                                   "grid was read; the grid now shows the log as "
                                                   "it is."),
                                    QStringLiteral("Grid Error"))}));
    QCOMPARE(f.log(QStringLiteral("Manager")).size(), 1);
    QCOMPARE(f.log(QStringLiteral("Manager")).first().activity.toString(), QStringLiteral("new"));
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(grid->index(0, 3).data().toString(), QStringLiteral("new"));
}

void ClockTest::theGridShowsEveryColumnWholeAndGrowsWithTheWindow()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.event(QStringLiteral("Manager"),
            {.stamp = QStringLiteral("2026-12-27 10:58:59"),
             .status = QStringLiteral("Clocked In"),
             .activity = QStringLiteral("Sanding the big oak table top")});
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    frmmain &main = f.main();
    const QSize design = main.size();
    QCOMPARE(main.minimumSize(), design);
    child<QTabWidget>(main, "SSTab1")->setCurrentIndex(1);
    f.click(QStringLiteral("Label8"));
    f.processEvents();
    QTableView &grid = *child<QTableView>(main, "DBGrid1");
    QVERIFY(!grid.wordWrap());
    for (int column = 0; column < 4; ++column) {
        const QModelIndex cell = grid.model()->index(0, column);
        grid.scrollTo(cell);
        const QRect shown = grid.visualRect(cell);
        QVERIFY2(grid.viewport()->rect().contains(shown), qPrintable(QString::number(column)));
        QVERIFY(shown.width() > grid.fontMetrics().horizontalAdvance(cell.data().toString()));
    }

    const int gridHeight = grid.height();
    main.resize(design + QSize(300, 200));
    f.processEvents();
    QCOMPARE(main.size(), design + QSize(300, 200));
    QVERIFY(grid.height() >= gridHeight + 150);
}

void ClockTest::theGridHeadsEachColumnWithItsFieldAndShowsAllAtOnce()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.event(QStringLiteral("Manager"),
            {.stamp = QStringLiteral("2026-12-27 10:58:59"),
             .status = QStringLiteral("Clocked In"),
             .activity = QStringLiteral("Sanding and varnishing the oak")});
    f.event(QStringLiteral("Manager"), QStringLiteral("2026-12-27 11:00:00"),
            QStringLiteral("Clocked Out"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    frmmain &main = f.main();
    child<QTabWidget>(main, "SSTab1")->setCurrentIndex(1);
    f.click(QStringLiteral("Label8"));
    f.processEvents();

    QTableView &grid = *child<QTableView>(main, "DBGrid1");
    const QAbstractItemView &view = grid;
    const QHeaderView &header = *grid.horizontalHeader();
    QVERIFY(header.isVisibleTo(&main));
    QStringList headings;
    for (int column = 0; column < header.count(); ++column)
        headings << grid.model()->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(headings, QStringList({"Ename", "datetime", "inoutfx", "activity"}));
    // At the window's design size every column is in view at once, none narrower than its
    // heading or its texts, and the last reaches the grid's right edge.
    QCOMPARE(grid.horizontalScrollBar()->value(), 0);
    for (int column = 0; column < header.count(); ++column) {
        const QRect shown = grid.visualRect(grid.model()->index(0, column));
        QVERIFY2(grid.viewport()->rect().contains(shown), qPrintable(headings[column]));
        QVERIFY(header.sectionSize(column) >= header.sectionSizeHint(column));
        QVERIFY(header.sectionSize(column) >= view.sizeHintForColumn(column));
    }
    QCOMPARE(header.sectionViewportPosition(3) + header.sectionSize(3), grid.viewport()->width());
}

void ClockTest::functionKeysClockInAndOut()
{
    Fixture f;
    signOnAnn(f);
    f.main().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.main()));
    QTest::keyClick(&f.main(), Qt::Key_F1);
    QTest::keyClick(&f.main(), Qt::Key_F2);
    QCOMPARE(f.statuses(Ann), QStringList({"Clocked In", "Clocked Out"}));
    QVERIFY(f.prompts.boxes.isEmpty());
}

void ClockTest::aWageTooLongKeepsTheBrowserOnTheEmployee()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(Ann, {.wage = QStringLiteral("10")});
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    frmmain &main = f.main();
    auto *next =
        child<DataControl>(main, "mandata")->findChild<QAbstractButton *>(QStringLiteral("next"));
    next->click();
    QCOMPARE(child<QLineEdit>(main, "manlist")->text(), Ann);
    child<QLineEdit>(main, "emoney")->setText(QString(51, QLatin1Char('9')));
    child<DataControl>(main, "mandata")
        ->findChild<QAbstractButton *>(QStringLiteral("first"))
        ->click();
    QCOMPARE(f.prompts.boxes.size(), 1);
    QVERIFY(f.prompts.boxes.first().text.contains(QStringLiteral("ewage")));
    QCOMPARE(child<QLineEdit>(main, "manlist")->text(), Ann);
    child<QLineEdit>(main, "emoney")->setText(QStringLiteral("11.25"));
    child<DataControl>(main, "mandata")
        ->findChild<QAbstractButton *>(QStringLiteral("first"))
        ->click();
    QCOMPARE(child<QLineEdit>(main, "manlist")->text(), QStringLiteral("Manager"));
    QCOMPARE(f.value(QStringLiteral("SELECT ewage FROM datalist WHERE ename = 'Ann'")).toString(),
             QStringLiteral("11.25"));
}

QTEST_MAIN(ClockTest)
#include "test_clock.moc"
