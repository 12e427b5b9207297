#include "manager.h"

#include "db/employees.h"
#include "db/sqlite.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"

#include <QComboBox>
#include <QLineEdit>

using namespace horalink;

namespace {

const QString Ann = QStringLiteral("Ann");
const QString Bob = QStringLiteral("Bob");
const Box Confirmation{QStringLiteral("Deleting an employee is permanent.  He/She will no longer "
                                      "be able to use the Horalink Program unless you add them "
                                      "again. Do you want to continue ?"),
                       QStringLiteral("Horalink Warning"), Icon::Stop, Buttons::YesNo, Button::No};
const Box Deleted =
    informationBox(QStringLiteral("Employee has been deleted."), QStringLiteral("Information"));
const Box NotThere =
    warningBox(QStringLiteral("Sorry, the Name doesn't appear to exist.  Try again."),
               QStringLiteral("Add Error"));

// Ann and Bob listed with two events each, and the manager signed on.
void startWithLogs(Fixture &f)
{
    startAsManager(f, {Ann, Bob});
    for (const QString &name : {Ann, Bob}) {
        f.event(name, QStringLiteral("2026-03-02 08:00:00"), QStringLiteral("Clocked In"));
        f.event(name, QStringLiteral("2026-03-02 12:00:00"), QStringLiteral("Clocked Out"));
    }
}

QString names(Fixture &f)
{
    return f.texts(QStringLiteral("SELECT ename FROM datalist ORDER BY rowid")).join(u',');
}

} // namespace

class DeleteEmployeeTest : public QObject
{
    Q_OBJECT

private slots:
    void refusalsChangeNothing_data();
    void refusalsChangeNothing();
    void noAtTheConfirmationChangesNothing();
    void yesUnlistsEveryRowOfTheNameAndEmptiesTheLog();
    void anEmployeeWithoutALogIsUnlistedAllTheSame();
    void aFailedDeletionChangesNothingAndSaysSo();
    void aLogSharedWithANameInOtherLettersIsKept();
};

void DeleteEmployeeTest::refusalsChangeNothing_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("unlistFirst");
    QTest::addColumn<Box>("refusal");
    // The Manager test comes before any lookup: it holds even when the row is gone.
    QTest::newRow("Manager") << "Manager" << true
                             << warningBox(QStringLiteral("Sorry, cannot delete the Manager"),
                                           QStringLiteral("Delete Error"));
    QTest::newRow("manager in small letters") << "manager" << false << NotThere;
    QTest::newRow("unlisted meanwhile") << "Ann" << true << NotThere;
    QTest::newRow("nobody shown") << "" << false << NotThere;
}

void DeleteEmployeeTest::refusalsChangeNothing()
{
    QFETCH(QString, shown);
    QFETCH(bool, unlistFirst);
    QFETCH(Box, refusal);
    Fixture f;
    startWithLogs(f);
    child<QLineEdit>(f.main(), "manlist")->setText(shown);
    if (unlistFirst) {
        Statement unlist(f.file(), QStringLiteral("DELETE FROM datalist WHERE ename = ?"));
        unlist.bind(1, shown).run();
    }
    const QString before = names(f);
    f.click(QStringLiteral("Deleteemp"));

    QCOMPARE(f.takeBoxes(), QList<Box>({refusal}));
    QCOMPARE(names(f), before);
    QCOMPARE(f.log(Ann).size(), 2);
}

void DeleteEmployeeTest::noAtTheConfirmationChangesNothing()
{
    Fixture f;
    startWithLogs(f);
    showEmployee(f, Ann);
    f.click(QStringLiteral("Deleteemp"));

    QCOMPARE(f.takeBoxes(), QList<Box>({Confirmation}));
    QCOMPARE(names(f), QStringLiteral("Manager,Ann,Bob"));
    QCOMPARE(f.log(Ann).size(), 2);
    QCOMPARE(child<QLineEdit>(f.main(), "manlist")->text(), Ann);
}

