#include "manager.h"

#include "db/sqlite.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

using namespace horalink;

namespace {

const QString Ann = QStringLiteral("Ann");
const QString Bob = QStringLiteral("Bob");
const QString In = QStringLiteral("Clocked In");
const Box ClearQuestion{QStringLiteral("Would you like to clear the log for all employees? "
                                       "(default: clear current employee only)"),
                        QStringLiteral("Clear"), Icon::None, Buttons::YesNoCancel, Button::No};
const Box OwnLogQuestion{
    QStringLiteral("This will delete all clock in and clock out values.  It should only be done "
                   "at the end of a time period.  Are you sure you want to continue ?"),
    QStringLiteral("Horalink Warning"), Icon::Stop, Buttons::YesNo, Button::No};
const ScriptedPrompts::InputBox EndingDate{QStringLiteral("Enter an ending date:"),
                                           QStringLiteral("Clear log until this date: "),
                                           QStringLiteral("3/2/2026 5:30:10 PM")};

// One event per entry: 'YYYY-MM-DD HH:MM:SS status'.
void fillLog(Fixture &f, const QString &table, const QStringList &events)
{
    for (const QString &event : events)
        f.event(table, event.left(19), event.mid(20));
}

// The question asked once the ending is read, before anything is cleared.
Box confirmation(const QString &text)
{
    return {text, QStringLiteral("Clear"), Icon::Stop, Buttons::YesNo, Button::No};
}

QString removed(qsizetype events)
{
    return events == 1 ? QStringLiteral("1 event will be removed.")
                       : QString::number(events) + QStringLiteral(" events will be removed.");
}

QStringList events(Fixture &f, const QString &table)
{
    QStringList out;
    for (const LogRow &row : f.log(table))
        out << row.datetime.toString() + QLatin1Char(' ') + row.inoutfx.toString();
    return out;
}

const QStringList TwoDays = {"2026-03-01 08:00:00 Clocked In", "2026-03-01 16:00:00 Clocked Out",
                             "2026-03-02 08:00:00 Clocked In", "2026-03-02 16:00:00 Clocked Out"};

// Ann, Bob and the manager each with the two days' events; the manager signed on.
void startWithLogs(Fixture &f)
{
    startAsManager(f, {Ann, Bob});
    for (const QString &name : {QStringLiteral("Manager"), Ann, Bob})
        fillLog(f, name, TwoDays);
    f.main().fxngettotal();
}

} // namespace

class ClearingTest : public QObject
{
    Q_OBJECT

private slots:
    void oneEmployeeLosesTheEventsBeforeTheEndingMinute_data();
    void oneEmployeeLosesTheEventsBeforeTheEndingMinute();
    void theOrphanGoesTogetherWithTheOlderEvents();
    void enterAtClearClearsOnlyTheEmployeeShown();
    void theEveryEmployeeLoopGoesOnPastWhatItCannotClear();
    void cancelStopsTheEveryEmployeeLoopBeforeTheNextEmployee();
    void nothingIsClearedWithoutAnEndingDate_data();
    void nothingIsClearedWithoutAnEndingDate();
    void anUnreadableDateIsRefusedOnce_data();
    void anUnreadableDateIsRefusedOnce();
    void theQuestionNamesTheMomentAndNoClearsNothing_data();
    void theQuestionNamesTheMomentAndNoClearsNothing();
    void theBrowserFollowsWhenTheManagersOwnLogIsCleared();
    void theOwnLogClearingTouchesOnlyTheSignedOnUser_data();
    void theOwnLogClearingTouchesOnlyTheSignedOnUser();
    void enterAtTheOwnLogQuestionKeepsTheLog();
};

