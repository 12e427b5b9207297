// One computer, many users: nothing one user leaves behind acts for, or is written into the
// log of, whoever signs on next.
#include "support/countingprinter.h"
#include "support/fixture.h"
#include "ui/datacontrol.h"
#include "ui/forms.h"
#include "ui/frmadd.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/frmprop.h"
#include "ui/printer.h"
#include "ui/program.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

using namespace horalink;

namespace {

const QString Ann = QStringLiteral("Ann");
const QString Bob = QStringLiteral("Bob");
const QString TooLong(51, QLatin1Char('9'));

void leave(Fixture &f, const QString &way)
{
    if (way == QLatin1String("close box"))
        f.main().close();
    else
        f.click(QStringLiteral("exitmain"));
    f.processEvents();
}

// The manager signed on, the Management tab's browser standing on Ann.
void managerOnAnn(Fixture &f)
{
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(Ann, {.wage = QStringLiteral("10")});
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    QVERIFY(findByName(*child<DataControl>(f.main(), "mandata"), QStringLiteral("ename"), Ann));
    f.takeBoxes();
}

QString wageOf(Fixture &f, const QString &name)
{
    return f
        .value(QStringLiteral("SELECT ewage FROM datalist WHERE ename = '") + name +
               QLatin1Char('\''))
        .toString();
}

} // namespace

class HandoverTest : public QObject
{
    Q_OBJECT

private slots:
    void aDateTypedAndLeftGoesToItsOwnEvent_data();
    void aDateTypedAndLeftGoesToItsOwnEvent();
    void aWageTypedAndLeftIsStored_data();
    void aWageTypedAndLeftIsStored();
    void aWageTheListCannotTakeNeverEndsTheProgram_data();
    void aWageTheListCannotTakeNeverEndsTheProgram();
    void thePropertiesGoWithTheManager();
    void theSwitchesHoldForEverySignOn();
};

void HandoverTest::aDateTypedAndLeftGoesToItsOwnEvent_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("a date") << "3/1/2026 6:45:00 AM"
                            << "2026-03-01 06:45:00";
    QTest::newRow("no date") << "soon"
                             << "2026-03-01 07:00:00";
}

void HandoverTest::aDateTypedAndLeftGoesToItsOwnEvent()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    Fixture f;
    f.company();
    f.employee(Bob);
    f.employee(Ann, {.password = QStringLiteral("pw")});
    f.event(Bob, QStringLiteral("2026-03-01 07:00:00"), QStringLiteral("Clocked In"));
    f.event(Bob, QStringLiteral("2026-03-01 15:00:00"), QStringLiteral("Clocked Out"));
    f.event(Ann, QStringLiteral("2026-03-02 08:00:00"), QStringLiteral("Clocked In"));
    f.startProgram();
    f.signOn(Bob);
    child<DataControl>(f.main(), "database")
        ->findChild<QAbstractButton *>(QStringLiteral("first"))
        ->click();
    child<QLineEdit>(f.main(), "lgndatetime")->setText(typed);
    f.click(QStringLiteral("exitmain"));

    // Ann is picked and her password cancelled: nothing of Bob's reaches her log.
    child<QComboBox>(f.logon(), "namechoice")->setEditText(Ann);
    child<QPushButton>(f.logon(), "Command1")->click();
    child<QPushButton>(f.logon(), "Command4")->click();
    f.processEvents();
    QCOMPARE(f.stamps(Ann), QStringList({"2026-03-02 08:00:00"}));
    QCOMPARE(f.stamps(Bob), QStringList({stored, "2026-03-01 15:00:00"}));
    const QList<Box> boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), typed == QLatin1String("soon") ? 1 : 0);
    if (!boxes.isEmpty()) {
        QCOMPARE(boxes.first().title, QStringLiteral("Edit Error"));
        QVERIFY(boxes.first().text.contains(QStringLiteral("datetime")));
    }
}

void HandoverTest::aWageTypedAndLeftIsStored_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Exit") << "exitmain";
    QTest::newRow("close box") << "close box";
}

