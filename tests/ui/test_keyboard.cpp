// The keyboard reaches what the mouse does: Esc, Enter on a completed name, Tab through every
// control and Space on the clickable captions; typing over the name prompt.
#include "support/fixture.h"
#include "ui/clicklabel.h"
#include "ui/forms.h"
#include "ui/frmadd.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/frmpass.h"
#include "ui/frmprop.h"
#include "ui/frmstartup.h"
#include "ui/frmsub.h"
#include "ui/program.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTextEdit>

using namespace horalink;

namespace {

void escape(Fixture &f, QWidget &window)
{
    QTest::keyClick(&window, Qt::Key_Escape);
    f.processEvents();
}

// The manager signed on by password, Ann listed.
void managerIn(Fixture &f)
{
    f.company();
    f.employee(QStringLiteral("Ann"));
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.takeBoxes();
}

// A key as the user presses it: to whatever has the focus.
void press(Fixture &f, Qt::Key key)
{
    QTest::keyClick(static_cast<QWidget *>(nullptr), key);
    f.processEvents();
}

void type(Fixture &f, const QString &text)
{
    QTest::keyClicks(static_cast<QWidget *>(nullptr), text);
    f.processEvents();
}

bool activate(QWidget &window)
{
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

QString focused()
{
    const QWidget *widget = QApplication::focusWidget();
    return widget ? widget->objectName() : QStringLiteral("(none)");
}

// Where each Tab lands, from the control that has the focus until it comes back.
QStringList tabChain(Fixture &f)
{
    const QString start = focused();
    QStringList reached;
    do {
        press(f, Qt::Key_Tab);
        reached << focused();
    } while (reached.last() != start && reached.size() < 40);
    return reached;
}

} // namespace

class KeyboardTest : public QObject
{
    Q_OBJECT

private slots:
    void escapeDoesWhatCancelOrTheCloseBoxDoes();
    void enterSignsOnWithTheCompletedName();
    void theClickableCaptionsAnswerSpace();
    void theManagementTabSaysWhyItIsEmpty();
    void typingReplacesTheNamePrompt_data();
    void typingReplacesTheNamePrompt();
    void aCompletedNameIsSpelledAsListed_data();
    void aCompletedNameIsSpelledAsListed();
    void escapeInABoxTakesBackTheEdit_data();
    void escapeInABoxTakesBackTheEdit();
    void escapeNeverEndsTheProgram();
    void escapeLeavesTheFirstRunWindowOpen();
    void tabReachesEveryControlInReadingOrder();
    void tabInTheNotesMovesOn();
};

void KeyboardTest::escapeDoesWhatCancelOrTheCloseBoxDoes()
{
    Fixture f;
    managerIn(f);
    f.click(QStringLiteral("Command5"));
    escape(f, forms().frmadd());
    QVERIFY(!forms().isLoaded<frmadd>());
    // As Cancel leaves it: the list stays disabled until an employee is added.
    QVERIFY(!child<QLineEdit>(f.main(), "manlist")->isEnabled());

    f.click(QStringLiteral("chpass"));
    escape(f, forms().frmpass());
    QVERIFY(!forms().isLoaded<frmpass>());

    f.click(QStringLiteral("Command2"));
    escape(f, forms().frmprop());
    QVERIFY(!forms().frmprop().isVisible());

    f.click(QStringLiteral("clockin"));
    escape(f, forms().frmsub());
    QVERIFY(!forms().isLoaded<frmsub>());
    QCOMPARE(f.takeBoxes().size(), 1);
    QVERIFY(f.statuses(QStringLiteral("Manager")).isEmpty());

    escape(f, f.main());
    QVERIFY(!forms().isLoaded<frmmain>());
    QVERIFY(f.logon().isVisible());

    child<QComboBox>(f.logon(), "namechoice")->setEditText(QStringLiteral("Manager"));
    child<QPushButton>(f.logon(), "Command1")->click();
    QVERIFY(child<QWidget>(f.logon(), "passwordbx")->isVisible());
    escape(f, f.logon());
    QVERIFY(!child<QWidget>(f.logon(), "passwordbx")->isVisible());
    QCOMPARE(child<QComboBox>(f.logon(), "namechoice")->currentText(), NamePrompt);
}

void KeyboardTest::enterSignsOnWithTheCompletedName()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"));
    f.startProgram();
    f.logon().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.logon()));
    child<QComboBox>(f.logon(), "namechoice")->setFocus();
    child<QComboBox>(f.logon(), "namechoice")->lineEdit()->selectAll();
    QTest::keyClicks(child<QComboBox>(f.logon(), "namechoice"), QStringLiteral("Man"));
    QTest::keyClick(child<QComboBox>(f.logon(), "namechoice"), Qt::Key_Return);
    f.processEvents();
    QVERIFY(f.main().isVisible());
    QCOMPARE(child<QLabel>(f.main(), "nameemp")->text(), QStringLiteral("Manager"));
}