void ClearingTest::oneEmployeeLosesTheEventsBeforeTheEndingMinute_data()
{
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("bare date") << TwoDays << "3/2/2026" << TwoDays.mid(2);
    QTest::newRow("bare date at midnight")
        << QStringList({"2026-03-01 23:59:59 Clocked In", "2026-03-02 00:00:00 Clocked Out",
                        "2026-03-02 00:00:59 Clocked In"})
        << "3/2/2026" << QStringList({"2026-03-02 00:00:59 Clocked In"});
    QTest::newRow("same minute stays, minute before goes")
        << QStringList({"2026-03-02 08:00:00 Clocked In", "2026-03-02 09:29:59 Clocked Out",
                        "2026-03-02 09:30:00 Clocked In", "2026-03-02 09:30:59 Clocked Out"})
        << "3/2/2026 9:30:45 AM"
        << QStringList({"2026-03-02 09:30:00 Clocked In", "2026-03-02 09:30:59 Clocked Out"});
    QTest::newRow("typed as ISO") << TwoDays << "2026-03-02 08:00" << TwoDays.mid(2);
    QTest::newRow("one orphan clock-out goes, not two")
        << QStringList({"2026-03-01 08:00:00 Clocked In", "2026-03-02 08:00:00 Clocked Out",
                        "2026-03-02 09:00:00 Clocked Out", "2026-03-02 10:00:00 Clocked In"})
        << "3/2/2026"
        << QStringList({"2026-03-02 09:00:00 Clocked Out", "2026-03-02 10:00:00 Clocked In"});
    QTest::newRow("an orphan with nothing older")
        << QStringList({"2026-03-02 08:00:00 Clocked Out", "2026-03-02 09:00:00 Clocked In"})
        << "1/1/2026" << QStringList({"2026-03-02 09:00:00 Clocked In"});
    QTest::newRow("the first row stored, not the earliest")
        << QStringList({"2026-03-02 12:00:00 Clocked In", "2026-03-02 08:00:00 Clocked Out"})
        << "3/2/2026 10:00 AM" << QStringList({"2026-03-02 12:00:00 Clocked In"});
    QTest::newRow("emptied") << TwoDays << "3/3/2026" << QStringList();
}

void ClearingTest::oneEmployeeLosesTheEventsBeforeTheEndingMinute()
{
    QFETCH(QStringList, log);
    QFETCH(QString, ending);
    QFETCH(QStringList, left);
    Fixture f;
    startAsManager(f, {Ann, Bob});
    fillLog(f, Ann, log);
    fillLog(f, Bob, TwoDays);
    showEmployee(f, Ann);
    f.prompts.answers = {Button::No, Button::Yes};
    f.prompts.typed = {ending};
    f.click(QStringLiteral("Command4"));

    const QList<Box> boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[0], ClearQuestion);
    // The count asked about is what the clearing then removed, the orphan among it.
    QVERIFY2(boxes[1].text.endsWith(QStringLiteral("? ") + removed(log.size() - left.size())),
             qPrintable(boxes[1].text));
    QCOMPARE(f.prompts.inputs, QList<ScriptedPrompts::InputBox>({EndingDate}));
    QCOMPARE(events(f, Ann), left);
    QCOMPARE(events(f, Bob), TwoDays);
    QCOMPARE(child<QLineEdit>(f.main(), "manlist")->text(), QStringLiteral("Manager"));
    QCOMPARE(child<DataControl>(f.main(), "manuse")->recordSource(), Ann);
    QCOMPARE(child<DataControl>(f.main(), "manuse")->eof(), left.isEmpty());
}

void ClearingTest::theOrphanGoesTogetherWithTheOlderEvents()
{
    Fixture f;
    startAsManager(f, {Ann});
    const QStringList log = {"2026-03-01 08:00:00 Clocked In", "2026-03-02 08:00:00 Clocked Out",
                             "2026-03-02 09:00:00 Clocked In"};
    fillLog(f, Ann, log);
    f.refuseDeletion(Ann, QStringLiteral("old.inoutfx = 'Clocked Out'"),
                     QStringLiteral("the clock-out is kept"));
    showEmployee(f, Ann);
    f.prompts.answers = {Button::No};
    f.prompts.typed = {QStringLiteral("3/2/2026")};
    f.click(QStringLiteral("Command4"));

    QCOMPARE(f.takeBoxes(),
             QList<Box>({ClearQuestion,
                         warningBox(QStringLiteral("Sorry, the log of Ann could not be cleared: "
                                                   "the clock-out is kept.  Nothing of it was "
                                                   "deleted."),
                                    QStringLiteral("Clear Error"))}));
    QCOMPARE(events(f, Ann), log);
}

void ClearingTest::enterAtClearClearsOnlyTheEmployeeShown()
{
    Fixture f;
    startWithLogs(f);
    showEmployee(f, Bob);
    f.prompts.answers = {ClearQuestion.defaultButton, Button::Yes};
    f.prompts.typed = {QStringLiteral("3/2/2026")};
    f.click(QStringLiteral("Command4"));

    QCOMPARE(
        f.takeBoxes(),
        QList<Box>({ClearQuestion, confirmation("Clear Bob's log before Monday, March 2, "
                                                "2026, 12:00 AM? 2 events will be removed.")}));
    QCOMPARE(f.prompts.inputs.size(), 1);
    QCOMPARE(events(f, Bob), TwoDays.mid(2));
    for (const QString &name : {QStringLiteral("Manager"), Ann})
        QCOMPARE(events(f, name), TwoDays);
    QCOMPARE(child<QLineEdit>(f.main(), "manlist")->text(), QStringLiteral("Manager"));
}

