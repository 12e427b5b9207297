#include "manager.h"

#include "db/passwordhash.h"
#include "db/sqlite.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/frmpass.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace horalink;

namespace {

const QString Ann = QStringLiteral("Ann");
const Box Changed =
    informationBox(QStringLiteral("Password Successfully Changed."), QStringLiteral("Successful!"));
const Box NotFound = warningBox(QStringLiteral("Sorry, their was a problem with the data file. "
                                               "Check with your system administrator."),
                                QStringLiteral("Change Pass Error"));

QVariant password(Fixture &f, const QString &name)
{
    Statement query(f.file(), QStringLiteral("SELECT epass FROM datalist WHERE ename = ?1 "
                                             "ORDER BY rowid"));
    query.bind(1, name);
    return query.step() ? query.value(0) : QVariant();
}

// Whether the employee list holds this password for the name: its hash, never the text as
// typed, or an empty text for no password.
bool holds(Fixture &f, const QString &name, const QString &typed)
{
    const QString stored = password(f, name).toString();
    if (typed.isEmpty())
        return stored.isEmpty() && !password(f, name).isNull();
    return stored != typed && checkPassword(typed, stored) == PasswordCheck::Right;
}

void pressEnter(Fixture &f, QWidget &window)
{
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    f.processEvents();
}

} // namespace

class PasswordTest : public QObject
{
    Q_OBJECT

private slots:
    void eachModeChangesItsOwnName_data();
    void eachModeChangesItsOwnName();
    void thePanelChangesTheEmployeeShownWhenOkIsPressed();
    void theOwnPartUnderThePanelChangesTheSignedOnUser();
    void anUnknownNameChangesNothing_data();
    void anUnknownNameChangesNothing();
    void onlyTheFirstRowOfANameChanges();
    void theNextSignOnAsksForTheNewPassword_data();
    void theNextSignOnAsksForTheNewPassword();
    void cancelWritesNothingAndTheNextOpeningStartsAfresh();
    void enterPressesTheOkOfTheBoxTypedIn();
    void leavingTheMainWindowClosesItUnchanged_data();
    void leavingTheMainWindowClosesItUnchanged();
};

void PasswordTest::eachModeChangesItsOwnName_data()
{
    QTest::addColumn<bool>("managerMode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("changed");
    QTest::newRow("own") << false << "n3w pass"
                         << "Manager";
    QTest::newRow("own, empty") << false << ""
                                << "Manager";
    QTest::newRow("manager's, for Ann") << true << "ann's"
                                        << "Ann";
    QTest::newRow("manager's, empty") << true << ""
                                      << "Ann";
}

void PasswordTest::eachModeChangesItsOwnName()
{
    QFETCH(bool, managerMode);
    QFETCH(QString, typed);
    QFETCH(QString, changed);
    Fixture f;
    startAsManager(f, {Ann});
    f.setPassword(Ann, QStringLiteral("old"));
    showEmployee(f, Ann);
    f.click(managerMode ? QStringLiteral("ChgPass") : QStringLiteral("chpass"));
    frmpass &window = forms().frmpass();
    QVERIFY(window.isVisible());
    QCOMPARE(child<QWidget>(window, "Picture1")->isVisible(), managerMode);
    // Showing the panel puts the typing and Enter on it.
    QCOMPARE(window.defaultButton(), managerMode ? child<QPushButton>(window, "Command3")
                                                 : child<QPushButton>(window, "Command1"));
    QLineEdit *box =
        managerMode ? child<QLineEdit>(window, "Text1") : child<QLineEdit>(window, "newpasswrd");
    box->setText(typed);
    (managerMode ? child<QPushButton>(window, "Command3") : child<QPushButton>(window, "Command1"))
        ->click();
    f.processEvents();

    QCOMPARE(f.takeBoxes(), QList<Box>({Changed}));
    QVERIFY(!forms().isLoaded<frmpass>());
    QVERIFY(holds(f, changed, typed));
    const QString other = changed == Ann ? QStringLiteral("Manager") : Ann;
    if (other == Ann)
        QCOMPARE(password(f, Ann).toString(), QStringLiteral("old"));
    else
        QVERIFY(holds(f, other, QStringLiteral("boss")));
}

// The panel stays open while the Management tab's browser moves on; what is typed is for the
// employee shown beside it when OK is pressed, not for the one shown when it was opened.
void PasswordTest::thePanelChangesTheEmployeeShownWhenOkIsPressed()
{
    const QString bob = QStringLiteral("Bob");
    Fixture f;
    startAsManager(f, {Ann, bob});
    f.setPassword(Ann, QStringLiteral("old"));
    f.setPassword(bob, QStringLiteral("old"));
    showEmployee(f, Ann);
    f.click(QStringLiteral("ChgPass"));
    showEmployee(f, bob);
    frmpass &window = forms().frmpass();
    child<QLineEdit>(window, "Text1")->setText(QStringLiteral("new"));
    child<QPushButton>(window, "Command3")->click();
    f.processEvents();

    QCOMPARE(f.takeBoxes(), QList<Box>({Changed}));
    QVERIFY(holds(f, bob, QStringLiteral("new")));
    QCOMPARE(password(f, Ann).toString(), QStringLiteral("old"));
}

// The panel covers the own-password part without taking it over: reached all the same, it
// changes the Manager's own password, not the employee's shown beside it.
void PasswordTest::theOwnPartUnderThePanelChangesTheSignedOnUser()
{
    Fixture f;
    startAsManager(f, {Ann});
    f.setPassword(Ann, QStringLiteral("old"));
    showEmployee(f, Ann);
    f.click(QStringLiteral("ChgPass"));
    frmpass &window = forms().frmpass();
    child<QLineEdit>(window, "newpasswrd")->setText(QStringLiteral("mine"));
    child<QPushButton>(window, "Command1")->click();
    f.processEvents();

    QCOMPARE(f.takeBoxes(), QList<Box>({Changed}));
    QVERIFY(holds(f, QStringLiteral("Manager"), QStringLiteral("mine")));
    QCOMPARE(password(f, Ann).toString(), QStringLiteral("old"));
}

void PasswordTest::anUnknownNameChangesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("other letters") << "ann";
    QTest::newRow("nobody shown") << "";
}