void KeyboardTest::theClickableCaptionsAnswerSpace()
{
    Fixture f;
    managerIn(f);
    f.event(QStringLiteral("Manager"), QStringLiteral("2026-03-02 08:00:00"),
            QStringLiteral("Clocked In"));
    f.main().fxngettotal();
    child<QTabWidget>(f.main(), "SSTab1")->setCurrentIndex(1);
    QVERIFY(child<ClickLabel>(f.main(), "Label8")->focusPolicy() & Qt::TabFocus);
    QTest::keyClick(child<ClickLabel>(f.main(), "Label8"), Qt::Key_Space);
    QVERIFY(!child<QFrame>(f.main(), "Picture3")->isHidden());
    QTest::keyClick(child<ClickLabel>(f.main(), "Label8"), Qt::Key_Return);
    QVERIFY(child<QFrame>(f.main(), "Picture3")->isHidden());

    child<QTabWidget>(f.main(), "SSTab1")->setCurrentIndex(0);
    child<QLineEdit>(f.main(), "lgndatetime")->setText(QStringLiteral("soon"));
    QTest::keyClick(child<ClickLabel>(f.main(), "Label11"), Qt::Key_Space);
    QCOMPARE(f.takeBoxes(),
             QList<Box>({plainBox(QStringLiteral("Invalid Date / Time.  Please correct the "
                                                 "entry and try again"))}));
}

void KeyboardTest::theManagementTabSaysWhyItIsEmpty()
{
    Fixture f;
    managerIn(f);
    QVERIFY(child<QLabel>(f.main(), "managementHint")->isHidden());
    f.click(QStringLiteral("exitmain"));
    f.signOn(QStringLiteral("Ann"));
    QVERIFY(!child<QLabel>(f.main(), "managementHint")->isHidden());
    QVERIFY(child<QWidget>(f.main(), "Picture1")->isHidden());
}

void KeyboardTest::typingReplacesTheNamePrompt_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("window shown") << QStringLiteral("shown");
    QTest::newRow("Tab") << QStringLiteral("tab");
    QTest::newRow("click") << QStringLiteral("click");
    QTest::newRow("back from the main window") << QStringLiteral("exit");
}

void KeyboardTest::typingReplacesTheNamePrompt()
{
    QFETCH(QString, way);
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"));
    f.startProgram();
    frmlogon &logon = f.logon();
    QVERIFY(activate(logon));
    if (way == QLatin1String("tab")) {
        child<QPushButton>(logon, "Command2")->setFocus();
        press(f, Qt::Key_Tab);
    } else if (way == QLatin1String("click")) {
        child<QPushButton>(logon, "Command1")->setFocus();
        QTest::mouseClick(child<QComboBox>(logon, "namechoice")->lineEdit(), Qt::LeftButton, {},
                          child<QComboBox>(logon, "namechoice")->lineEdit()->rect().center());
        f.processEvents();
    } else if (way == QLatin1String("exit")) {
        f.signOn(QStringLiteral("Ann"));
        f.click(QStringLiteral("exitmain"));
        QVERIFY(activate(logon));
    }
    QCOMPARE(focused(), QStringLiteral("namechoice"));
    QCOMPARE(child<QComboBox>(logon, "namechoice")->currentText(), NamePrompt);

    type(f, QStringLiteral("Ann"));
    QCOMPARE(child<QComboBox>(logon, "namechoice")->currentText(), QStringLiteral("Ann"));
    press(f, Qt::Key_Return);
    QVERIFY(f.main().isVisible());
    QCOMPARE(f.main().session().employee, QStringLiteral("Ann"));
}