void ClearingTest::theEveryEmployeeLoopGoesOnPastWhatItCannotClear()
{
    Fixture f;
    startAsManager(f, {Ann});
    f.file().exec(QStringLiteral("INSERT INTO datalist (ename, ewage) VALUES (NULL, '1')"));
    f.file().exec(QStringLiteral("INSERT INTO datalist (ename, ewage) VALUES ('Ghost', '1')"));
    f.employee(Bob);
    for (const QString &name : {QStringLiteral("Manager"), Ann, Bob})
        fillLog(f, name, TwoDays);
    f.prompts.answers = {Button::Yes, Button::Yes};
    f.prompts.typed = {QStringLiteral("3/3/2026")};
    f.click(QStringLiteral("Command4"));

    // Ghost, listed without a time log, counts no event.
    QCOMPARE(f.takeBoxes(),
             QList<Box>({ClearQuestion,
                         confirmation("Clear the logs of all 4 employees before Tuesday, March "
                                      "3, 2026, 12:00 AM? 12 events will be removed."),
                         warningBox(QStringLiteral("Please enter a valid Name or click on the "
                                                   "Combo Box."),
                                    QStringLiteral("Log In Error")),
                         warningBox(QStringLiteral("Sorry, the log of Ghost could not be cleared: "
                                                   "there is no time log named 'Ghost'.  Nothing "
                                                   "of it was deleted."),
                                    QStringLiteral("Clear Error"))}));
    for (const QString &name : {QStringLiteral("Manager"), Ann, Bob})
        QVERIFY(f.log(name).isEmpty());
    QVERIFY(f.main().isVisible());
}

void ClearingTest::cancelStopsTheEveryEmployeeLoopBeforeTheNextEmployee()
{
    Fixture f;
    startWithLogs(f);
    f.prompts.answers = {Button::Yes, Button::Yes};
    f.prompts.typed = {QStringLiteral("3/3/2026")};
    f.prompts.cancelAtStep = 2;
    f.click(QStringLiteral("Command4"));

    QCOMPARE(f.prompts.progressed,
             QStringList({"Employee 1 of 3: Manager", "Employee 2 of 3: Ann"}));
    QVERIFY(f.log(QStringLiteral("Manager")).isEmpty());
    QVERIFY(f.log(Ann).isEmpty());
    QCOMPARE(events(f, Bob), TwoDays);
}

void ClearingTest::nothingIsClearedWithoutAnEndingDate_data()
{
    QTest::addColumn<Button>("answer");
    QTest::addColumn<bool>("asked");
    QTest::newRow("Cancel at Clear") << Button::Cancel << false;
    QTest::newRow("one, input left empty") << Button::No << true;
    QTest::newRow("all, input left empty") << Button::Yes << true;
}

void ClearingTest::nothingIsClearedWithoutAnEndingDate()
{
    QFETCH(Button, answer);
    QFETCH(bool, asked);
    Fixture f;
    startWithLogs(f);
    showEmployee(f, Ann);
    f.prompts.answers = {answer};
    f.prompts.typed = {QString()};
    f.click(QStringLiteral("Command4"));

    QCOMPARE(f.takeBoxes(), QList<Box>({ClearQuestion}));
    QCOMPARE(f.prompts.inputs.size(), asked ? 1 : 0);
    for (const QString &name : {QStringLiteral("Manager"), Ann, Bob})
        QCOMPARE(events(f, name), TwoDays);
    // Once the input box was shown, the browser is read afresh whatever the answer.
    QCOMPARE(child<QLineEdit>(f.main(), "manlist")->text(),
             asked ? QStringLiteral("Manager") : Ann);
}

void ClearingTest::anUnreadableDateIsRefusedOnce_data()
{
    QTest::addColumn<Button>("answer");
    QTest::newRow("one employee") << Button::No;
    QTest::newRow("every employee") << Button::Yes;
}

void ClearingTest::anUnreadableDateIsRefusedOnce()
{
    QFETCH(Button, answer);
    Fixture f;
    startWithLogs(f);
    showEmployee(f, Ann);
    f.prompts.answers = {answer};
    f.prompts.typed = {QStringLiteral("the 2nd of March")};
    f.click(QStringLiteral("Command4"));

    QCOMPARE(f.takeBoxes(),
             QList<Box>({ClearQuestion,
                         warningBox(QStringLiteral("Sorry, \"the 2nd of March\" is not a date.  "
                                                   "Please enter an ending date such as 3/2/2026 "
                                                   "5:30:10 PM.  Nothing was cleared."),
                                    QStringLiteral("Clear Error"))}));
    for (const QString &name : {QStringLiteral("Manager"), Ann, Bob})
        QCOMPARE(events(f, name), TwoDays);
}

