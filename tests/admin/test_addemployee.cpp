#include "manager.h"

#include "db/connection.h"
#include "db/employees.h"
#include "ui/forms.h"
#include "ui/frmadd.h"
#include "ui/frmlogon.h"
#include "ui/program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

using namespace horalink;

namespace {

const Box Added =
    informationBox(QStringLiteral("Employee has been added!"), QStringLiteral("Information"));
const Box Exists =
    warningBox(QStringLiteral("Sorry, this Employee already exists."), QStringLiteral("Add Error"));
const Box TooLong =
    warningBox(QStringLiteral("Sorry, the name is to long.  Please type in a name with less than "
                              "20 characters and without special characters (i.e. period, "
                              "quotation marks, etc.)"),
               QStringLiteral("Add error"));
const QString WageRule = QStringLiteral("Sorry, the wage must be a number of dollars per hour, 0 "
                                        "or more, for example 12.50.");

frmadd &openAddWindow(Fixture &f)
{
    f.click(QStringLiteral("Command5"));
    return forms().frmadd();
}

void typeEmployee(frmadd &window, const QString &name, const QString &wage = QStringLiteral("12"),
                  const QString &password = QString())
{
    child<QLineEdit>(window, "newemployee")->setText(name);
    child<QLineEdit>(window, "passwrd")->setText(password);
    child<QLineEdit>(window, "newwage")->setText(wage);
}

void pressOk(Fixture &f, frmadd &window)
{
    child<QPushButton>(window, "Command1")->click();
    f.processEvents();
}

int listed(const QString &name)
{
    int count = 0;
    DataControl list(QStringLiteral("list"));
    list.setRecordSource(QStringLiteral("datalist"));
    list.refresh();
    while (!list.eof()) {
        count += list.field(QStringLiteral("ename")).toString() == name;
        list.moveNext();
    }
    return count;
}

bool inLogonList(Fixture &f, const QString &name)
{
    return child<QComboBox>(f.logon(), "namechoice")
               ->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0;
}

// The ways the manager leaves the wage box, by real input.
enum class Leaving
{
    Tab,
    Return,
    ClickGetHours
};

void leaveWageBox(frmmain &main, Leaving leaving)
{
    QWindow *window = main.windowHandle();
    switch (leaving) {
    case Leaving::Tab:
        QTest::keyClick(window, Qt::Key_Tab);
        break;
    case Leaving::Return:
        QTest::keyClick(window, Qt::Key_Return);
        break;
    case Leaving::ClickGetHours:
        QTest::mouseClick(
            window, Qt::LeftButton, {},
            child<QPushButton>(main, "Command1")
                ->mapTo(&main, child<QPushButton>(main, "Command1")->rect().center()));
        break;
    }
    QCoreApplication::processEvents();
}

} // namespace

Q_DECLARE_METATYPE(Leaving)

class AddEmployeeTest : public QObject
{
    Q_OBJECT

private slots:
    void okFollowsTheWageBox();
    void anEmployeeIsListedWithAnEmptyLogAtOnce();
    void aPasswordIsKeptOnlyAsItsHash();
    void nameLengthLimit_data();
    void nameLengthLimit();
    void refusalsKeepTheWindowAndWriteNothing_data();
    void refusalsKeepTheWindowAndWriteNothing();
    void unusualNamesGetAUsableLog_data();
    void unusualNamesGetAUsableLog();
    void namesTheFileCannotTakeAreRefusedWhole_data();
    void namesTheFileCannotTakeAreRefusedWhole();
    void theFilesColumnReaderIsAnEmployeeLikeAnyOther_data();
    void theFilesColumnReaderIsAnEmployeeLikeAnyOther();
    void aDeletedNameGetsItsEmptyLogBack();
    void leavingWithoutOkAddsNothingAndKeepsTheListDisabled_data();
    void leavingWithoutOkAddsNothingAndKeepsTheListDisabled();
    void theWageBoxTakesTheWagesAddNewTakes_data();
    void theWageBoxTakesTheWagesAddNewTakes();
    void theWageBoxRefusesAWageAsItIsLeft_data();
    void theWageBoxRefusesAWageAsItIsLeft();
};

