#include "db/datetimetext.h"
#include "recordingprinter.h"
#include "support/fixture.h"
#include "ui/datacontrol.h"
#include "ui/frmmain.h"
#include "ui/printer.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTest>

using namespace horalink;

Q_DECLARE_METATYPE(horalink::Button)

namespace {

const QString Ann = QStringLiteral("Ann");
const QString Bob = QStringLiteral("Bob");
const QString Cy = QStringLiteral("Cy");

const Box AllQuestion{QStringLiteral("Would you like to print all employees? (default:  print "
                                     "current employee only)"),
                      QStringLiteral("Print"), Icon::None, Buttons::YesNoCancel, Button::No};

// Asked once the ending is read, before any card of all employees is printed.
Box confirmation(const QString &text)
{
    return {text, QStringLiteral("Print"), Icon::Question, Buttons::YesNo, Button::No};
}

// Ann worked 505 and 30 minutes on March 2nd; Bob is still clocked in since the morning; Cy
// has never clocked in.
void staff(Fixture &f)
{
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(Ann);
    f.employee(Bob);
    f.employee(Cy);
    f.event(Ann,
            {.stamp = "2026-03-02 08:00:30", .status = "Clocked In", .activity = "Sorting bolts"});
    f.event(Ann, "2026-03-02 16:25:10", "Clocked Out");
    f.event(Ann, {.stamp = "2026-03-02 16:30:00", .status = "Clocked In", .activity = " "});
    f.event(Ann, "2026-03-02 17:00:00", "Clocked Out");
    f.event(Bob, {.stamp = "2026-03-02 09:00:30", .status = "Clocked In", .activity = " "});
    f.startProgram();
}

void signOnAsManager(Fixture &f)
{
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.takeBoxes();
}

// Records what the program prints for as long as it lives.
struct PrinterRecording
{
    const Replacement<RecordingPrinter, LinePrinter> installed{
        setPrinter, std::make_unique<RecordingPrinter>()};
    RecordingPrinter &printer = *installed;
};

QStringList names(const RecordingPrinter &printer)
{
    QStringList out;
    for (const PrintedDocument &document : printer.documents)
        out << document.name;
    return out;
}

} // namespace

class PrintLogTest : public QObject
{
    Q_OBJECT

private slots:
    void everyEmployeeWithEventsGetsACard();
    void aNameListedTwiceGetsOneCard();
    void enterAtPrintPrintsTheShownEmployeeOnly();
    void theQuestionNamesTheMomentAndNoPrintsNothing_data();
    void theQuestionNamesTheMomentAndNoPrintsNothing();
    void theShownEmployeeOnly();
    void nothingIsPrinted_data();
    void nothingIsPrinted();
    void aNameNotListedIsRefused();
    void theUsersOwnCard_data();
    void theUsersOwnCard();
};

void PrintLogTest::everyEmployeeWithEventsGetsACard()
{
    Fixture f;
    staff(f);
    signOnAsManager(f);
    PrinterRecording recording;
    f.prompts.answers = {Button::Yes, Button::Yes};
    f.click(QStringLiteral("Command3"));

    QCOMPARE(f.takeBoxes(),
             QList<Box>({AllQuestion, confirmation("Print the time cards of all 4 employees "
                                                   "through Monday, March 2, 2026, 5:30 PM? Shifts "
                                                   "that begin at that moment or later are not "
                                                   "printed.")}));
    QCOMPARE(f.prompts.inputs,
             QList<ScriptedPrompts::InputBox>(
                 {{"Enter an ending date:", "Print Horalink through this ending date: ",
                   "3/2/2026 5:30:10 PM"}}));
    // Manager's and Cy's logs are empty: no card for them.
    QCOMPARE(names(recording.printer), QStringList({"Ann 2026-03-02", "Bob 2026-03-02"}));
    const PrintedDocument &ann = recording.printer.documents[0];
    QCOMPARE(ann.lines.value(0), QStringLiteral("Horalink Data for:  Acme Tools"));
    QCOMPARE(ann.lines.value(3), QStringLiteral("Employee Name:  Ann"));
    QCOMPARE(ann.lines.size(), 11);
    QCOMPARE(ann.lines.last(), QStringLiteral("Ann has a total of 8.9 hours "));
    // Bob's open shift runs up to the moment of printing.
    const PrintedDocument &bob = recording.printer.documents[1];
    QCOMPARE(bob.lines.value(6).mid(39, 19), QStringLiteral("3/2/2026 5:30:10 PM"));
    QCOMPARE(bob.lines.last(), QStringLiteral("Bob has a total of 8.5 hours "));

    frmmain &main = f.main();
    QCOMPARE(child<QLineEdit>(main, "manlist")->text(), QStringLiteral("Manager"));
    // The walk ends on the last employee's log, printed or not.
    QCOMPARE(child<DataControl>(main, "manuse")->recordSource(), Cy);
    QCOMPARE(f.log(Bob).size(), 1);
}

