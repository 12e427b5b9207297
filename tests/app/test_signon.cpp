#include "admin/frmprop.h"
#include "app/forms.h"
#include "app/frmlogon.h"
#include "app/program.h"
#include "clock/frmsub.h"
#include "db/connection.h"
#include "db/datacontrol.h"
#include "mainwin/frmmain.h"
#include "support/fixture.h"

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
const Box LogInError =
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
    void exitKeepsTheWindowAndTheChosenTab();
    void anotherClocksChangesReachTheListAtTheNextSignOn();
    void theCloseBoxUnloadsTheMainWindow();
    void storedSwitchesAreAppliedAtStart_data();
    void storedSwitchesAreAppliedAtStart();
    void switchesAreStoredAndAppliedAtOnce();
    void closingThePropertiesWindowKeepsTheSwitches();
};

void SignOnTest::anEmployeeWithoutPasswordSignsOnAtOnce()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"), QString(), QStringLiteral("7.5"));
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));

    QVERIFY(f.main().isVisible());
    QVERIFY(!f.logon().isVisible());
    QVERIFY(!f.logon().passwordbx->isVisible());
    QCOMPARE(f.main().nameemp->text(), QStringLiteral("Ann"));
    QCOMPARE(f.main().Thismoney->text(), QStringLiteral("7.5"));
    QCOMPARE(f.main().database->recordSource(), QStringLiteral("Ann"));
    QCOMPARE(f.main().currhours->text(), QStringLiteral("0"));
    QVERIFY(f.prompts.boxes.isEmpty());
}

void SignOnTest::aPasswordIsAskedUntilRight()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Bob"), QStringLiteral("Secret"));
    f.startProgram();
    frmlogon &logon = f.logon();
    logon.namechoice->setEditText(QStringLiteral("Bob"));
    logon.Command1->click();
    QVERIFY(logon.passwordbx->isVisible());
    QVERIFY(!f.main().isVisible());

    for (const QString &wrong : {QStringLiteral("secret"), QStringLiteral("Secret "), QString()}) {
        logon.txtpass->setText(wrong);
        logon.Command3->click();
    }
    const Box passwordError =
        warningBox(QStringLiteral("Incorrect Password, Please retry or Cancel."),
                   QStringLiteral("Password Error"));
    QCOMPARE(f.prompts.boxes, QList<Box>({passwordError, passwordError, passwordError}));
    QVERIFY(logon.txtpass->text().isEmpty());
    QVERIFY(logon.passwordbx->isVisible());

    QTest::keyClicks(logon.txtpass, QStringLiteral("Secret"));
    QCOMPARE(logon.defaultButton(), logon.Command3);
    logon.Command3->click();
    QVERIFY(f.main().isVisible());
    QVERIFY(!logon.isVisible());
    QVERIFY(!logon.passwordbx->isVisible());
    QVERIFY(logon.txtpass->text().isEmpty());
    QCOMPARE(f.main().nameemp->text(), QStringLiteral("Bob"));
    QVERIFY(f.main().Picture1->isHidden());

    // The file held the password as typed, as older files do; now it holds only its hash.
    const QString stored =
        f.value(QStringLiteral("SELECT epass FROM datalist WHERE ename = 'Bob'")).toString();
    QVERIFY2(stored.startsWith(QStringLiteral("$argon2id$")), qPrintable(stored));
    QVERIFY(!stored.contains(QStringLiteral("Secret")));
    f.click(QStringLiteral("exitmain"));
    f.prompts.boxes.clear();
    f.signOn(QStringLiteral("Bob"), QStringLiteral("secret"));
    QCOMPARE(f.prompts.boxes, QList<Box>({passwordError}));
    logon.txtpass->setText(QStringLiteral("Secret"));
    logon.Command3->click();
    QVERIFY(f.main().isVisible());
}

void SignOnTest::cancellingThePasswordLeavesTheMainWindowHidden()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Bob"), QStringLiteral("pw"));
    f.event(QStringLiteral("Bob"), QStringLiteral("2026-03-02 09:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Bob"), QStringLiteral("2026-03-02 10:30:00"),
            QStringLiteral("Clocked Out"));
    f.startProgram();
    f.logon().namechoice->setEditText(QStringLiteral("Bob"));
    f.logon().Command1->click();
    // Nothing is read for a name until its password is given.
    QCOMPARE(f.main().currhours->text(), QStringLiteral("0"));
    f.logon().Command4->click();
    QVERIFY(!f.logon().passwordbx->isVisible());
    QVERIFY(!f.main().isVisible());
    QCOMPARE(f.logon().namechoice->currentText(), QStringLiteral("Click here for names-->"));
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
    QCOMPARE(f.prompts.boxes, QList<Box>({LogInError}));
    QVERIFY(!f.main().isVisible());
    QVERIFY(f.logon().isVisible());
    QVERIFY(!f.logon().passwordbx->isVisible());
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
    QVERIFY(f.main().Picture1->isHidden());
}