void AddEmployeeTest::okFollowsTheWageBox()
{
    Fixture f;
    startAsManager(f);
    frmadd &window = openAddWindow(f);
    QVERIFY(!child<QLineEdit>(f.main(), "manlist")->isEnabled());
    QVERIFY(!child<QPushButton>(window, "Command1")->isEnabled());
    child<QLineEdit>(window, "newemployee")->setText(QStringLiteral("Bob"));
    QTest::keyClicks(child<QLineEdit>(window, "newwage"), QStringLiteral("x"));
    QVERIFY(child<QPushButton>(window, "Command1")->isEnabled());
    child<QLineEdit>(window, "newwage")->clear();
    QVERIFY(!child<QPushButton>(window, "Command1")->isEnabled());

    // Enter presses OK only while it is enabled.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    f.processEvents();
    QVERIFY(f.prompts.boxes.isEmpty());
    QCOMPARE(listed(QStringLiteral("Bob")), 0);

    child<QLineEdit>(window, "newwage")->setText(QStringLiteral("9"));
    QApplication::sendEvent(&window, &enter);
    f.processEvents();
    QCOMPARE(f.takeBoxes(), QList<Box>({Added}));
    QCOMPARE(listed(QStringLiteral("Bob")), 1);
}

void AddEmployeeTest::anEmployeeIsListedWithAnEmptyLogAtOnce()
{
    Fixture f;
    startAsManager(f, {QStringLiteral("Ann")});
    showEmployee(f, QStringLiteral("Ann"));
    frmadd &window = openAddWindow(f);
    typeEmployee(window, QStringLiteral("Bob"), QStringLiteral(" 12.50 "));
    pressOk(f, window);

    QCOMPARE(f.takeBoxes(), QList<Box>({Added}));
    QVERIFY(!forms().isLoaded<frmadd>());
    QVERIFY(child<QLineEdit>(f.main(), "manlist")->isEnabled());
    QCOMPARE(child<QLineEdit>(f.main(), "manlist")->text(), QStringLiteral("Manager"));
    QVERIFY(inLogonList(f, QStringLiteral("Bob")));
    QCOMPARE(f.value(QStringLiteral("SELECT ename || '|' || ewage || '|' || epass || '|' || "
                                    "ecomment FROM datalist WHERE rowid = (SELECT max(rowid) "
                                    "FROM datalist)"))
                 .toString(),
             QStringLiteral("Bob| 12.50 ||  \r\n"));
    QCOMPARE(f.value(QStringLiteral("SELECT epass FROM datalist WHERE ename = 'Bob'")).typeId(),
             QMetaType::QString);
    QVERIFY(hasTimeLog(f.file(), QStringLiteral("Bob")));
    QVERIFY(f.log(QStringLiteral("Bob")).isEmpty());

    // The new employee signs on at once, with the password typed for him.
    f.click(QStringLiteral("exitmain"));
    f.signOn(QStringLiteral("Bob"));
    QCOMPARE(child<QLabel>(f.main(), "nameemp")->text(), QStringLiteral("Bob"));
    QVERIFY(f.main().isVisible());
}

void AddEmployeeTest::aPasswordIsKeptOnlyAsItsHash()
{
    Fixture f;
    startAsManager(f);
    frmadd &window = openAddWindow(f);
    typeEmployee(window, QStringLiteral("Cy"), QStringLiteral("9"), QStringLiteral("s3cret"));
    pressOk(f, window);
    const QString stored =
        f.value(QStringLiteral("SELECT epass FROM datalist WHERE ename = 'Cy'")).toString();
    QVERIFY2(stored.startsWith(QStringLiteral("$argon2id$")), qPrintable(stored));
    QVERIFY(!stored.contains(QStringLiteral("s3cret")));

    f.click(QStringLiteral("exitmain"));
    f.signOn(QStringLiteral("Cy"), QStringLiteral("s3cret"));
    QCOMPARE(child<QLabel>(f.main(), "nameemp")->text(), QStringLiteral("Cy"));
    QVERIFY(f.main().isVisible());
}