void DeleteEmployeeTest::yesUnlistsEveryRowOfTheNameAndEmptiesTheLog()
{
    Fixture f;
    startWithLogs(f);
    f.employee(Ann);
    showEmployee(f, Ann);
    f.prompts.answers = {Button::Yes};
    f.click(QStringLiteral("Deleteemp"));

    QCOMPARE(f.takeBoxes(), QList<Box>({Confirmation, Deleted}));
    QCOMPARE(names(f), QStringLiteral("Manager,Bob"));
    QVERIFY(hasTimeLog(f.file(), Ann));
    QVERIFY(f.log(Ann).isEmpty());
    QCOMPARE(f.log(Bob).size(), 2);
    QCOMPARE(child<QLineEdit>(f.main(), "manlist")->text(), QStringLiteral("Manager"));
    QCOMPARE(child<DataControl>(f.main(), "manuse")->recordSource(), Ann);
    QVERIFY(child<DataControl>(f.main(), "manuse")->eof());

    // The logon list loses the name at once, and a name typed there no longer signs on.
    QVERIFY(child<QComboBox>(f.logon(), "namechoice")->findText(Ann) < 0);
    f.click(QStringLiteral("exitmain"));
    f.signOn(Ann);
    QCOMPARE(f.takeBoxes(),
             QList<Box>({warningBox(QStringLiteral("Please enter a valid Name or click on the "
                                                   "Combo Box."),
                                    QStringLiteral("Log In Error"))}));
}

void DeleteEmployeeTest::anEmployeeWithoutALogIsUnlistedAllTheSame()
{
    Fixture f;
    startWithLogs(f);
    f.file().exec(QStringLiteral("INSERT INTO datalist (ename, ewage) VALUES ('Ghost', '1')"));
    showEmployee(f, QStringLiteral("Ghost"));
    f.prompts.answers = {Button::Yes};
    f.click(QStringLiteral("Deleteemp"));

    QCOMPARE(f.takeBoxes(), QList<Box>({Confirmation, Deleted}));
    QCOMPARE(names(f), QStringLiteral("Manager,Ann,Bob"));
    QVERIFY(!hasTimeLog(f.file(), QStringLiteral("Ghost")));
    QVERIFY(f.main().isVisible());
}

void DeleteEmployeeTest::aFailedDeletionChangesNothingAndSaysSo()
{
    Fixture f;
    startWithLogs(f);
    f.refuseDeletion(QStringLiteral("datalist"), QStringLiteral("TRUE"),
                     QStringLiteral("kept by the auditor"));
    showEmployee(f, Ann);
    f.prompts.answers = {Button::Yes};
    f.click(QStringLiteral("Deleteemp"));

    QCOMPARE(f.takeBoxes(),
             QList<Box>({Confirmation,
                         warningBox(QStringLiteral("Sorry, the Employee could not be deleted: "
                                                   "kept by the auditor.  Nothing was changed."),
                                    QStringLiteral("Delete Error"))}));
    QCOMPARE(names(f), QStringLiteral("Manager,Ann,Bob"));
    QCOMPARE(f.log(Ann).size(), 2);
    QVERIFY(f.main().isVisible());
}

void DeleteEmployeeTest::aLogSharedWithANameInOtherLettersIsKept()
{
    Fixture f;
    startWithLogs(f);
    // Listed before names in other letters were refused: both reach the table Ann.
    f.file().exec(QStringLiteral("INSERT INTO datalist (ename, ewage) VALUES ('ann', '1')"));
    showEmployee(f, QStringLiteral("ann"));
    f.prompts.answers = {Button::Yes};
    f.click(QStringLiteral("Deleteemp"));

    QCOMPARE(f.takeBoxes(), QList<Box>({Confirmation, Deleted}));
    QCOMPARE(names(f), QStringLiteral("Manager,Ann,Bob"));
    QCOMPARE(f.log(Ann).size(), 2);
}

QTEST_MAIN(DeleteEmployeeTest)
#include "test_deleteemployee.moc"
