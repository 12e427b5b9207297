// Where the program proposes to save what it writes: a folder that is there, and within a run
// the one the user saved into last, whichever dialog that was.
#include "support/fixture.h"
#include "ui/datacontrol.h"
#include "ui/forms.h"
#include "ui/frmmain.h"
#include "ui/frmperiod.h"
#include "ui/printer.h"
#include "ui/systemprinter.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace horalink;

namespace {

// A home folder of its own for as long as it lives, without a documents folder until one is
// made, and without the desktop's list of where the user's folders are.
class OwnHome
{
public:
    OwnHome()
        : m_home(qgetenv("HOME")), m_config(qgetenv("XDG_CONFIG_HOME")),
          m_hadConfig(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", QFile::encodeName(m_dir.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral(".config"))));
    }
    ~OwnHome()
    {
        qputenv("HOME", m_home);
        if (m_hadConfig)
            qputenv("XDG_CONFIG_HOME", m_config);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    OwnHome(const OwnHome &) = delete;
    OwnHome &operator=(const OwnHome &) = delete;

    QString path() const { return m_dir.path(); }
    QString folder(const QString &name) const
    {
        QDir(m_dir.path()).mkpath(name);
        return m_dir.filePath(name);
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_home;
    QByteArray m_config;
    bool m_hadConfig;
};

// Saves every card into the given file, keeping the files it was proposed.
class SavingInto
{
public:
    explicit SavingInto(const QString &file)
        : m_printer(setPrinter, std::make_unique<SystemPrinter>([this, file](const QString &p) {
                        proposedFiles << p;
                        return file;
                    }))
    {}

    QStringList proposedFiles;

private:
    const Replacement<SystemPrinter, LinePrinter> m_printer;
};

void staffWithMornings(Fixture &f)
{
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    for (const QString name : {"Ann", "Bob"}) {
        f.employee(name);
        f.event(name, {.stamp = "2026-03-02 08:00:00", .status = "Clocked In", .activity = " "});
        f.event(name, "2026-03-02 12:00:00", "Clocked Out");
    }
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.takeBoxes();
}

} // namespace

class SaveFoldersTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void onlyAFolderThatIsThereIsProposed_data();
    void onlyAFolderThatIsThereIsProposed();
    void theFolderSavedIntoLastIsProposedByEveryDialog();

private:
    QTemporaryDir m_scheduler;
};

void SaveFoldersTest::initTestCase()
{
    // No print scheduler answers there, so cards are saved as PDF files.
    qputenv("CUPS_SERVER", QFile::encodeName(m_scheduler.filePath(QStringLiteral("none"))));
}

void SaveFoldersTest::onlyAFolderThatIsThereIsProposed_data()
{
    QTest::addColumn<bool>("documents");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("chosenRemoved");
    QTest::addColumn<QString>("proposed");

    QTest::newRow("no documents folder") << false << "" << false << "";
    QTest::newRow("a documents folder") << true << "" << false << "Documents";
    QTest::newRow("the folder chosen") << true << "pay" << false << "pay";
    QTest::newRow("the folder chosen, removed since") << true << "pay" << true << "Documents";
    QTest::newRow("the folder chosen, removed, no documents") << false << "pay" << true << "";
}

void SaveFoldersTest::onlyAFolderThatIsThereIsProposed()
{
#ifdef Q_OS_WIN
    QSKIP("Windows finds the home folder without asking HOME.");
#endif
    QFETCH(bool, documents);
    QFETCH(QString, chosen);
    QFETCH(bool, chosenRemoved);
    QFETCH(QString, proposed);
    Fixture f;
    const OwnHome home;
    if (documents)
        home.folder(QStringLiteral("Documents"));
    if (!chosen.isEmpty()) {
        f.prompts.folders = {home.folder(chosen)};
        f.prompts.chooseFolder(QStringLiteral("Export the period into this folder"));
    }
    if (chosenRemoved)
        QVERIFY(QDir(home.path()).rmdir(chosen));

    const QString expected = QDir(home.path()).filePath(proposed);
    QCOMPARE(QDir(f.prompts.proposedFolder()), QDir(expected));
    QVERIFY(QFileInfo(f.prompts.proposedFolder()).isDir());
}

void SaveFoldersTest::theFolderSavedIntoLastIsProposedByEveryDialog()
{
    Fixture f;
    staffWithMornings(f);
    QTemporaryDir cards, exported, single;
    SavingInto saving(single.filePath(QStringLiteral("card.pdf")));
    const QString first = f.prompts.proposedFolder();

    // Every card, into a folder picked.
    f.prompts.folders = {cards.path()};
    f.prompts.answers = {Button::Yes, Button::Yes};
    f.click(QStringLiteral("Command3"));
    // The period, exported elsewhere; the backup cancelled.
    f.click(QStringLiteral("PayPeriod"));
    f.prompts.folders = {exported.path()};
    child<QPushButton>(forms().frmperiod(), "Export")->click();
    child<QPushButton>(forms().frmperiod(), "BackUp")->click();
    forms().frmperiod().close();
    // Ann's card alone, through its save dialog, into a third folder.
    QVERIFY(findByName(*child<DataControl>(f.main(), "mandata"), QStringLiteral("ename"),
                       QStringLiteral("Ann")));
    f.prompts.answers = {Button::No};
    f.click(QStringLiteral("Command3"));
    // Every card again, cancelled at the folder.
    f.prompts.answers = {Button::Yes, Button::Yes};
    f.click(QStringLiteral("Command3"));

    QCOMPARE(f.prompts.proposedFolders,
             QStringList({first, cards.path(), exported.path(), single.path()}));
    QCOMPARE(saving.proposedFiles,
             QStringList{QDir(exported.path()).filePath(QStringLiteral("Ann 2026-03-02.pdf"))});
    QCOMPARE(QDir(exported.path()).entryList({QStringLiteral("*.csv")}, QDir::Files).size(), 3);
    QCOMPARE(QDir(cards.path()).entryList(QDir::Files).size(), 2);
    QVERIFY(QFileInfo::exists(single.filePath(QStringLiteral("card.pdf"))));
}

QTEST_MAIN(SaveFoldersTest)
#include "test_savefolders.moc"
