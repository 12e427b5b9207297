#include "support/fixture.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/frmsplash.h"
#include "ui/frmstartup.h"
#include "ui/program.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace horalink;

class StartTest : public QObject
{
    Q_OBJECT

private slots:
    void normalStartShowsTheSortedNames();
    void firstRunStoresTheCompanyAndEnds();
    void firstRunClosedStoresNothing();
    void firstRunRefusesABlankName();
    void aMissingOrForeignFileEndsTheProgramUntouched_data();
    void aMissingOrForeignFileEndsTheProgramUntouched();
    void exitEndsTheProgram();
};

void StartTest::normalStartShowsTheSortedNames()
{
    Fixture f;
    f.company(QStringLiteral("Acme Tools"));
    f.employee(QStringLiteral("zoe"));
    f.employee(QStringLiteral("Bob"));
    f.startProgram();

    QVERIFY(!forms().isLoaded<frmsplash>());
    QVERIFY(f.logon().isVisible());
    QVERIFY(forms().isLoaded<frmmain>());
    QVERIFY(!f.main().isVisible());
    const QComboBox *nameBox = child<QComboBox>(f.logon(), "namechoice");
    QStringList names;
    for (int i = 0; i < nameBox->count(); ++i)
        names << nameBox->itemText(i);
    QCOMPARE(names, QStringList({"Bob", "Manager", "zoe"}));
    QCOMPARE(nameBox->currentText(), QStringLiteral("Click here for names-->"));
    QVERIFY(f.prompts.boxes.isEmpty());
    f.signOn(QStringLiteral("Bob"));
    QCOMPARE(child<QLabel>(f.main(), "company")->text(), QStringLiteral("Acme Tools"));
}

void StartTest::firstRunStoresTheCompanyAndEnds()
{
    Fixture f;
    f.startProgram();
    QVERIFY(forms().isLoaded<frmstartup>());
    frmstartup &setup = forms().frmstartup();
    QVERIFY(setup.isVisible());
    QVERIFY(!f.logon().isVisible());
    QCOMPARE(child<QComboBox>(f.logon(), "namechoice")->count(), 0);

    QTest::keyClicks(child<QLineEdit>(setup, "Companyname"), QStringLiteral(" Acme  Tools "));
    QTest::keyClick(child<QLineEdit>(setup, "Companyname"), Qt::Key_Return);
    f.processEvents();

    QCOMPARE(
        f.prompts.boxes,
        QList<Box>({informationBox(QStringLiteral("Thank You.  You must now Restart Horalink."),
                                   QStringLiteral("Please Restart"))}));
    QVERIFY(programEnded());
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM \"Company Data\"")).toInt(), 1);
    QCOMPARE(f.value(QStringLiteral("SELECT company FROM \"Company Data\"")).toString(),
             QStringLiteral(" Acme  Tools "));
    QVERIFY(f.value(QStringLiteral("SELECT edits FROM \"Company Data\"")).isNull());
}

void StartTest::firstRunClosedStoresNothing()
{
    Fixture f;
    f.startProgram();
    child<QLineEdit>(forms().frmstartup(), "Companyname")->setText(QStringLiteral("Acme"));
    forms().frmstartup().close();
    f.processEvents();
    QVERIFY(programEnded());
    QVERIFY(f.prompts.boxes.isEmpty());
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM \"Company Data\"")).toInt(), 0);
}

void StartTest::firstRunRefusesABlankName()
{
    Fixture f;
    f.startProgram();
    frmstartup &setup = forms().frmstartup();
    for (const char *blank : {"", "   "}) {
        child<QLineEdit>(setup, "Companyname")->setText(QLatin1String(blank));
        child<QPushButton>(setup, "Command1")->click();
    }
    f.processEvents();
    const Box refusal = warningBox(QStringLiteral("Please type in your company name."),
                                   QStringLiteral("Horalink Startup Screen"));
    QCOMPARE(f.prompts.boxes, QList<Box>({refusal, refusal}));
    QVERIFY(!programEnded());
    QVERIFY(setup.isVisible());
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM \"Company Data\"")).toInt(), 0);
}

void StartTest::aMissingOrForeignFileEndsTheProgramUntouched_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("text") << QByteArray("name,wage\nAnn,10\n") << true;
    QTest::newRow("garbage") << QByteArray(4096, '\x5a') << true;
}

void StartTest::aMissingOrForeignFileEndsTheProgramUntouched()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    if (onServer())
        QSKIP("The file itself is the subject.");
    Fixture f;
    QFile::remove(f.databasePath());
    if (exists) {
        QFile file(f.databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    f.startProgram();

    QVERIFY(programEnded());
    QCOMPARE(f.prompts.boxes.size(), 1);
    const Box shown = f.prompts.boxes.first();
    QCOMPARE(shown.title, QStringLiteral("Horalink"));
    QCOMPARE(shown.icon, Icon::Stop);
    QVERIFY2(shown.text.startsWith(QStringLiteral("Run-time error '")), qPrintable(shown.text));
    QVERIFY(shown.text.contains(QStringLiteral("Employee.mdb")));
    QCOMPARE(QFile::exists(f.databasePath()), exists);
    if (exists) {
        QFile file(f.databasePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    }
}

void StartTest::exitEndsTheProgram()
{
    Fixture f;
    f.company();
    f.startProgram();
    child<QPushButton>(f.logon(), "Command2")->click();
    f.processEvents();
    QVERIFY(programEnded());
    QVERIFY(!forms().isLoaded<frmmain>());
}

QTEST_MAIN(StartTest)
#include "test_start.moc"