void SignOnTest::managerWithPasswordGetsTheManagementPanel()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    QVERIFY(f.prompts.boxes.isEmpty());
    QVERIFY(!f.main().Picture1->isHidden());
}

void SignOnTest::exitKeepsTheWindowAndTheChosenTab()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(QStringLiteral("Ann"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.main().SSTab1->setCurrentIndex(1);
    frmmain *before = &f.main();
    f.click(QStringLiteral("exitmain"));

    QVERIFY(!f.main().isVisible());
    QVERIFY(f.logon().isVisible());
    QCOMPARE(f.logon().namechoice->currentText(), QStringLiteral("Click here for names-->"));
    QVERIFY(f.main().Picture1->isHidden());

    f.signOn(QStringLiteral("Ann"));
    QCOMPARE(&f.main(), before);
    QCOMPARE(f.main().SSTab1->currentIndex(), 1);
    QVERIFY(f.main().Picture1->isHidden());
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
    for (int i = 0; i < f.logon().namechoice->count(); ++i)
        listed << f.logon().namechoice->itemText(i);
    QCOMPARE(listed, QStringList({"Ann", "Bea\n%1", "Manager"}));
    QCOMPARE(f.logon().namechoice->currentText(), QStringLiteral("Click here for names-->"));
}

void SignOnTest::theCloseBoxUnloadsTheMainWindow()
{
    Fixture f;
    f.company(QStringLiteral("Acme Tools"));
    f.employee(QStringLiteral("Ann"), QString(), QStringLiteral("12"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 09:00:00"),
            QStringLiteral("Clocked In"));
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
    f.main().SSTab1->setCurrentIndex(2);
    f.main().close();
    f.processEvents();

    QVERIFY(f.logon().isVisible());
    QCOMPARE(f.logon().namechoice->currentText(),
             QStringLiteral("Click here for choice of Names---->"));
    // Loaded again when the logon window is next activated, at its design state.
    f.logon().Form_Activate();
    QVERIFY(forms().isLoaded<frmmain>());
    frmmain &fresh = f.main();
    QVERIFY(!fresh.isVisible());
    QCOMPARE(fresh.nameemp->text(), QStringLiteral("Manager"));
    QCOMPARE(fresh.currhours->text(), QStringLiteral("0"));
    QCOMPARE(fresh.Thismoney->text(), QStringLiteral("this money"));
    QCOMPARE(fresh.SSTab1->currentIndex(), 0);
    QCOMPARE(fresh.company->text(), QStringLiteral("Acme Tools"));
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
    for (const char *column : {"edits", "money", "subs"})
        f.setFlag(QLatin1String(column), stored);
    f.startProgram();

    QCOMPARE(f.main().lgndatetime->isReadOnly(), on);
    QCOMPARE(f.main().frmmoney->isHidden(), on);
    QCOMPARE(f.main().Picture2->isHidden(), !on);
    frmprop &properties = forms().frmprop();
    QVERIFY(!properties.isVisible());
    properties.show();
    QCOMPARE(properties.edits->isChecked(), on);
    QCOMPARE(properties.money->isChecked(), on);
    QCOMPARE(properties.subs->isChecked(), on);
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

    properties.money->click();
    QCOMPARE(f.value(QStringLiteral("SELECT money FROM \"Company Data\"")).toInt(), 1);
    QVERIFY(f.main().frmmoney->isHidden());
    QVERIFY(!f.main().Picture2->isHidden());
    properties.edits->click();
    QCOMPARE(f.value(QStringLiteral("SELECT edits FROM \"Company Data\"")).toInt(), 1);
    QVERIFY(f.main().lgndatetime->isReadOnly());
    properties.subs->click();
    QCOMPARE(f.value(QStringLiteral("SELECT subs FROM \"Company Data\"")).toInt(), 1);

    properties.money->click();
    properties.edits->click();
    QCOMPARE(f.value(QStringLiteral("SELECT money FROM \"Company Data\"")).toInt(), 0);
    QCOMPARE(f.value(QStringLiteral("SELECT edits FROM \"Company Data\"")).toInt(), 0);
    QVERIFY(!f.main().frmmoney->isHidden());
    QVERIFY(f.main().Picture2->isHidden());
    QVERIFY(!f.main().lgndatetime->isReadOnly());
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
    QVERIFY(forms().frmprop().subs->isChecked());
    forms().frmprop().close();
    f.processEvents();
    QVERIFY(!forms().frmprop().isVisible());

    // The task prompt never comes back while the switch that turns it off is stored.
    f.click(QStringLiteral("clockin"));
    QVERIFY(!forms().isLoaded<frmsub>() || !forms().frmsub().isVisible());
    QCOMPARE(f.statuses(QStringLiteral("Manager")), QStringList({"Clocked In"}));
    QCOMPARE(f.log(QStringLiteral("Manager")).first().activity.toString(), QStringLiteral(" "));
    QVERIFY(f.main().frmmoney->isHidden());
    QVERIFY(f.prompts.boxes.isEmpty());
}

QTEST_MAIN(SignOnTest)
#include "test_signon.moc"