void AddEmployeeTest::nameLengthLimit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("20 characters") << QStringLiteral("Abcdefghij Klmnopqrs") << true;
    QTest::newRow("21 characters") << QStringLiteral("Abcdefghij Klmnopqrst") << false;
    QTest::newRow("21 blanks") << QString(21, QLatin1Char(' ')) << false;
}

void AddEmployeeTest::nameLengthLimit()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    Fixture f;
    startAsManager(f);
    frmadd &window = openAddWindow(f);
    typeEmployee(window, name, QStringLiteral("10"), QStringLiteral("pw"));
    pressOk(f, window);

    QCOMPARE(f.takeBoxes(), QList<Box>({accepted ? Added : TooLong}));
    QCOMPARE(listed(name), accepted ? 1 : 0);
    QCOMPARE(hasTimeLog(f.file(), name), accepted);
    QCOMPARE(forms().isLoaded<frmadd>(), !accepted);
    if (!accepted) {
        QCOMPARE(child<QLineEdit>(window, "newemployee")->text(), QString());
        QCOMPARE(child<QLineEdit>(window, "newwage")->text(), QStringLiteral("10"));
        QCOMPARE(child<QLineEdit>(window, "passwrd")->text(), QStringLiteral("pw"));
    }
}

void AddEmployeeTest::refusalsKeepTheWindowAndWriteNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("wage");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("same name") << "Ann"
                               << "10" << Exists.text;
    QTest::newRow("small letters") << "ann"
                                   << "10" << Exists.text;
    QTest::newRow("capitals") << "MANAGER"
                              << "10" << Exists.text;
    QTest::newRow("no name") << ""
                             << "10"
                             << "Please type in the name of the new Employee.";
    QTest::newRow("wage of letters") << "Bob"
                                     << "ten" << WageRule;
    QTest::newRow("wage of two numbers") << "Bob"
                                         << "7,50.00" << WageRule;
    QTest::newRow("negative wage") << "Bob"
                                   << "-7.5" << WageRule;
    // One employee, however the letters were typed.
    QTest::newRow("accent typed apart") << "Jose\u0301"
                                        << "10" << Exists.text;
    QTest::newRow("capital outside A to Z") << "JOS\u00c9"
                                            << "10" << Exists.text;
    // Pasted text that once ran as statements, and names that look like another's.
    const QString invisible = QStringLiteral("Sorry, the name may not hold a line break, a tab or "
                                             "another invisible or control character.");
    const QString blanks = QStringLiteral("Sorry, the name may not begin or end with a blank.");
    QTest::newRow("line feed and a statement") << "\nDROP TABLE Ann;--"
                                               << "10" << invisible;
    QTest::newRow("line feed and a deletion") << "\nDELETE FROM Ann;--"
                                              << "10" << invisible;
    QTest::newRow("tab") << "Bob\tSmith"
                         << "10" << invisible;
    QTest::newRow("right-to-left override") << "Bob\u202e"
                                            << "10" << invisible;
    QTest::newRow("trailing blank") << "Manager "
                                    << "10" << blanks;
    QTest::newRow("blanks around") << " Ann "
                                   << "10" << blanks;
}