void PrintLogTest::aNameListedTwiceGetsOneCard()
{
    Fixture f;
    f.employee(Ann);
    staff(f);
    signOnAsManager(f);
    PrinterRecording recording;
    f.prompts.answers = {Button::Yes, Button::Yes};
    f.click(QStringLiteral("Command3"));
    QCOMPARE(names(recording.printer), QStringList({"Ann 2026-03-02", "Bob 2026-03-02"}));
}

void PrintLogTest::enterAtPrintPrintsTheShownEmployeeOnly()
{
    Fixture f;
    staff(f);
    signOnAsManager(f);
    QVERIFY(findByName(*child<DataControl>(f.main(), "mandata"), QStringLiteral("ename"), Ann));
    PrinterRecording recording;
    f.click(QStringLiteral("Command3"));

    QCOMPARE(f.takeBoxes(), QList<Box>{AllQuestion});
    QCOMPARE(names(recording.printer), QStringList{"Ann 2026-03-02"});
}

void PrintLogTest::theQuestionNamesTheMomentAndNoPrintsNothing_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("question");
    // Typed on the 2nd of March, meant as the 12th; read as the locale reads it.
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "12/03/2026"
                           << "Print the time cards of all 4 employees through Thursday, "
                              "December 3, 2026, 12:00 AM? Shifts that begin at that moment or "
                              "later are not printed.";
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "12.03.2026 9:15"
                           << "Print the time cards of all 4 employees through Donnerstag, 12. "
                              "März 2026, 09:15? Shifts that begin at that moment or later are "
                              "not printed.";
}

void PrintLogTest::theQuestionNamesTheMomentAndNoPrintsNothing()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, typed);
    QFETCH(QString, question);
    Fixture f;
    QLocale::setDefault(locale);
    staff(f);
    signOnAsManager(f);
    PrinterRecording recording;
    f.prompts.answers = {Button::Yes};
    f.prompts.typed = {typed};
    f.click(QStringLiteral("Command3"));

    QCOMPARE(f.takeBoxes(), QList<Box>({AllQuestion, confirmation(question)}));
    QVERIFY(recording.printer.documents.isEmpty());
    QVERIFY(f.prompts.progressed.isEmpty());
}

void PrintLogTest::theShownEmployeeOnly()
{
    Fixture f;
    staff(f);
    signOnAsManager(f);
    frmmain &main = f.main();
    QVERIFY(findByName(*child<DataControl>(main, "mandata"), QStringLiteral("ename"), Ann));
    child<QLabel>(main, "currhours")->setText(QStringLiteral("stale"));
    PrinterRecording recording;
    f.prompts.answers = {Button::No};
    f.prompts.typed = {QStringLiteral("3/2/2026 4:30 PM")};
    f.click(QStringLiteral("Command3"));

    QCOMPARE(f.takeBoxes(), QList<Box>{AllQuestion});
    QCOMPARE(names(recording.printer), QStringList{"Ann 2026-03-02"});
    // The clock-in at 4:30 PM is in the ending minute: only the first pair is printed.
    const PrintedDocument &ann = recording.printer.documents[0];
    QCOMPARE(ann.lines.size(), 10);
    QCOMPARE(ann.lines.last(), QStringLiteral("Ann has a total of 8.4 hours "));
    QCOMPARE(child<QLineEdit>(main, "manlist")->text(), Ann);
    QCOMPARE(child<DataControl>(main, "manuse")->field(QStringLiteral("datetime")).toDateTime(),
             stamp("2026-03-02 17:00:00"));
    // The signed-on manager's own totals are computed afresh.
    QCOMPARE(child<QLabel>(main, "currhours")->text(), QStringLiteral("0"));
}