void HandoverTest::aWageTypedAndLeftIsStored()
{
    QFETCH(QString, way);
    Fixture f;
    managerOnAnn(f);
    child<QLineEdit>(f.main(), "emoney")->setText(QStringLiteral("11.75"));
    child<QTextEdit>(f.main(), "Text1")->setPlainText(QStringLiteral("raise from March"));
    leave(f, way);
    QCOMPARE(wageOf(f, Ann), QStringLiteral("11.75"));
    QCOMPARE(f.value(QStringLiteral("SELECT ecomment FROM datalist WHERE ename = 'Ann'")),
             QVariant(QStringLiteral("raise from March")));
    QVERIFY(f.prompts.boxes.isEmpty());
}

void HandoverTest::aWageTheListCannotTakeNeverEndsTheProgram_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QList<Button>>("answers");
    QTest::newRow("Print Log, all") << "Command3" << QList<Button>({Button::Yes, Button::Yes});
    QTest::newRow("Clear Log, all") << "Command4" << QList<Button>({Button::Yes, Button::Yes});
    QTest::newRow("Add New") << "Command5" << QList<Button>();
    QTest::newRow("Exit") << "exitmain" << QList<Button>();
}

void HandoverTest::aWageTheListCannotTakeNeverEndsTheProgram()
{
    QFETCH(QString, command);
    QFETCH(QList<Button>, answers);
    Fixture f;
    const Replacement printing(setPrinter, std::make_unique<CountingPrinter>());
    managerOnAnn(f);
    child<QLineEdit>(f.main(), "emoney")->setText(TooLong);
    f.prompts.answers.assign(answers.begin(), answers.end());
    f.click(command);
    if (command == QLatin1String("Command5")) {
        frmadd &window = forms().frmadd();
        child<QLineEdit>(window, "newemployee")->setText(Bob);
        child<QLineEdit>(window, "newwage")->setText(QStringLiteral("9.5"));
        child<QPushButton>(window, "Command1")->click();
        f.processEvents();
    }

    QVERIFY(!programEnded());
    QCOMPARE(wageOf(f, Ann), QStringLiteral("10"));
    const QList<Box> boxes = f.takeBoxes();
    const auto dropped = std::find_if(boxes.begin(), boxes.end(), [](const Box &box) {
        return box.title == QLatin1String("Edit Error");
    });
    QVERIFY2(dropped != boxes.end(), "the dropped wage was not reported");
    QCOMPARE(dropped->icon, Icon::Exclamation);
    QVERIFY(dropped->text.contains(QStringLiteral("ewage")));
    if (command == QLatin1String("Command5"))
        QCOMPARE(wageOf(f, Bob), QStringLiteral("9.5"));
}

void HandoverTest::thePropertiesGoWithTheManager()
{
    Fixture f;
    managerOnAnn(f);
    f.click(QStringLiteral("Command2"));
    QVERIFY(forms().frmprop().isVisible());
    f.click(QStringLiteral("exitmain"));
    QVERIFY(!forms().frmprop().isVisible());
    f.signOn(Ann);
    QVERIFY(!forms().frmprop().isVisible());
    QVERIFY(child<QWidget>(f.main(), "Picture1")->isHidden());
}

void HandoverTest::theSwitchesHoldForEverySignOn()
{
    Fixture f;
    f.company();
    f.setFlag(QStringLiteral("edits"), 1);
    f.setFlag(QStringLiteral("money"), 1);
    f.employee(Ann);
    f.employee(Bob);
    f.startProgram();
    f.signOn(Ann);
    QVERIFY(child<QLineEdit>(f.main(), "lgndatetime")->isReadOnly());
    // The close box unloads the window; the next one is loaded from its design.
    leave(f, QStringLiteral("close box"));
    f.signOn(Bob);
    QCOMPARE(child<QLabel>(f.main(), "nameemp")->text(), Bob);
    QVERIFY(child<QLineEdit>(f.main(), "lgndatetime")->isReadOnly());
    QVERIFY(child<QGroupBox>(f.main(), "frmmoney")->isHidden());
    QVERIFY(!child<QFrame>(f.main(), "Picture2")->isHidden());
}

QTEST_MAIN(HandoverTest)
#include "test_handover.moc"