void AddEmployeeTest::refusalsKeepTheWindowAndWriteNothing()
{
    QFETCH(QString, name);
    QFETCH(QString, wage);
    QFETCH(QString, refusal);
    Fixture f;
    startAsManager(f, {QStringLiteral("Ann"), QStringLiteral("Jos\u00e9")});
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:00:00"),
            QStringLiteral("Clocked In"));
    const QVariant before = f.value(QStringLiteral("SELECT count(*) FROM datalist"));
    frmadd &window = openAddWindow(f);
    typeEmployee(window, name, wage, QStringLiteral("pw"));
    pressOk(f, window);

    QCOMPARE(f.takeBoxes(), QList<Box>({warningBox(refusal, QStringLiteral("Add Error"))}));
    QVERIFY(window.isVisible());
    QCOMPARE(child<QLineEdit>(window, "newemployee")->text(), name);
    QCOMPARE(child<QLineEdit>(window, "newwage")->text(), wage);
    QCOMPARE(child<QLineEdit>(window, "passwrd")->text(), QStringLiteral("pw"));
    QVERIFY(!child<QLineEdit>(f.main(), "manlist")->isEnabled());
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM datalist")), before);
    QVERIFY(!inLogonList(f, name) || name == QLatin1String("Ann"));
    QCOMPARE(f.statuses(QStringLiteral("Ann")), QStringList({"Clocked In"}));
}

void AddEmployeeTest::unusualNamesGetAUsableLog_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("quote") << QStringLiteral("O'Brien");
    QTest::newRow("double quotes") << QStringLiteral("\"Ace\" Jones");
    QTest::newRow("dot") << QStringLiteral("J. Smith");
    QTest::newRow("brackets") << QStringLiteral("[Ann]");
    QTest::newRow("statement") << QStringLiteral("x\";DROP TABLE Ann;--");
    QTest::newRow("look-alike letter") << QStringLiteral("\u0410nn");
    QTest::newRow("per cent marker") << QStringLiteral("%1");
    QTest::newRow("localised marker") << QStringLiteral("%L1");
    QTest::newRow("marker and letter") << QStringLiteral("b%2x");
}

void AddEmployeeTest::unusualNamesGetAUsableLog()
{
    QFETCH(QString, name);
    Fixture f;
    startAsManager(f, {QStringLiteral("Ann"), QStringLiteral("\u00e9mile")});
    frmadd &window = openAddWindow(f);
    typeEmployee(window, name);
    pressOk(f, window);

    QCOMPARE(f.takeBoxes(), QList<Box>({Added}));
    QCOMPARE(listed(name), 1);
    QVERIFY(hasTimeLog(f.file(), name));
    QVERIFY(f.log(QStringLiteral("Ann")).isEmpty());
    f.event(name, QStringLiteral("2026-03-02 08:00:00"), QStringLiteral("Clocked In"));
    QCOMPARE(f.log(name).size(), 1);
    QVERIFY(f.log(QStringLiteral("Ann")).isEmpty());
    QVERIFY(f.log(QStringLiteral("\u00e9mile")).isEmpty());
}

void AddEmployeeTest::namesTheFileCannotTakeAreRefusedWhole_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal");
    const auto reaches = [](const char *table) {
        return QStringLiteral("Sorry, the name would reach the database's table '") +
               QLatin1String(table) +
               QStringLiteral("' (letter case does not tell tables apart). Please type in "
                              "another name.");
    };
    const QString reserved = QStringLiteral("Sorry, the name may not begin with \"sqlite_\" or "
                                            "\"pg_\": the database keeps such names for its own "
                                            "tables.");
    // The program's own tables, in any letter case, on either engine: a database must be able
    // to move between a file and a server.
    QTest::newRow("the employee list") << "datalist" << reaches("datalist");
    QTest::newRow("the employee list, capitals") << "DataList" << reaches("datalist");
    QTest::newRow("the company table") << "Company Data" << reaches("Company Data");
    QTest::newRow("the company table, small letters") << "company data" << reaches("Company Data");
    // A table no one lists, which the file takes for another spelling's log.
    QTest::newRow("another spelling of an unlisted log") << "OLD LOG" << reaches("Old Log");
    QTest::newRow("a table of other data") << "Notes" << reaches("Notes");
    // The engines' own names: reserved by the file, the catalog of the server.
    QTest::newRow("reserved by the file") << "sqlite_log" << reserved;
    QTest::newRow("the file's schema table") << "SQLITE_MASTER" << reserved;
    QTest::newRow("the server's tables") << "pg_class" << reserved;
    QTest::newRow("the server's checks") << "PG_Constraint" << reserved;
    QTest::newRow("the server's comments") << "pg_description" << reserved;
}