void KeyboardTest::aCompletedNameIsSpelledAsListed_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("signedOn");
    QTest::newRow("the start completed") << QStringLiteral("bob") << QStringLiteral("Bob Smith");
    QTest::newRow("all typed") << QStringLiteral("bob smith") << QStringLiteral("Bob Smith");
    QTest::newRow("a namesake in other letters")
        << QStringLiteral("BOB") << QStringLiteral("BOB smith");
    QTest::newRow("as listed") << QStringLiteral("Bob S") << QStringLiteral("Bob Smith");
}

void KeyboardTest::aCompletedNameIsSpelledAsListed()
{
    QFETCH(QString, typed);
    QFETCH(QString, signedOn);
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Bob Smith"));
    f.employee(QStringLiteral("BOB smith"));
    f.startProgram();
    QVERIFY(activate(f.logon()));
    QCOMPARE(focused(), QStringLiteral("namechoice"));
    type(f, typed);
    QCOMPARE(child<QComboBox>(f.logon(), "namechoice")->currentText(), signedOn);
    press(f, Qt::Key_Return);
    QVERIFY(f.takeBoxes().isEmpty());
    QCOMPARE(f.main().session().employee, signedOn);
}

void KeyboardTest::escapeInABoxTakesBackTheEdit_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("stored");
    const QString manager = QStringLiteral(" FROM datalist WHERE ename = 'Manager'");
    QTest::newRow("an event's date")
        << QStringLiteral("lgndatetime") << 0 << QStringLiteral("SELECT datetime FROM \"Manager\"");
    QTest::newRow("a wage") << QStringLiteral("emoney") << 1
                            << QStringLiteral("SELECT Ewage") + manager;
    QTest::newRow("a note") << QStringLiteral("Text1") << 1
                            << QStringLiteral("SELECT Ecomment") + manager;
}

// Esc takes back what was typed, whether or not the row would take it, and the user stays
// signed on; nothing is stored when the user then leaves.
void KeyboardTest::escapeInABoxTakesBackTheEdit()
{
    QFETCH(QString, box);
    QFETCH(int, tab);
    QFETCH(QString, stored);
    Fixture f;
    f.event(QStringLiteral("Manager"), QStringLiteral("2026-03-02 08:00:00"),
            QStringLiteral("Clocked In"));
    managerIn(f);
    child<QTabWidget>(f.main(), "SSTab1")->setCurrentIndex(tab);
    QVERIFY(activate(f.main()));
    auto *edit = f.main().findChild<QWidget *>(box);
    const auto shown = [edit] {
        const auto *line = qobject_cast<QLineEdit *>(edit);
        return line ? line->text() : qobject_cast<QTextEdit *>(edit)->toPlainText();
    };
    edit->setFocus();
    const QString before = shown();
    const QVariant storedBefore = f.value(stored);
    press(f, Qt::Key_End);
    type(f, QStringLiteral("soon"));
    press(f, Qt::Key_Escape);

    QCOMPARE(shown(), before);
    QVERIFY(f.main().isVisible());
    QCOMPARE(f.main().session().employee, QStringLiteral("Manager"));
    f.click(QStringLiteral("exitmain"));
    QCOMPARE(f.takeBoxes(), QList<Box>());
    QCOMPARE(f.value(stored), storedBefore);
}

void KeyboardTest::escapeNeverEndsTheProgram()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"));
    f.startProgram();
    frmlogon &logon = f.logon();
    QVERIFY(activate(logon));
    type(f, QStringLiteral("An"));
    press(f, Qt::Key_Escape);
    QCOMPARE(child<QComboBox>(logon, "namechoice")->currentText(), NamePrompt);
    press(f, Qt::Key_Escape);
    QVERIFY(!programEnded());
    QVERIFY(logon.isVisible());
    // Typing replaces the prompt put back.
    type(f, QStringLiteral("Ann"));
    QCOMPARE(child<QComboBox>(logon, "namechoice")->currentText(), QStringLiteral("Ann"));
}