void PasswordTest::anUnknownNameChangesNothing()
{
    QFETCH(QString, name);
    Fixture f;
    startAsManager(f, {Ann});
    child<QLineEdit>(f.main(), "manlist")->setText(name);
    f.click(QStringLiteral("ChgPass"));
    frmpass &window = forms().frmpass();
    child<QLineEdit>(window, "Text1")->setText(QStringLiteral("x"));
    child<QPushButton>(window, "Command3")->click();
    f.processEvents();

    QCOMPARE(f.takeBoxes(), QList<Box>({NotFound}));
    QVERIFY(!forms().isLoaded<frmpass>());
    QVERIFY(holds(f, QStringLiteral("Manager"), QStringLiteral("boss")));
    QVERIFY(password(f, Ann).isNull());
}

void PasswordTest::onlyTheFirstRowOfANameChanges()
{
    Fixture f;
    startAsManager(f, {Ann, Ann});
    showEmployee(f, Ann);
    f.click(QStringLiteral("ChgPass"));
    child<QLineEdit>(forms().frmpass(), "Text1")->setText(QStringLiteral("first"));
    child<QPushButton>(forms().frmpass(), "Command3")->click();
    f.processEvents();
    QVERIFY(holds(f, Ann, QStringLiteral("first")));
    QVERIFY(f.value(QStringLiteral("SELECT epass FROM datalist WHERE ename = 'Ann' ORDER BY rowid "
                                   "DESC LIMIT 1"))
                .isNull());
}

void PasswordTest::theNextSignOnAsksForTheNewPassword_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("ascii") << "chief";
    QTest::newRow("letters beyond ascii") << QStringLiteral("Kennw\u00f6rt");
}

