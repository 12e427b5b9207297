// The keyboard reaches what the mouse does: Esc, Enter on a completed name, Tab and Space on
// the clickable captions.
#include "support/fixture.h"
#include "ui/clicklabel.h"
#include "ui/forms.h"
#include "ui/frmadd.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/frmpass.h"
#include "ui/frmprop.h"
#include "ui/frmsub.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

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

} // namespace

class KeyboardTest : public QObject
{
    Q_OBJECT

private slots:
    void escapeDoesWhatCancelOrTheCloseBoxDoes();
    void enterSignsOnWithTheCompletedName();
    void theClickableCaptionsAnswerSpace();
    void theManagementTabSaysWhyItIsEmpty();
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

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