void KeyboardTest::escapeLeavesTheFirstRunWindowOpen()
{
    Fixture f;
    f.startProgram();
    frmstartup &startup = forms().frmstartup();
    QVERIFY(activate(startup));
    QCOMPARE(focused(), QStringLiteral("Companyname"));
    type(f, QStringLiteral("Acme"));
    press(f, Qt::Key_Escape);
    QCOMPARE(child<QLineEdit>(startup, "Companyname")->text(), QString());
    press(f, Qt::Key_Escape);
    QVERIFY(!programEnded());
    QVERIFY(startup.isVisible());
}

void KeyboardTest::tabReachesEveryControlInReadingOrder()
{
    Fixture f;
    managerIn(f);
    frmmain &main = f.main();
    QVERIFY(activate(main));
    const QString tabBar = QStringLiteral("qt_tabwidget_tabbar");
    const QStringList navigator{QStringLiteral("first"), QStringLiteral("previous"),
                                QStringLiteral("next"), QStringLiteral("last")};
    child<QTabWidget>(main, "SSTab1")->tabBar()->setFocus();
    QCOMPARE(tabChain(f), QStringList({QStringLiteral("clockin"), QStringLiteral("clockout"),
                                       QStringLiteral("Label12"), QStringLiteral("Label11"),
                                       QStringLiteral("lgndatetime")}) +
                              navigator + QStringList{tabBar});

    child<QTabWidget>(main, "SSTab1")->setCurrentIndex(1);
    child<QTabWidget>(main, "SSTab1")->tabBar()->setFocus();
    QCOMPARE(tabChain(f),
             QStringList({QStringLiteral("Command2"), QStringLiteral("Command1"),
                          QStringLiteral("Command3"), QStringLiteral("Command4"),
                          QStringLiteral("Command5"), QStringLiteral("ChgPass"),
                          QStringLiteral("Deleteemp"), QStringLiteral("PayPeriod")}) +
                 navigator +
                 QStringList({QStringLiteral("manlist"), QStringLiteral("emoney"),
                              QStringLiteral("Text1"), QStringLiteral("Label8"), tabBar}));

    f.click(QStringLiteral("exitmain"));
    frmlogon &logon = f.logon();
    QVERIFY(activate(logon));
    QCOMPARE(tabChain(f), QStringList({QStringLiteral("Command1"), QStringLiteral("Command2"),
                                       QStringLiteral("namechoice")}));
    type(f, QStringLiteral("Manager"));
    press(f, Qt::Key_Return);
    QCOMPARE(focused(), QStringLiteral("txtpass"));
    QCOMPARE(tabChain(f), QStringList({QStringLiteral("Command3"), QStringLiteral("Command4"),
                                       QStringLiteral("txtpass")}));
}

// A tab typed into a note would be stored with it, and the keyboard could never leave it.
void KeyboardTest::tabInTheNotesMovesOn()
{
    Fixture f;
    managerIn(f);
    child<QTabWidget>(f.main(), "SSTab1")->setCurrentIndex(1);
    QVERIFY(activate(f.main()));
    child<QTextEdit>(f.main(), "Text1")->setFocus();
    child<QTextEdit>(f.main(), "Text1")->moveCursor(QTextCursor::End);
    type(f, QStringLiteral("keys"));
    press(f, Qt::Key_Tab);
    QCOMPARE(focused(), QStringLiteral("Label8"));
    QVERIFY(!child<QTextEdit>(f.main(), "Text1")->toPlainText().contains(QLatin1Char('\t')));
    f.click(QStringLiteral("exitmain"));
    const QString note =
        f.value(QStringLiteral("SELECT Ecomment FROM datalist WHERE ename = 'Manager'")).toString();
    QVERIFY(note.endsWith(QStringLiteral("keys")));
    QVERIFY(!note.contains(QLatin1Char('\t')));
}

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