void AddEmployeeTest::namesTheFileCannotTakeAreRefusedWhole()
{
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    Fixture f;
    // A log whose employee is gone, and a table that is no log.
    f.file().createTimeLog(QStringLiteral("Old Log"));
    Statement(f.file(), QStringLiteral("CREATE TABLE ") +
                            f.file().quotedTable(QStringLiteral("Notes")) +
                            QStringLiteral(" (note TEXT)"))
        .run();
    startAsManager(f);
    const QStringList schema = f.schema();
    frmadd &window = openAddWindow(f);
    typeEmployee(window, name);
    pressOk(f, window);

    QCOMPARE(f.takeBoxes(), QList<Box>({warningBox(refusal, QStringLiteral("Add Error"))}));
    QVERIFY(window.isVisible());
    QCOMPARE(child<QLineEdit>(window, "newemployee")->text(), name);
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM datalist")).toInt(), 1);
    QCOMPARE(f.schema(), schema);
    QVERIFY(!inLogonList(f, name));
    QVERIFY(!programEnded());
}

void AddEmployeeTest::theFilesColumnReaderIsAnEmployeeLikeAnyOther_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("as the engine spells it") << QStringLiteral("pragma_table_info");
    QTest::newRow("in capitals") << QStringLiteral("Pragma_Table_Info");
}

// A table named so once stood in for the engine's own list of a table's fields: the program
// ended at the added box and at every start after it.
void AddEmployeeTest::theFilesColumnReaderIsAnEmployeeLikeAnyOther()
{
    QFETCH(QString, name);
    Fixture f;
    startAsManager(f);
    frmadd &window = openAddWindow(f);
    typeEmployee(window, name);
    pressOk(f, window);
    QCOMPARE(f.takeBoxes(), QList<Box>({Added}));
    QVERIFY(!programEnded());
    QCOMPARE(listed(name), 1);
    QCOMPARE(f.file().columnNames(name), QStringList({"Ename", "datetime", "inoutfx", "activity"}));
    QCOMPARE(f.file().columnNames(QStringLiteral("Manager")),
             QStringList({"Ename", "datetime", "inoutfx", "activity"}));
    showEmployee(f, name);
    QVERIFY(!programEnded());
}

void AddEmployeeTest::aDeletedNameGetsItsEmptyLogBack()
{
    Fixture f;
    startAsManager(f, {QStringLiteral("Ann"), QStringLiteral("Bob")});
    f.event(QStringLiteral("Bob"), QStringLiteral("2026-03-02 08:00:00"),
            QStringLiteral("Clocked In"));
    showEmployee(f, QStringLiteral("Bob"));
    f.prompts.answers = {Button::Yes};
    f.click(QStringLiteral("Deleteemp"));
    QVERIFY(hasTimeLog(f.file(), QStringLiteral("Bob")));
    f.takeBoxes();

    frmadd &window = openAddWindow(f);
    typeEmployee(window, QStringLiteral("Bob"), QStringLiteral("15"));
    pressOk(f, window);
    QCOMPARE(f.takeBoxes(), QList<Box>({Added}));
    QCOMPARE(listed(QStringLiteral("Bob")), 1);
    QVERIFY(f.log(QStringLiteral("Bob")).isEmpty());
    QStringList names;
    for (int i = 0; i < child<QComboBox>(f.logon(), "namechoice")->count(); ++i)
        names << child<QComboBox>(f.logon(), "namechoice")->itemText(i);
    QCOMPARE(names.count(QStringLiteral("Bob")), 1);

    // Only a log no listed employee owns is taken over.
    QCOMPARE(addEmployee(f.file(), {QStringLiteral("BOB"), QStringLiteral("1"), {}, {}}),
             AddOutcome::NameTaken);

    // And only by exactly its name: on a server another spelling would be a second table,
    // which no file can hold.
    showEmployee(f, QStringLiteral("Bob"));
    f.prompts.answers = {Button::Yes};
    f.click(QStringLiteral("Deleteemp"));
    f.takeBoxes();
    frmadd &again = openAddWindow(f);
    typeEmployee(again, QStringLiteral("BOB"));
    pressOk(f, again);
    QCOMPARE(f.takeBoxes(),
             QList<Box>({warningBox(QStringLiteral("Sorry, the name would reach the database's "
                                                   "table 'Bob' (letter case does not tell "
                                                   "tables apart). Please type in another name."),
                                    QStringLiteral("Add Error"))}));
    if (onServer())
        QVERIFY(!f.file().tableExists(QStringLiteral("BOB")));
    QCOMPARE(listed(QStringLiteral("BOB")), 0);
}

