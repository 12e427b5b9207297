// One copy of the program to a data folder: a later start on the same folder brings the running
// copy to the front and ends; only when no running copy answers does it tell the user.
#include "db/database.h"
#include "support/fixture.h"
#include "ui/frmlogon.h"
#include "ui/singleinstance.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using namespace horalink;

namespace {

const QString AlreadyRunning = QStringLiteral("BOX Horalink | Horalink is already running.");
const QString FirstRunWindow = QStringLiteral("WINDOW frmstartup");

// The real program in a folder, with no one at the screen.
class Copy
{
public:
    explicit Copy(const QString &folder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HORALINK_UNATTENDED"), QStringLiteral("1"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HORALINK_DATA"), folder);
        environment.remove(QStringLiteral("HORALINK_DATABASE"));
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(HORALINK_PROGRAM), {});
    }
    ~Copy()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    QString told()
    {
        m_told += QString::fromUtf8(m_process.readAllStandardError());
        return m_told;
    }
    bool tells(const QString &line)
    {
        for (int waited = 0; waited < 15000 && !told().contains(line); waited += 50)
            m_process.waitForReadyRead(50);
        return told().contains(line);
    }
    enum class Box
    {
        None,
        AlreadyRunning,
        Either
    };
    // Ended by itself, with no window shown and the box expected.
    bool endedAsSecondCopy(Box box)
    {
        const bool ended =
            m_process.state() == QProcess::NotRunning || m_process.waitForFinished(15000);
        const bool boxed = told().contains(AlreadyRunning);
        const bool boxAsExpected = box == Box::Either || boxed == (box == Box::AlreadyRunning);
        return ended && m_process.exitStatus() == QProcess::NormalExit &&
               m_process.exitCode() == 0 && boxAsExpected &&
               told().count(QStringLiteral("BOX")) == (boxed ? 1 : 0) &&
               !told().contains(QStringLiteral("WINDOW"));
    }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QString m_told;
};

QString freshFolder(const QString &path)
{
    if (!QDir().mkpath(path))
        return {};
    createFreshDatabase(QDir(path).filePath(EmployeeMdb));
    return path;
}

} // namespace

class OneCopyTest : public QObject
{
    Q_OBJECT

private slots:
    void aSecondCopyEndsWhileTheFirstRuns_data();
    void aSecondCopyEndsWhileTheFirstRuns();
    void namesOutsideTheFolderDoNotBlock();
    void aLockHeldInTheFolderKeepsACopyOut();
    void copiesStartedTogetherLeaveOne();
    void theRunningCopyComesToTheFront();
};

void OneCopyTest::aSecondCopyEndsWhileTheFirstRuns_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("sameFolder");
    const QString shop = QStringLiteral("Shop");
    QTest::newRow("same folder") << shop << shop << true;
#ifdef Q_OS_WIN
    // Windows makes a shortcut for a link, refuses quotes and line feeds in a name and paths
    // over 260 characters.
    const QString odd = QStringLiteral("Ann's %1 shop, Ångström");
#else
    const QString odd = QStringLiteral("Ann's %1 \"shop\",\nÅngström");
    const QString longName(240, QLatin1Char('a'));
    QTest::newRow("through a link") << shop << QStringLiteral("link") << true;
    QTest::newRow("long path") << longName << longName << true;
#endif
    QTest::newRow("odd characters") << odd << odd << true;
    QTest::newRow("other folder") << shop << QStringLiteral("Shop2") << false;
    QTest::newRow("look-alike folder") << shop << QStringLiteral("Ѕhop") << false;
}

void OneCopyTest::aSecondCopyEndsWhileTheFirstRuns()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, sameFolder);
    QTemporaryDir root;
    const QString firstFolder = freshFolder(root.filePath(first));
    QVERIFY(!firstFolder.isEmpty());
    if (second == QLatin1String("link"))
        QVERIFY(QFile::link(firstFolder, root.filePath(second)));
    else if (!sameFolder)
        QVERIFY(!freshFolder(root.filePath(second)).isEmpty());

    auto running = std::make_unique<Copy>(firstFolder);
    QVERIFY2(running->tells(FirstRunWindow), qPrintable(running->told()));
    Copy later(root.filePath(second));
    if (sameFolder) {
        QVERIFY2(later.endedAsSecondCopy(Copy::Box::None), qPrintable(later.told()));
        QCOMPARE(running->process().state(), QProcess::Running);
    } else {
        QVERIFY2(later.tells(FirstRunWindow), qPrintable(later.told()));
    }

    // A copy killed outright leaves a lock that keeps no later one from starting.
    running->process().kill();
    running.reset();
    if (sameFolder) {
        Copy next(root.filePath(second));
        QVERIFY2(next.tells(FirstRunWindow), qPrintable(next.told()));
    }
    QStringList left =
        QDir(firstFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    left.removeOne(QFileInfo(SingleInstance::lockFileName(firstFolder)).fileName());
    QCOMPARE(left, QStringList({EmployeeMdb}));
}

