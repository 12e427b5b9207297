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
    QVERIFY(!f.main().employeeNameEdit->isEnabled());

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

    f.logon().nameBox->setEditText(QStringLiteral("Manager"));
    f.logon().okButton->click();
    QVERIFY(f.logon().passwordPanel->isVisible());
    escape(f, f.logon());
    QVERIFY(!f.logon().passwordPanel->isVisible());
    QCOMPARE(f.logon().nameBox->currentText(), NamePrompt);
}

void KeyboardTest::enterSignsOnWithTheCompletedName()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"));
    f.startProgram();
    f.logon().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.logon()));
    f.logon().nameBox->setFocus();
    f.logon().nameBox->lineEdit()->selectAll();
    QTest::keyClicks(f.logon().nameBox, QStringLiteral("Man"));
    QTest::keyClick(f.logon().nameBox, Qt::Key_Return);
    f.processEvents();
    QVERIFY(f.main().isVisible());
    QCOMPARE(f.main().userNameLabel->text(), QStringLiteral("Manager"));
}

void KeyboardTest::theClickableCaptionsAnswerSpace()
{
    Fixture f;
    managerIn(f);
    f.event(QStringLiteral("Manager"), QStringLiteral("2026-03-02 08:00:00"),
            QStringLiteral("Clocked In"));
    f.main().fxngettotal(QStringLiteral("Manager"));
    f.main().tabs->setCurrentIndex(1);
    QVERIFY(f.main().gridToggleLabel->focusPolicy() & Qt::TabFocus);
    QTest::keyClick(f.main().gridToggleLabel, Qt::Key_Space);
    QVERIFY(!f.main().gridPanel->isHidden());
    QTest::keyClick(f.main().gridToggleLabel, Qt::Key_Return);
    QVERIFY(f.main().gridPanel->isHidden());

    f.main().tabs->setCurrentIndex(0);
    f.main().eventStampEdit->setText(QStringLiteral("soon"));
    QTest::keyClick(f.main().updateLabel, Qt::Key_Space);
    QCOMPARE(f.takeBoxes(),
             QList<Box>({plainBox(QStringLiteral("Invalid Date / Time.  Please correct the "
                                                 "entry and try again"))}));
}

void KeyboardTest::theManagementTabSaysWhyItIsEmpty()
{
    Fixture f;
    managerIn(f);
    QVERIFY(f.main().managementHintLabel->isHidden());
    f.click(QStringLiteral("exitmain"));
    f.signOn(QStringLiteral("Ann"));
    QVERIFY(!f.main().managementHintLabel->isHidden());
    QVERIFY(f.main().managementPanel->isHidden());
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
        logon.exitButton->setFocus();
        press(f, Qt::Key_Tab);
    } else if (way == QLatin1String("click")) {
        logon.okButton->setFocus();
        QTest::mouseClick(logon.nameBox->lineEdit(), Qt::LeftButton, {},
                          logon.nameBox->lineEdit()->rect().center());
        f.processEvents();
    } else if (way == QLatin1String("exit")) {
        f.signOn(QStringLiteral("Ann"));
        f.click(QStringLiteral("exitmain"));
        QVERIFY(activate(logon));
    }
    QCOMPARE(focused(), QStringLiteral("namechoice"));
    QCOMPARE(logon.nameBox->currentText(), NamePrompt);

    type(f, QStringLiteral("Ann"));
    QCOMPARE(logon.nameBox->currentText(), QStringLiteral("Ann"));
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
    QCOMPARE(f.logon().nameBox->currentText(), signedOn);
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
    f.main().tabs->setCurrentIndex(tab);
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
    QCOMPARE(logon.nameBox->currentText(), NamePrompt);
    press(f, Qt::Key_Escape);
    QVERIFY(!programEnded());
    QVERIFY(logon.isVisible());
    // Typing replaces the prompt put back.
    type(f, QStringLiteral("Ann"));
    QCOMPARE(logon.nameBox->currentText(), QStringLiteral("Ann"));
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
    QCOMPARE(startup.companyEdit->text(), QString());
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
    main.tabs->tabBar()->setFocus();
    QCOMPARE(tabChain(f), QStringList({QStringLiteral("clockin"), QStringLiteral("clockout"),
                                       QStringLiteral("Label12"), QStringLiteral("Label11"),
                                       QStringLiteral("lgndatetime")}) +
                              navigator + QStringList{tabBar});

    main.tabs->setCurrentIndex(1);
    main.tabs->tabBar()->setFocus();
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
    f.main().tabs->setCurrentIndex(1);
    QVERIFY(activate(f.main()));
    f.main().notesEdit->setFocus();
    f.main().notesEdit->moveCursor(QTextCursor::End);
    type(f, QStringLiteral("keys"));
    press(f, Qt::Key_Tab);
    QCOMPARE(focused(), QStringLiteral("Label8"));
    QVERIFY(!f.main().notesEdit->toPlainText().contains(QLatin1Char('\t')));
    f.click(QStringLiteral("exitmain"));
    const QString note =
        f.value(QStringLiteral("SELECT Ecomment FROM datalist WHERE ename = 'Manager'")).toString();
    QVERIFY(note.endsWith(QStringLiteral("keys")));
    QVERIFY(!note.contains(QLatin1Char('\t')));
}

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