void AddEmployeeTest::leavingWithoutOkAddsNothingAndKeepsTheListDisabled_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("close box") << "close box";
    // Left open, the window would add employees for whoever signs on next.
    QTest::newRow("leaving the main window") << "exitmain";
}

void AddEmployeeTest::leavingWithoutOkAddsNothingAndKeepsTheListDisabled()
{
    QFETCH(QString, way);
    Fixture f;
    startAsManager(f);
    frmadd &window = openAddWindow(f);
    typeEmployee(window, QStringLiteral("Bob"));
    if (way == QLatin1String("Cancel"))
        child<QPushButton>(window, "Command2")->click();
    else if (way == QLatin1String("close box"))
        window.close();
    else
        f.click(way);
    f.processEvents();
    if (!f.main().isVisible())
        f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));

    QVERIFY(!forms().isLoaded<frmadd>());
    QVERIFY(!child<QLineEdit>(f.main(), "manlist")->isEnabled());
    QCOMPARE(listed(QStringLiteral("Bob")), 0);
    QVERIFY(f.prompts.boxes.isEmpty());

    // The next opening starts afresh, and only a successful add enables the list again.
    frmadd &again = openAddWindow(f);
    QCOMPARE(child<QLineEdit>(again, "newemployee")->text(), QString());
    child<QPushButton>(again, "Command2")->click();
    f.processEvents();
    QVERIFY(!child<QLineEdit>(f.main(), "manlist")->isEnabled());
    frmadd &third = openAddWindow(f);
    typeEmployee(third, QStringLiteral("Bob"));
    pressOk(f, third);
    QVERIFY(child<QLineEdit>(f.main(), "manlist")->isEnabled());
}

void AddEmployeeTest::theWageBoxTakesTheWagesAddNewTakes_data()
{
    QTest::addColumn<bool>("inWageBox");
    QTest::addColumn<QString>("wage");
    QTest::addColumn<bool>("taken");
    for (const bool inWageBox : {false, true}) {
        const char *where = inWageBox ? "wage box" : "Add New";
        QTest::addRow("%s: decimal comma", where) << inWageBox << "7,5" << true;
        QTest::addRow("%s: nothing an hour", where) << inWageBox << "0" << true;
        QTest::addRow("%s: negative", where) << inWageBox << "-7.5" << false;
        QTest::addRow("%s: negative with a comma", where) << inWageBox << "-0,5" << false;
        QTest::addRow("%s: letters", where) << inWageBox << "ten" << false;
        QTest::addRow("%s: grouped", where) << inWageBox << "1,007.50" << false;
    }
}

