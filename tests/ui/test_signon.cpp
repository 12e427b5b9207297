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
    QVERIFY(!f.logon().passwordPanel->isVisible());
    QCOMPARE(f.main().userNameLabel->text(), QStringLiteral("Ann"));
    QCOMPARE(f.main().wageLabel->text(), QStringLiteral("7.5"));
    QCOMPARE(f.main().userLog->recordSource(), QStringLiteral("Ann"));
    QCOMPARE(f.main().hoursLabel->text(), QStringLiteral("0"));
    QVERIFY(f.prompts.boxes.isEmpty());
}

void SignOnTest::aPasswordIsAskedUntilRight()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Bob"), {.password = QStringLiteral("Secret")});
    f.startProgram();
    frmlogon &logon = f.logon();
    logon.nameBox->setEditText(QStringLiteral("Bob"));
    logon.okButton->click();
    QVERIFY(logon.passwordPanel->isVisible());
    QVERIFY(!f.main().isVisible());

    for (const QString &wrong : {QStringLiteral("secret"), QStringLiteral("Secret "), QString()}) {
        logon.passwordEdit->setText(wrong);
        logon.passwordOkButton->click();
    }
    const Box passwordError =
        warningBox(QStringLiteral("Incorrect Password, Please retry or Cancel."),
                   QStringLiteral("Password Error"));
    QCOMPARE(f.prompts.boxes, QList<Box>({passwordError, passwordError, passwordError}));
    QVERIFY(logon.passwordEdit->text().isEmpty());
    QVERIFY(logon.passwordPanel->isVisible());

    QTest::keyClicks(logon.passwordEdit, QStringLiteral("Secret"));
    QCOMPARE(logon.defaultButton(), logon.passwordOkButton);
    logon.passwordOkButton->click();
    QVERIFY(f.main().isVisible());
    QVERIFY(!logon.isVisible());
    QVERIFY(!logon.passwordPanel->isVisible());
    QVERIFY(logon.passwordEdit->text().isEmpty());
    QCOMPARE(f.main().userNameLabel->text(), QStringLiteral("Bob"));
    QVERIFY(f.main().managementPanel->isHidden());

    // The file held the password as typed, as older files do; now it holds only its hash.
    const QString stored =
        f.value(QStringLiteral("SELECT epass FROM datalist WHERE ename = 'Bob'")).toString();
    QVERIFY2(stored.startsWith(QStringLiteral("$argon2id$")), qPrintable(stored));
    QVERIFY(!stored.contains(QStringLiteral("Secret")));
    f.click(QStringLiteral("exitmain"));
    f.prompts.boxes.clear();
    f.signOn(QStringLiteral("Bob"), QStringLiteral("secret"));
    QCOMPARE(f.prompts.boxes, QList<Box>({passwordError}));
    logon.passwordEdit->setText(QStringLiteral("Secret"));
    logon.passwordOkButton->click();
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
    f.logon().nameBox->setEditText(QStringLiteral("Bob"));
    f.logon().okButton->click();
    // Nothing is read for a name until its password is given.
    QCOMPARE(f.main().hoursLabel->text(), QStringLiteral("0"));
    f.logon().passwordCancelButton->click();
    QVERIFY(!f.logon().passwordPanel->isVisible());
    QVERIFY(!f.main().isVisible());
    QCOMPARE(f.logon().nameBox->currentText(), QStringLiteral("Click here for names-->"));
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
    QVERIFY(!f.logon().passwordPanel->isVisible());
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
    QVERIFY(f.main().managementPanel->isHidden());
}

void SignOnTest::managerWithPasswordGetsTheManagementPanel()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    QVERIFY(f.prompts.boxes.isEmpty());
    QVERIFY(!f.main().managementPanel->isHidden());
}

