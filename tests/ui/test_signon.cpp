#include "db/connection.h"
#include "support/fixture.h"
#include "ui/datacontrol.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/frmprop.h"
#include "ui/frmsub.h"
#include "ui/program.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace horalink;

namespace {
const Box NotListedBox =
    warningBox(QStringLiteral("Please enter a valid Name or click on the Combo Box."),
               QStringLiteral("Log In Error"));
}

class SignOnTest : public QObject
{
    Q_OBJECT

private slots:
    void anEmployeeWithoutPasswordSignsOnAtOnce();
    void aPasswordIsAskedUntilRight();
    void cancellingThePasswordLeavesTheMainWindowHidden();
    void unknownNamesAreRefused_data();
    void unknownNamesAreRefused();
    void managerWithoutPasswordGetsNoManagement();
    void managerWithPasswordGetsTheManagementPanel();
    void exitKeepsTheWindowAndEverySignOnStartsOnTimeFunctions();
    void anotherClocksChangesReachTheListAtTheNextSignOn();
    void theCloseBoxUnloadsTheMainWindow();
    void storedSwitchesAreAppliedAtStart_data();
    void storedSwitchesAreAppliedAtStart();
    void switchesAreStoredAndAppliedAtOnce();
    void closingThePropertiesWindowKeepsTheSwitches();
    void switchesStoredBetweenTwoSignOnsRuleTheNext();
};

void SignOnTest::anEmployeeWithoutPasswordSignsOnAtOnce()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"), {.wage = QStringLiteral("7.5")});
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));

    QVERIFY(f.main().isVisible());
    QVERIFY(!f.logon().isVisible());
    QVERIFY(!child<QWidget>(f.logon(), "passwordbx")->isVisible());
    QCOMPARE(child<QLabel>(f.main(), "nameemp")->text(), QStringLiteral("Ann"));
    QCOMPARE(f.main().session().wage, QStringLiteral("7.5"));
    QCOMPARE(child<DataControl>(f.main(), "database")->recordSource(), QStringLiteral("Ann"));
    QCOMPARE(child<QLabel>(f.main(), "currhours")->text(), QStringLiteral("0"));
    QVERIFY(f.prompts.boxes.isEmpty());
}

void SignOnTest::aPasswordIsAskedUntilRight()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Bob"), {.password = QStringLiteral("Secret")});
    f.startProgram();
    frmlogon &logon = f.logon();
    child<QComboBox>(logon, "namechoice")->setEditText(QStringLiteral("Bob"));
    child<QPushButton>(logon, "Command1")->click();
    QVERIFY(child<QWidget>(logon, "passwordbx")->isVisible());
    QVERIFY(!f.main().isVisible());

    for (const QString &wrong : {QStringLiteral("secret"), QStringLiteral("Secret "), QString()}) {
        child<QLineEdit>(logon, "txtpass")->setText(wrong);
        child<QPushButton>(logon, "Command3")->click();
    }
    const Box passwordError =
        warningBox(QStringLiteral("Incorrect Password, Please retry or Cancel."),
                   QStringLiteral("Password Error"));
    QCOMPARE(f.prompts.boxes, QList<Box>({passwordError, passwordError, passwordError}));
    QVERIFY(child<QLineEdit>(logon, "txtpass")->text().isEmpty());
    QVERIFY(child<QWidget>(logon, "passwordbx")->isVisible());

    QTest::keyClicks(child<QLineEdit>(logon, "txtpass"), QStringLiteral("Secret"));
    QCOMPARE(logon.defaultButton(), child<QPushButton>(logon, "Command3"));
    child<QPushButton>(logon, "Command3")->click();
    QVERIFY(f.main().isVisible());
    QVERIFY(!logon.isVisible());
    QVERIFY(!child<QWidget>(logon, "passwordbx")->isVisible());
    QVERIFY(child<QLineEdit>(logon, "txtpass")->text().isEmpty());
    QCOMPARE(child<QLabel>(f.main(), "nameemp")->text(), QStringLiteral("Bob"));
    QVERIFY(child<QWidget>(f.main(), "Picture1")->isHidden());

    // The file held the password as typed, as older files do; now it holds only its hash.
    const QString stored =
        f.value(QStringLiteral("SELECT epass FROM datalist WHERE ename = 'Bob'")).toString();
    QVERIFY2(stored.startsWith(QStringLiteral("$argon2id$")), qPrintable(stored));
    QVERIFY(!stored.contains(QStringLiteral("Secret")));
    f.click(QStringLiteral("exitmain"));
    f.prompts.boxes.clear();
    f.signOn(QStringLiteral("Bob"), QStringLiteral("secret"));
    QCOMPARE(f.prompts.boxes, QList<Box>({passwordError}));
    child<QLineEdit>(logon, "txtpass")->setText(QStringLiteral("Secret"));
    child<QPushButton>(logon, "Command3")->click();
    QVERIFY(f.main().isVisible());
}