void ClearingTest::theQuestionNamesTheMomentAndNoClearsNothing_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<Button>("everyone");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("question");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    // Typed on the 2nd of March, meant as the 12th; read as the locale reads it.
    QTest::newRow("one, en_US")
        << english << Button::No << "12/03/2026"
        << "Clear Ann's log before Thursday, December 3, 2026, 12:00 AM? 4 events will be "
           "removed.";
    QTest::newRow("all, en_US")
        << english << Button::Yes << "12/03/2026"
        << "Clear the logs of all 3 employees before Thursday, December 3, 2026, 12:00 AM? 12 "
           "events will be removed.";
    QTest::newRow("one, de_DE, to the minute")
        << german << Button::No << "02.03.2026 08:00:59"
        << "Clear Ann's log before Montag, 2. März 2026, 08:00? 2 events will be removed.";
    QTest::newRow("all, de_DE")
        << german << Button::Yes << "12.03.2026"
        << "Clear the logs of all 3 employees before Donnerstag, 12. März 2026, 00:00? 12 events "
           "will be removed.";
}

void ClearingTest::theQuestionNamesTheMomentAndNoClearsNothing()
{
    QFETCH(QLocale, locale);
    QFETCH(Button, everyone);
    QFETCH(QString, typed);
    QFETCH(QString, question);
    Fixture f;
    QLocale::setDefault(locale);
    startWithLogs(f);
    showEmployee(f, Ann);
    f.prompts.answers = {everyone};
    f.prompts.typed = {typed};
    f.click(QStringLiteral("Command4"));

    QCOMPARE(f.takeBoxes(), QList<Box>({ClearQuestion, confirmation(question)}));
    for (const QString &name : {QStringLiteral("Manager"), Ann, Bob})
        QCOMPARE(events(f, name), TwoDays);
    QVERIFY(f.prompts.progressed.isEmpty());
}

void ClearingTest::theBrowserFollowsWhenTheManagersOwnLogIsCleared()
{
    Fixture f;
    startWithLogs(f);
    QCOMPARE(child<QLineEdit>(f.main(), "lgndatetime")->text(),
             QStringLiteral("3/2/2026 4:00:00 PM"));
    showEmployee(f, QStringLiteral("Manager"));
    f.prompts.answers = {Button::No, Button::Yes};
    f.prompts.typed = {QStringLiteral("3/2/2026 8:00 AM")};
    f.click(QStringLiteral("Command4"));

    QCOMPARE(events(f, QStringLiteral("Manager")), TwoDays.mid(2));
    QCOMPARE(child<QLabel>(f.main(), "Lastlogonvalue")->text(), In);
    QCOMPARE(child<QLineEdit>(f.main(), "lgndatetime")->text(),
             QStringLiteral("3/2/2026 8:00:00 AM"));
}

void ClearingTest::theOwnLogClearingTouchesOnlyTheSignedOnUser_data()
{
    QTest::addColumn<QString>("user");
    QTest::newRow("manager") << "Manager";
    QTest::newRow("employee") << "Bob";
}

void ClearingTest::theOwnLogClearingTouchesOnlyTheSignedOnUser()
{
    QFETCH(QString, user);
    Fixture f;
    startWithLogs(f);
    showEmployee(f, Ann);
    if (user != QLatin1String("Manager")) {
        f.click(QStringLiteral("exitmain"));
        f.signOn(user);
    }
    child<QLabel>(f.main(), "currhours")->setText(QStringLiteral("stale"));
    f.prompts.answers = {Button::Yes};
    f.click(QStringLiteral("dltdata"));

    QCOMPARE(f.takeBoxes(), QList<Box>({OwnLogQuestion}));
    QVERIFY(f.log(user).isEmpty());
    for (const QString &name : {QStringLiteral("Manager"), Ann, Bob}) {
        if (name != user)
            QCOMPARE(events(f, name), TwoDays);
    }
    QCOMPARE(child<QLabel>(f.main(), "currhours")->text(), QStringLiteral("0"));
    QVERIFY(child<DataControl>(f.main(), "database")->eof());
    QCOMPARE(child<DataControl>(f.main(), "database")->recordSource(), user);
}

void ClearingTest::enterAtTheOwnLogQuestionKeepsTheLog()
{
    Fixture f;
    startWithLogs(f);
    child<QLabel>(f.main(), "currhours")->setText(QStringLiteral("stale"));
    f.click(QStringLiteral("dltdata"));

    QCOMPARE(f.takeBoxes(), QList<Box>({OwnLogQuestion}));
    QCOMPARE(events(f, QStringLiteral("Manager")), TwoDays);
    QCOMPARE(child<QLabel>(f.main(), "currhours")->text(), QStringLiteral("16  "));
}

QTEST_MAIN(ClearingTest)
#include "test_clearing.moc"