void SignOnTest::exitKeepsTheWindowAndEverySignOnStartsOnTimeFunctions()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(QStringLiteral("Ann"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.main().tabs->setCurrentIndex(1);
    frmmain *before = &f.main();
    f.click(QStringLiteral("exitmain"));

    QVERIFY(!f.main().isVisible());
    QVERIFY(f.logon().isVisible());
    QCOMPARE(f.logon().nameBox->currentText(), QStringLiteral("Click here for names-->"));
    QVERIFY(f.main().managementPanel->isHidden());

    f.signOn(QStringLiteral("Ann"));
    QCOMPARE(&f.main(), before);
    QCOMPARE(f.main().tabs->currentIndex(), 0);
    QVERIFY(f.main().managementPanel->isHidden());

    // By the password step too, after the About tab was left chosen.
    f.main().tabs->setCurrentIndex(2);
    f.click(QStringLiteral("exitmain"));
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    QCOMPARE(f.main().tabs->currentIndex(), 0);
    QVERIFY(f.main().clockInButton->isVisible());
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
    for (int i = 0; i < f.logon().nameBox->count(); ++i)
        listed << f.logon().nameBox->itemText(i);
    QCOMPARE(listed, QStringList({"Ann", "Bea\n%1", "Manager"}));
    QCOMPARE(f.logon().nameBox->currentText(), QStringLiteral("Click here for names-->"));
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
    f.main().tabs->setCurrentIndex(2);
    f.main().close();
    f.processEvents();

    QVERIFY(f.logon().isVisible());
    QCOMPARE(f.logon().nameBox->currentText(),
             QStringLiteral("Click here for choice of Names---->"));
    // Loaded again when the logon window is next activated, at its design state.
    f.logon().activated();
    f.processEvents();
    QVERIFY(forms().isLoaded<frmmain>());
    frmmain &fresh = f.main();
    QVERIFY(!fresh.isVisible());
    QCOMPARE(fresh.userNameLabel->text(), QStringLiteral("Manager"));
    QCOMPARE(fresh.hoursLabel->text(), QStringLiteral("0"));
    QCOMPARE(fresh.wageLabel->text(), QStringLiteral("this money"));
    QCOMPARE(fresh.tabs->currentIndex(), 0);
    QCOMPARE(fresh.companyLabel->text(), QStringLiteral("Acme Tools"));
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

    QCOMPARE(f.main().eventStampEdit->isReadOnly(), on);
    QCOMPARE(f.main().wagesFrame->isHidden(), on);
    QCOMPARE(f.main().productPicture->isHidden(), !on);
    frmprop &properties = forms().frmprop();
    QVERIFY(!properties.isVisible());
    properties.show();
    QCOMPARE(properties.editsBox->isChecked(), on);
    QCOMPARE(properties.moneyBox->isChecked(), on);
    QCOMPARE(properties.subsBox->isChecked(), on);
    QCOMPARE(properties.signoffBox->isChecked(), on);
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

    properties.moneyBox->click();
    QCOMPARE(f.value(QStringLiteral("SELECT money FROM \"Company Data\"")).toInt(), 1);
    QVERIFY(f.main().wagesFrame->isHidden());
    QVERIFY(!f.main().productPicture->isHidden());
    properties.editsBox->click();
    QCOMPARE(f.value(QStringLiteral("SELECT edits FROM \"Company Data\"")).toInt(), 1);
    QVERIFY(f.main().eventStampEdit->isReadOnly());
    properties.subsBox->click();
    QCOMPARE(f.value(QStringLiteral("SELECT subs FROM \"Company Data\"")).toInt(), 1);

    properties.moneyBox->click();
    properties.editsBox->click();
    QCOMPARE(f.value(QStringLiteral("SELECT money FROM \"Company Data\"")).toInt(), 0);
    QCOMPARE(f.value(QStringLiteral("SELECT edits FROM \"Company Data\"")).toInt(), 0);
    QVERIFY(!f.main().wagesFrame->isHidden());
    QVERIFY(f.main().productPicture->isHidden());
    QVERIFY(!f.main().eventStampEdit->isReadOnly());
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
    QVERIFY(forms().frmprop().subsBox->isChecked());
    forms().frmprop().close();
    f.processEvents();
    QVERIFY(!forms().frmprop().isVisible());

    // The task prompt never comes back while the switch that turns it off is stored.
    f.click(QStringLiteral("clockin"));
    QVERIFY(!forms().isLoaded<frmsub>() || !forms().frmsub().isVisible());
    QCOMPARE(f.statuses(QStringLiteral("Manager")), QStringList({"Clocked In"}));
    QCOMPARE(f.log(QStringLiteral("Manager")).first().activity.toString(), QStringLiteral(" "));
    QVERIFY(f.main().wagesFrame->isHidden());
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