void SignOnTest::cancellingThePasswordLeavesTheMainWindowHidden()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Bob"), {.password = QStringLiteral("pw")});
    f.event(QStringLiteral("Bob"), QStringLiteral("2026-03-02 09:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Bob"), QStringLiteral("2026-03-02 10:30:00"),
            QStringLiteral("Clocked Out"));
    f.startProgram();
    child<QComboBox>(f.logon(), "namechoice")->setEditText(QStringLiteral("Bob"));
    child<QPushButton>(f.logon(), "Command1")->click();
    // Nothing is read for a name until its password is given.
    QCOMPARE(child<QLabel>(f.main(), "currhours")->text(), QStringLiteral("0"));
    child<QPushButton>(f.logon(), "Command4")->click();
    QVERIFY(!child<QWidget>(f.logon(), "passwordbx")->isVisible());
    QVERIFY(!f.main().isVisible());
    QCOMPARE(child<QComboBox>(f.logon(), "namechoice")->currentText(),
             QStringLiteral("Click here for names-->"));
}

void SignOnTest::unknownNamesAreRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("prompt text") << QStringLiteral("Click here for names-->");
    QTest::newRow("other letter case") << QStringLiteral("ann");
    QTest::newRow("trailing blank") << QStringLiteral("Ann ");
    QTest::newRow("empty") << QString();
}

void SignOnTest::unknownNamesAreRefused()
{
    QFETCH(QString, typed);
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"));
    f.startProgram();
    f.signOn(typed);
    QCOMPARE(f.prompts.boxes, QList<Box>({NotListedBox}));
    QVERIFY(!f.main().isVisible());
    QVERIFY(f.logon().isVisible());
    QVERIFY(!child<QWidget>(f.logon(), "passwordbx")->isVisible());
}

void SignOnTest::managerWithoutPasswordGetsNoManagement()
{
    Fixture f;
    f.company();
    f.startProgram();
    f.signOn(QStringLiteral("Manager"));
    QCOMPARE(f.prompts.boxes,
             QList<Box>(
                 {warningBox(QStringLiteral("You will be unable to use Management functions until "
                                            "you change your password."),
                             QStringLiteral("Information"))}));
    QVERIFY(f.main().isVisible());
    QVERIFY(child<QWidget>(f.main(), "Picture1")->isHidden());
}

void SignOnTest::managerWithPasswordGetsTheManagementPanel()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    QVERIFY(f.prompts.boxes.isEmpty());
    QVERIFY(!child<QWidget>(f.main(), "Picture1")->isHidden());
}

void SignOnTest::exitKeepsTheWindowAndEverySignOnStartsOnTimeFunctions()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(QStringLiteral("Ann"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    child<QTabWidget>(f.main(), "SSTab1")->setCurrentIndex(1);
    frmmain *before = &f.main();
    f.click(QStringLiteral("exitmain"));

    QVERIFY(!f.main().isVisible());
    QVERIFY(f.logon().isVisible());
    QCOMPARE(child<QComboBox>(f.logon(), "namechoice")->currentText(),
             QStringLiteral("Click here for names-->"));
    QVERIFY(child<QWidget>(f.main(), "Picture1")->isHidden());

    f.signOn(QStringLiteral("Ann"));
    QCOMPARE(&f.main(), before);
    QCOMPARE(child<QTabWidget>(f.main(), "SSTab1")->currentIndex(), 0);
    QVERIFY(child<QWidget>(f.main(), "Picture1")->isHidden());

    // By the password step too, after the About tab was left chosen.
    child<QTabWidget>(f.main(), "SSTab1")->setCurrentIndex(2);
    f.click(QStringLiteral("exitmain"));
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    QCOMPARE(child<QTabWidget>(f.main(), "SSTab1")->currentIndex(), 0);
    QVERIFY(child<QPushButton>(f.main(), "clockin")->isVisible());
}

void SignOnTest::anotherClocksChangesReachTheListAtTheNextSignOn()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"));
    f.employee(QStringLiteral("Gus"));
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
    // Another time clock on the same data, while Ann is signed on here.
    f.employee(QStringLiteral("Bea\n%1"));
    Statement(f.file(), QStringLiteral("DELETE FROM datalist WHERE ename = 'Gus'")).run();
    f.click(QStringLiteral("exitmain"));

    QStringList listed;
    for (int i = 0; i < child<QComboBox>(f.logon(), "namechoice")->count(); ++i)
        listed << child<QComboBox>(f.logon(), "namechoice")->itemText(i);
    QCOMPARE(listed, QStringList({"Ann", "Bea\n%1", "Manager"}));
    QCOMPARE(child<QComboBox>(f.logon(), "namechoice")->currentText(),
             QStringLiteral("Click here for names-->"));
}