void PrintLogTest::nothingIsPrinted_data()
{
    QTest::addColumn<Button>("answer");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<int>("inputs");
    QTest::addColumn<QList<Box>>("boxes");

    QTest::newRow("cancel") << Button::Cancel << QStringList{} << 0 << QList<Box>{AllQuestion};
    QTest::newRow("no ending date")
        << Button::Yes << QStringList{""} << 1 << QList<Box>{AllQuestion};
    QTest::newRow("an ending date that is no date")
        << Button::Yes << QStringList{"next Friday"} << 1
        << QList<Box>{AllQuestion,
                      warningBox("\"next Friday\" is not a date. Please enter the ending date as "
                                 "a date, or a date and time such as 3/2/2026 5:30:10 PM.",
                                 "Print Error")};
    QTest::newRow("the shown employee without events")
        << Button::No << QStringList{} << 1 << QList<Box>{AllQuestion};
}

void PrintLogTest::nothingIsPrinted()
{
    QFETCH(Button, answer);
    QFETCH(QStringList, typed);
    QFETCH(int, inputs);
    QFETCH(QList<Box>, boxes);
    Fixture f;
    staff(f);
    signOnAsManager(f);
    PrinterRecording recording;
    f.prompts.answers = {answer};
    f.prompts.typed.assign(typed.begin(), typed.end());
    f.click(QStringLiteral("Command3"));
    QCOMPARE(f.takeBoxes(), boxes);
    QCOMPARE(f.prompts.inputs.size(), inputs);
    QVERIFY(recording.printer.documents.isEmpty());
}

void PrintLogTest::aNameNotListedIsRefused()
{
    Fixture f;
    staff(f);
    signOnAsManager(f);
    child<QLineEdit>(f.main(), "manlist")->setText(QStringLiteral("ann"));
    PrinterRecording recording;
    f.prompts.answers = {Button::No};
    f.click(QStringLiteral("Command3"));
    QCOMPARE(f.takeBoxes(),
             QList<Box>({AllQuestion, warningBox("Please enter a valid Name or click on the Combo "
                                                 "Box.",
                                                 "Log In Error")}));
    QVERIFY(recording.printer.documents.isEmpty());
}

void PrintLogTest::theUsersOwnCard_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("hours");

    QTest::newRow("clocked out") << Ann << "Horalink Log for:  Acme Tools"
                                 << "8.91";
    QTest::newRow("clocked in") << Bob << "Horalink Log for  Acme Tools"
                                << "8.5 ";
}

void PrintLogTest::theUsersOwnCard()
{
    QFETCH(QString, user);
    QFETCH(QString, title);
    QFETCH(QString, hours);
    Fixture f;
    staff(f);
    f.signOn(user);
    f.takeBoxes();
    frmmain &main = f.main();
    const QList<LogRow> before = f.log(user);
    child<QLabel>(main, "currhours")->setText(QStringLiteral("stale"));
    PrinterRecording recording;
    qsizetype boxesBeforePrinting = -1;
    recording.printer.onStart = [&] {
        boxesBeforePrinting = f.prompts.boxes.size();
    };
    // Whether the entry is enabled follows the browser; here the log has events.
    child<QAction>(main, "prntdata")->setEnabled(true);
    f.click(QStringLiteral("prntdata"));

    QCOMPARE(f.takeBoxes(),
             QList<Box>{plainBox(QStringLiteral("The data is being sent to the default printer"))});
    QCOMPARE(boxesBeforePrinting, 1);
    QCOMPARE(names(recording.printer), QStringList{user + " 2026-03-02"});
    const PrintedDocument &card = recording.printer.documents[0];
    QCOMPARE(card.lines.value(0), title);
    QCOMPARE(card.lines.last(), user + " has a total of " + hours + " hours ");

    const QList<LogRow> after = f.log(user);
    QCOMPARE(after.size(), before.size());
    for (qsizetype i = 0; i < after.size(); ++i) {
        QCOMPARE(after[i].datetime, before[i].datetime);
        QCOMPARE(after[i].inoutfx, before[i].inoutfx);
    }
    QCOMPARE(child<QLabel>(main, "currhours")->text(), hours);
    QVERIFY(child<DataControl>(main, "database")->hasCurrentRow());
    QCOMPARE(child<DataControl>(main, "database")->field(QStringLiteral("datetime")).toDateTime(),
             stamp(before.last().datetime.toString()));
}

QTEST_MAIN(PrintLogTest)
#include "test_printlog.moc"
