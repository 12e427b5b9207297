// A session left alone on the shared computer ends as E&xit ends it, two minutes after the
// last keyboard or mouse input, while the switch is on. The input is real platform input; the
// program's clock is the fixture's, moved on by hand, so that no test waits two minutes.
#include "db/connection.h"
#include "support/fixture.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/frmprop.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace horalink;

namespace {

const QString Ann = QStringLiteral("Ann");
const QString SwitchStored = QStringLiteral("SELECT signoff FROM \"Company Data\"");

// Lets the main window's clock tick once more, so that it has looked at the time as set.
void tick(Fixture &f)
{
    QSignalSpy ticks(child<QTimer>(f.main(), "Timer1"), &QTimer::timeout);
    QVERIFY(ticks.wait(10000));
    f.processEvents();
}

bool signedOn(Fixture &f)
{
    return forms().isLoaded<frmmain>() && f.main().isVisible() &&
           !f.main().session().employee.isEmpty();
}

void dropSwitchColumn(Fixture &f)
{
    f.file().exec(QStringLiteral("ALTER TABLE \"Company Data\" DROP COLUMN signoff"));
}

// Ann, with one event, signed on at nine with the switch stored as given.
void annSignedOn(Fixture &f, const QVariant &signoff = 1)
{
    f.company();
    f.setFlag(QStringLiteral("signoff"), signoff);
    f.employee(Ann);
    f.event(Ann, {.stamp = QStringLiteral("2026-03-02 08:00:00"),
                  .status = QStringLiteral("Clocked In"),
                  .activity = QStringLiteral("Sanding")});
    f.setNow(QStringLiteral("2026-03-02 09:00:00"));
    f.startProgram();
    f.signOn(Ann);
    QVERIFY(signedOn(f));
}

enum class Input
{
    Key,
    MouseMove,
    Click
};

void give(frmmain &main, Input input)
{
    QWindow *window = main.windowHandle();
    const QPoint onDate = child<QLabel>(main, "lbldate")
                              ->mapTo(&main, child<QLabel>(main, "lbldate")->rect().center());
    switch (input) {
    case Input::Key:
        QTest::keyClick(window, Qt::Key_Shift);
        break;
    case Input::MouseMove:
        QTest::mouseMove(window, onDate);
        break;
    case Input::Click:
        QTest::mouseClick(window, Qt::LeftButton, {}, onDate);
        break;
    }
    QCoreApplication::processEvents();
}

} // namespace

Q_DECLARE_METATYPE(Input)

class SignOffTest : public QObject
{
    Q_OBJECT

private slots:
    void leftAloneTheSessionEndsAsExitEndsIt_data();
    void leftAloneTheSessionEndsAsExitEndsIt();
    void inputStartsTheCountAgain_data();
    void inputStartsTheCountAgain();
    void theSwitchIsOnOnlyWhenStoredAsOne_data();
    void theSwitchIsOnOnlyWhenStoredAsOne();
    void theManagerSetsTheSwitchInAnOlderFile();
    void aClockSetBackCountsFromItsNewTime();
};

void SignOffTest::leftAloneTheSessionEndsAsExitEndsIt_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("boxes");
    QTest::newRow("a date is stored") << "3/2/2026 7:55:00 AM"
                                      << "2026-03-02 07:55:00" << 0;
    QTest::newRow("a wrong date is reported") << "soon"
                                              << "2026-03-02 08:00:00" << 1;
}

void SignOffTest::leftAloneTheSessionEndsAsExitEndsIt()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(int, boxes);
    Fixture f;
    annSignedOn(f);
    child<QLineEdit>(f.main(), "lgndatetime")->selectAll();
    QTest::keyClicks(child<QLineEdit>(f.main(), "lgndatetime"), typed);

    f.setNow(QStringLiteral("2026-03-02 09:01:59"));
    tick(f);
    QVERIFY(signedOn(f));
    f.setNow(QStringLiteral("2026-03-02 09:02:00"));
    tick(f);

    QVERIFY(!signedOn(f));
    QVERIFY(f.logon().isVisible());
    QCOMPARE(child<QComboBox>(f.logon(), "namechoice")->currentText(), NamePrompt);
    QCOMPARE(f.stamps(Ann), QStringList({stored}));
    QCOMPARE(f.prompts.boxes.size(), boxes);
    if (boxes)
        QCOMPARE(f.prompts.boxes.first().title, QStringLiteral("Edit Error"));

    // The next user is given the whole two minutes.
    f.setNow(QStringLiteral("2026-03-02 09:30:00"));
    f.signOn(Ann);
    tick(f);
    QVERIFY(signedOn(f));
}