void SignOnTest::theCloseBoxUnloadsTheMainWindow()
{
    Fixture f;
    f.company(QStringLiteral("Acme Tools"));
    f.employee(QStringLiteral("Ann"), {.wage = QStringLiteral("12")});
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 09:00:00"),
            QStringLiteral("Clocked In"));
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
    child<QTabWidget>(f.main(), "SSTab1")->setCurrentIndex(2);
    f.main().close();
    f.processEvents();

    QVERIFY(f.logon().isVisible());
    QCOMPARE(child<QComboBox>(f.logon(), "namechoice")->currentText(),
             QStringLiteral("Click here for choice of Names---->"));
    // Loaded again when the logon window is next activated, at its design state.
    f.logon().activated();
    f.processEvents();
    QVERIFY(forms().isLoaded<frmmain>());
    frmmain &fresh = f.main();
    QVERIFY(!fresh.isVisible());
    QCOMPARE(child<QLabel>(fresh, "nameemp")->text(), QStringLiteral("Manager"));
    QCOMPARE(child<QLabel>(fresh, "currhours")->text(), QStringLiteral("0"));
    QVERIFY(fresh.session().employee.isEmpty());
    QCOMPARE(child<QTabWidget>(fresh, "SSTab1")->currentIndex(), 0);
    // The About page and the cards show the company again at the next sign-on.
    f.signOn(QStringLiteral("Ann"));
    QCOMPARE(child<QLabel>(f.main(), "company")->text(), QStringLiteral("Acme Tools"));
}

void SignOnTest::storedSwitchesAreAppliedAtStart_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("on");
    QTest::newRow("1") << QVariant(1) << true;
    QTest::newRow("0") << QVariant(0) << false;
    QTest::newRow("2") << QVariant(2) << false;
    QTest::newRow("-1") << QVariant(-1) << false;
    QTest::newRow("Null") << QVariant() << false;
}

void SignOnTest::storedSwitchesAreAppliedAtStart()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, on);
    Fixture f;
    f.company();
    for (const char *column : {"edits", "money", "subs", "signoff"})
        f.setFlag(QLatin1String(column), stored);
    f.startProgram();

    QCOMPARE(child<QLineEdit>(f.main(), "lgndatetime")->isReadOnly(), on);
    QCOMPARE(child<QGroupBox>(f.main(), "frmmoney")->isHidden(), on);
    QCOMPARE(child<QFrame>(f.main(), "Picture2")->isHidden(), !on);
    frmprop &properties = forms().frmprop();
    QVERIFY(!properties.isVisible());
    properties.show();
    QCOMPARE(child<QCheckBox>(properties, "edits")->isChecked(), on);
    QCOMPARE(child<QCheckBox>(properties, "money")->isChecked(), on);
    QCOMPARE(child<QCheckBox>(properties, "subs")->isChecked(), on);
    QCOMPARE(child<QCheckBox>(properties, "signoff")->isChecked(), on);
    // Reading the switches writes nothing.
    QCOMPARE(f.value(QStringLiteral("SELECT edits FROM \"Company Data\"")),
             stored.isNull() ? QVariant() : QVariant(stored.toLongLong()));
}