// Another account may use every name outside the folder, but not the folder itself: names it
// took, where the guard's name used to be, keep no copy from starting. The lock it would need is
// in the folder, which only the accounts the folder is given to may write.
void OneCopyTest::namesOutsideTheFolderDoNotBlock()
{
    QTemporaryDir root;
    const QString folder = freshFolder(root.filePath(QStringLiteral("Shop")));
    QLocalServer abstractName;
#ifdef Q_OS_LINUX
    abstractName.setSocketOptions(QLocalServer::AbstractNamespaceOption);
#endif
    QVERIFY(abstractName.listen(SingleInstance::serverName(folder)));
    QFile inTemporaryFolder(QDir(QDir::tempPath()).filePath(SingleInstance::serverName(folder)));
    QVERIFY(inTemporaryFolder.open(QIODevice::WriteOnly) || inTemporaryFolder.exists());

    Copy copy(folder);
    QVERIFY2(copy.tells(FirstRunWindow), qPrintable(copy.told()));
    QVERIFY(QFileInfo::exists(SingleInstance::lockFileName(folder)));
    Copy later(folder);
#ifdef Q_OS_WIN
    // Windows has one namespace for pipes, so the squatter takes the later copy's call and never
    // answers: the later copy still ends, and says so, as it does when the running copy is silent.
    QVERIFY2(later.endedAsSecondCopy(Copy::Box::AlreadyRunning), qPrintable(later.told()));
#else
    QVERIFY2(later.endedAsSecondCopy(Copy::Box::None), qPrintable(later.told()));
#endif
    inTemporaryFolder.remove();
}

// A lock that some other program holds in the folder keeps the copy out, however that program
// was started: the folder's lock decides, not who answers.
void OneCopyTest::aLockHeldInTheFolderKeepsACopyOut()
{
    QTemporaryDir root;
    const QString folder = freshFolder(root.filePath(QStringLiteral("Shop")));
    QLockFile held(SingleInstance::lockFileName(folder));
    QVERIFY(held.tryLock());
    Copy copy(folder);
    // Nothing answers for the lock's holder, so the user is told.
    QVERIFY2(copy.endedAsSecondCopy(Copy::Box::AlreadyRunning), qPrintable(copy.told()));
    held.unlock();
    Copy next(folder);
    QVERIFY2(next.tells(FirstRunWindow), qPrintable(next.told()));
}

void OneCopyTest::copiesStartedTogetherLeaveOne()
{
    constexpr int Copies = 6;
    for (int round = 0; round < 3; ++round) {
        QTemporaryDir root;
        const QString folder = freshFolder(root.filePath(QStringLiteral("Shop")));
        std::vector<std::unique_ptr<Copy>> copies;
        for (int i = 0; i < Copies; ++i)
            copies.push_back(std::make_unique<Copy>(folder));
        const auto ended = [&copies] {
            return int(std::count_if(copies.begin(), copies.end(), [](const auto &copy) {
                return copy->process().state() == QProcess::NotRunning;
            }));
        };
        QTRY_COMPARE_WITH_TIMEOUT(ended(), Copies - 1, 20000);
        for (auto &copy : copies) {
            // A copy may lose the race before the winner listens: it then tells the user.
            if (copy->process().state() == QProcess::NotRunning)
                QVERIFY2(copy->endedAsSecondCopy(Copy::Box::Either), qPrintable(copy->told()));
            else
                QVERIFY2(copy->tells(FirstRunWindow), qPrintable(copy->told()));
        }
        QCOMPARE(ended(), Copies - 1);
    }
}

void OneCopyTest::theRunningCopyComesToTheFront()
{
    Fixture f;
    f.company();
    f.startProgram();
    frmlogon &logon = f.logon();
    QVERIFY(logon.isVisible());
    logon.showMinimized();
    // Another program's window has the focus.
    QWindow elsewhere;
    elsewhere.show();
    elsewhere.requestActivate();
    QTRY_VERIFY(logon.isMinimized());
    QTRY_VERIFY(!logon.isActiveWindow());

    // The later copy waits for the answer, which this one gives from its event loop.
    const QString folder = f.folder();
    auto later =
        std::async(std::launch::async, [folder] { return SingleInstance().claim(folder); });
    QTRY_VERIFY_WITH_TIMEOUT(later.wait_for(std::chrono::seconds(0)) == std::future_status::ready,
                             15000);
    QVERIFY(later.get() == SingleInstance::Claim::RunningCopyCameForward);
    QTRY_VERIFY(!logon.isMinimized());
    QTRY_VERIFY(logon.isActiveWindow());
    QVERIFY(f.prompts.boxes.isEmpty());
}

QTEST_MAIN(OneCopyTest)
#include "test_onecopy.moc"