void PasswordTest::theNextSignOnAsksForTheNewPassword()
{
    QFETCH(QString, typed);
    Fixture f;
    startAsManager(f);
    f.click(QStringLiteral("chpass"));
    child<QLineEdit>(forms().frmpass(), "newpasswrd")->setText(typed);
    child<QPushButton>(forms().frmpass(), "Command1")->click();
    f.processEvents();
    f.takeBoxes();
    f.click(QStringLiteral("exitmain"));

    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    QCOMPARE(f.takeBoxes(),
             QList<Box>({warningBox(QStringLiteral("Incorrect Password, Please retry or Cancel."),
                                    QStringLiteral("Password Error"))}));
    QVERIFY(!f.main().isVisible());
    child<QLineEdit>(f.logon(), "txtpass")->setText(typed);
    child<QPushButton>(f.logon(), "Command3")->click();
    f.processEvents();
    QVERIFY(f.main().isVisible());
    QVERIFY(!child<QWidget>(f.main(), "Picture1")->isHidden());
}

void PasswordTest::cancelWritesNothingAndTheNextOpeningStartsAfresh()
{
    Fixture f;
    startAsManager(f);
    f.click(QStringLiteral("ChgPass"));
    child<QLineEdit>(forms().frmpass(), "Text1")->setText(QStringLiteral("typed"));
    // The panel covers Cancel; the close box is the way out and writes nothing either.
    QVERIFY(child<QWidget>(forms().frmpass(), "Picture1")
                ->geometry()
                .contains(child<QPushButton>(forms().frmpass(), "Command2")->geometry()));
    forms().frmpass().close();
    f.processEvents();
    QVERIFY(!forms().isLoaded<frmpass>());

    f.click(QStringLiteral("chpass"));
    frmpass &window = forms().frmpass();
    QVERIFY(!child<QWidget>(window, "Picture1")->isVisible());
    QCOMPARE(child<QLineEdit>(window, "Text1")->text(), QString());
    child<QLineEdit>(window, "newpasswrd")->setText(QStringLiteral("typed"));
    child<QPushButton>(window, "Command2")->click();
    f.processEvents();
    QVERIFY(!forms().isLoaded<frmpass>());
    QVERIFY(f.prompts.boxes.isEmpty());
    QVERIFY(holds(f, QStringLiteral("Manager"), QStringLiteral("boss")));
}

void PasswordTest::enterPressesTheOkOfTheBoxTypedIn()
{
    Fixture f;
    startAsManager(f, {Ann});
    showEmployee(f, Ann);
    f.click(QStringLiteral("chpass"));
    frmpass &own = forms().frmpass();
    QCOMPARE(own.defaultButton(), child<QPushButton>(own, "Command1"));
    // The menu entry leaves a window opened by the button in the manager's mode.
    f.click(QStringLiteral("ChgPass"));
    f.click(QStringLiteral("chpass"));
    QVERIFY(child<QWidget>(own, "Picture1")->isVisible());
    child<QLineEdit>(own, "Text1")->setText(QStringLiteral("by enter"));
    QCOMPARE(own.defaultButton(), child<QPushButton>(own, "Command3"));
    pressEnter(f, own);
    QCOMPARE(f.takeBoxes(), QList<Box>({Changed}));
    QVERIFY(holds(f, Ann, QStringLiteral("by enter")));
}

void PasswordTest::leavingTheMainWindowClosesItUnchanged_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Exit") << "exitmain";
    QTest::newRow("close box") << "close box";
}

void PasswordTest::leavingTheMainWindowClosesItUnchanged()
{
    QFETCH(QString, way);
    Fixture f;
    f.company();
    f.employee(Ann);
    f.employee(QStringLiteral("Bob"));
    f.startProgram();
    f.signOn(Ann);
    f.click(QStringLiteral("chpass"));
    child<QLineEdit>(forms().frmpass(), "newpasswrd")->setText(QStringLiteral("typed by Ann"));
    if (way == QLatin1String("close box"))
        f.main().close();
    else
        f.click(way);
    f.processEvents();
    QVERIFY(!forms().isLoaded<frmpass>());

    // Otherwise Bob, signing on next, would find Ann's password ready to be stored as his.
    f.signOn(QStringLiteral("Bob"));
    QCOMPARE(child<QLabel>(f.main(), "nameemp")->text(), QStringLiteral("Bob"));
    QVERIFY(!forms().isLoaded<frmpass>());
    QVERIFY(f.prompts.boxes.isEmpty());
    QVERIFY(password(f, Ann).isNull());
    QVERIFY(password(f, QStringLiteral("Bob")).isNull());
}

QTEST_MAIN(PasswordTest)
#include "test_passwords.moc"