void SignOnTest::switchesAreStoredAndAppliedAtOnce()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.click(QStringLiteral("Command2"));
    frmprop &properties = forms().frmprop();
    QVERIFY(properties.isVisible());

    child<QCheckBox>(properties, "money")->click();
    QCOMPARE(f.value(QStringLiteral("SELECT money FROM \"Company Data\"")).toInt(), 1);
    QVERIFY(child<QGroupBox>(f.main(), "frmmoney")->isHidden());
    QVERIFY(!child<QFrame>(f.main(), "Picture2")->isHidden());
    child<QCheckBox>(properties, "edits")->click();
    QCOMPARE(f.value(QStringLiteral("SELECT edits FROM \"Company Data\"")).toInt(), 1);
    QVERIFY(child<QLineEdit>(f.main(), "lgndatetime")->isReadOnly());
    child<QCheckBox>(properties, "subs")->click();
    QCOMPARE(f.value(QStringLiteral("SELECT subs FROM \"Company Data\"")).toInt(), 1);

    child<QCheckBox>(properties, "money")->click();
    child<QCheckBox>(properties, "edits")->click();
    QCOMPARE(f.value(QStringLiteral("SELECT money FROM \"Company Data\"")).toInt(), 0);
    QCOMPARE(f.value(QStringLiteral("SELECT edits FROM \"Company Data\"")).toInt(), 0);
    QVERIFY(!child<QGroupBox>(f.main(), "frmmoney")->isHidden());
    QVERIFY(child<QFrame>(f.main(), "Picture2")->isHidden());
    QVERIFY(!child<QLineEdit>(f.main(), "lgndatetime")->isReadOnly());
    QVERIFY(f.prompts.boxes.isEmpty());
}

void SignOnTest::closingThePropertiesWindowKeepsTheSwitches()
{
    Fixture f;
    f.company();
    f.setFlag(QStringLiteral("subs"), 1);
    f.setFlag(QStringLiteral("money"), 1);
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.click(QStringLiteral("Command2"));
    QVERIFY(child<QCheckBox>(forms().frmprop(), "subs")->isChecked());
    forms().frmprop().close();
    f.processEvents();
    QVERIFY(!forms().frmprop().isVisible());

    // The task prompt never comes back while the switch that turns it off is stored.
    f.click(QStringLiteral("clockin"));
    QVERIFY(!forms().isLoaded<frmsub>() || !forms().frmsub().isVisible());
    QCOMPARE(f.statuses(QStringLiteral("Manager")), QStringList({"Clocked In"}));
    QCOMPARE(f.log(QStringLiteral("Manager")).first().activity.toString(), QStringLiteral(" "));
    QVERIFY(child<QGroupBox>(f.main(), "frmmoney")->isHidden());
    QVERIFY(f.prompts.boxes.isEmpty());
}

// Another clock on the same data changes the switches while this one's main window stays
// loaded between two sign-ons: the next user works under the switches as stored.
void SignOnTest::switchesStoredBetweenTwoSignOnsRuleTheNext()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"));
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
    frmmain *loaded = &f.main();
    auto *stampBox = loaded->findChild<QLineEdit *>(QStringLiteral("lgndatetime"));
    auto *wages = loaded->findChild<QWidget *>(QStringLiteral("frmmoney"));
    QVERIFY(stampBox && wages);
    QVERIFY(!stampBox->isReadOnly());
    QVERIFY(!wages->isHidden());

    const auto storeSwitches = [&f, loaded](int stored) {
        f.click(QStringLiteral("exitmain"));
        for (const char *column : {"edits", "money", "subs"})
            f.setFlag(QLatin1String(column), stored);
        f.signOn(QStringLiteral("Ann"));
        QCOMPARE(&f.main(), loaded);
    };
    storeSwitches(1);
    QVERIFY(stampBox->isReadOnly());
    QVERIFY(wages->isHidden());
    f.click(QStringLiteral("clockin"));
    QVERIFY(!forms().isLoaded<frmsub>() || !forms().frmsub().isVisible());
    QCOMPARE(f.statuses(QStringLiteral("Ann")), QStringList({"Clocked In"}));
    f.click(QStringLiteral("clockout"));

    storeSwitches(0);
    QVERIFY(!stampBox->isReadOnly());
    QVERIFY(!wages->isHidden());
    f.click(QStringLiteral("clockin"));
    QVERIFY(forms().frmsub().isVisible());
    QCOMPARE(f.statuses(QStringLiteral("Ann")), QStringList({"Clocked In", "Clocked Out"}));
    QVERIFY(f.prompts.boxes.isEmpty());
}

QTEST_MAIN(SignOnTest)
#include "test_signon.moc"