void AddEmployeeTest::theWageBoxTakesTheWagesAddNewTakes()
{
    QFETCH(bool, inWageBox);
    QFETCH(QString, wage);
    QFETCH(bool, taken);
    Fixture f;
    startAsManager(f, {QStringLiteral("Ann")});
    const QString wageOfAnn = QStringLiteral("SELECT ewage FROM datalist WHERE ename = 'Ann'");
    if (!inWageBox) {
        frmadd &window = openAddWindow(f);
        typeEmployee(window, QStringLiteral("Bob"), wage);
        pressOk(f, window);
        QCOMPARE(f.takeBoxes(),
                 QList<Box>({taken ? Added : warningBox(WageRule, QStringLiteral("Add Error"))}));
        QCOMPARE(listed(QStringLiteral("Bob")), taken ? 1 : 0);
        return;
    }
    showEmployee(f, QStringLiteral("Ann"));
    child<QLineEdit>(f.main(), "emoney")->setText(wage);
    child<DataControl>(f.main(), "mandata")
        ->findChild<QAbstractButton *>(QStringLiteral("first"))
        ->click();
    QCOMPARE(f.takeBoxes(),
             taken ? QList<Box>() : QList<Box>({warningBox(WageRule, ProgramTitle)}));
    QCOMPARE(f.value(wageOfAnn).toString(), taken ? wage : QStringLiteral("10"));
    QCOMPARE(child<QLineEdit>(f.main(), "manlist")->text(),
             taken ? QStringLiteral("Manager") : QStringLiteral("Ann"));
}

void AddEmployeeTest::theWageBoxRefusesAWageAsItIsLeft_data()
{
    QTest::addColumn<Leaving>("leaving");
    QTest::addColumn<QString>("wage");
    QTest::addColumn<bool>("taken");
    const std::pair<Leaving, const char *> ways[] = {
        {Leaving::Tab, "Tab"}, {Leaving::Return, "Return"}, {Leaving::ClickGetHours, "Get Hrs/$"}};
    for (const auto &[leaving, how] : ways) {
        QTest::addRow("%s: by the hour", how) << leaving << "13.75/hr" << false;
        QTest::addRow("%s: in dollars", how) << leaving << "$10.25" << false;
        QTest::addRow("%s: negative", how) << leaving << "-7.5" << false;
        QTest::addRow("%s: decimal comma", how) << leaving << "7,5" << true;
        QTest::addRow("%s: hundredths", how) << leaving << "12.25" << true;
    }
}

void AddEmployeeTest::theWageBoxRefusesAWageAsItIsLeft()
{
    QFETCH(Leaving, leaving);
    QFETCH(QString, wage);
    QFETCH(bool, taken);
    Fixture f;
    startAsManager(f, {QStringLiteral("Ann")});
    showEmployee(f, QStringLiteral("Ann"));
    frmmain &main = f.main();
    child<QTabWidget>(main, "SSTab1")->setCurrentIndex(1);
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    child<QLineEdit>(main, "emoney")->setFocus();
    child<QLineEdit>(main, "emoney")->selectAll();
    QTest::keyClicks(child<QLineEdit>(main, "emoney"), wage);

    leaveWageBox(main, leaving);
    QCOMPARE(f.takeBoxes(),
             taken ? QList<Box>() : QList<Box>({warningBox(WageRule, ProgramTitle)}));
    // Refused, the box shows the stored wage again, selected, so that typing replaces it.
    QCOMPARE(child<QLineEdit>(main, "emoney")->text(), taken ? wage : QStringLiteral("10"));
    if (!taken) {
        QVERIFY(child<QLineEdit>(main, "emoney")->hasFocus());
        QCOMPARE(child<QLineEdit>(main, "emoney")->selectedText(), QStringLiteral("10"));
    }
    child<DataControl>(main, "mandata")
        ->findChild<QAbstractButton *>(QStringLiteral("first"))
        ->click();
    QVERIFY(f.takeBoxes().isEmpty());
    QCOMPARE(f.value(QStringLiteral("SELECT ewage FROM datalist WHERE ename = 'Ann'")).toString(),
             taken ? wage : QStringLiteral("10"));
}

QTEST_MAIN(AddEmployeeTest)
#include "test_addemployee.moc"