void SignOffTest::inputStartsTheCountAgain_data()
{
    QTest::addColumn<Input>("input");
    QTest::newRow("a key") << Input::Key;
    QTest::newRow("the mouse moved") << Input::MouseMove;
    QTest::newRow("a click") << Input::Click;
}

void SignOffTest::inputStartsTheCountAgain()
{
    QFETCH(Input, input);
    Fixture f;
    annSignedOn(f);
    f.setNow(QStringLiteral("2026-03-02 09:01:30"));
    give(f.main(), input);

    f.setNow(QStringLiteral("2026-03-02 09:03:00"));
    tick(f);
    QVERIFY(signedOn(f));
    f.setNow(QStringLiteral("2026-03-02 09:03:30"));
    tick(f);
    QVERIFY(!signedOn(f));
}

void SignOffTest::theSwitchIsOnOnlyWhenStoredAsOne_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("olderFile");
    QTest::newRow("an older file without it") << QVariant() << true;
    QTest::newRow("Null") << QVariant() << false;
    QTest::newRow("0") << QVariant(0) << false;
    QTest::newRow("2") << QVariant(2) << false;
}

void SignOffTest::theSwitchIsOnOnlyWhenStoredAsOne()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, olderFile);
    Fixture f;
    f.company();
    if (olderFile)
        dropSwitchColumn(f);
    else
        f.setFlag(QStringLiteral("signoff"), stored);
    f.employee(Ann);
    f.setNow(QStringLiteral("2026-03-02 09:00:00"));
    f.startProgram();
    f.signOn(Ann);

    f.setNow(QStringLiteral("2026-03-02 11:00:00"));
    tick(f);
    QVERIFY(signedOn(f));
    forms().frmprop().show();
    QVERIFY(!child<QCheckBox>(forms().frmprop(), "signoff")->isChecked());
    QVERIFY(f.prompts.boxes.isEmpty());
    // Reading the switches adds nothing to an older file.
    QCOMPARE(f.file().columnNames(QStringLiteral("Company Data")).size(), olderFile ? 4 : 5);
}

void SignOffTest::theManagerSetsTheSwitchInAnOlderFile()
{
    Fixture f;
    f.company();
    dropSwitchColumn(f);
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.setNow(QStringLiteral("2026-03-02 09:00:00"));
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.click(QStringLiteral("Command2"));
    frmprop &properties = forms().frmprop();
    QCOMPARE(child<QCheckBox>(properties, "signoff")->text(),
             QStringLiteral("Sign off after 2 minutes without input"));

    child<QCheckBox>(properties, "signoff")->click();
    QCOMPARE(f.value(SwitchStored).toInt(), 1);
    f.setNow(QStringLiteral("2026-03-02 09:02:00"));
    tick(f);
    QVERIFY(!signedOn(f));

    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.click(QStringLiteral("Command2"));
    QVERIFY(child<QCheckBox>(properties, "signoff")->isChecked());
    child<QCheckBox>(properties, "signoff")->click();
    QCOMPARE(f.value(SwitchStored).toInt(), 0);
    f.setNow(QStringLiteral("2026-03-02 10:00:00"));
    tick(f);
    QVERIFY(signedOn(f));
    QVERIFY(f.prompts.boxes.isEmpty());
}

void SignOffTest::aClockSetBackCountsFromItsNewTime()
{
    Fixture f;
    f.company();
    f.setFlag(QStringLiteral("signoff"), 1);
    f.employee(Ann);
    f.setNow(QStringLiteral("2026-10-25 02:59:00"));
    f.startProgram();
    f.signOn(Ann);

    // Summer time ends: the hour from two to three comes again.
    f.setNow(QStringLiteral("2026-10-25 02:00:30"));
    tick(f);
    QVERIFY(signedOn(f));
    f.setNow(QStringLiteral("2026-10-25 02:02:30"));
    tick(f);
    QVERIFY(!signedOn(f));
}

QTEST_MAIN(SignOffTest)
#include "test_signoff.moc"
