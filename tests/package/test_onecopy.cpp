// One copy of the program to a data folder: a later start on the same folder tells the user and
// ends, and the running copy comes to the front.
#include "db/database.h"
#include "support/fixture.h"
#include "ui/frmlogon.h"
#include "ui/singleinstance.h"

#include <algorithm>
#include <memory>
#include <QDir>
#include <QFile>
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
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(folder);
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
    // Ended by itself, with no window shown and the one box.
    bool endedAsSecondCopy()
    {
        const bool ended =
            m_process.state() == QProcess::NotRunning || m_process.waitForFinished(15000);
        return ended && m_process.exitStatus() == QProcess::NormalExit &&
               m_process.exitCode() == 0 && told().contains(AlreadyRunning) &&
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
    void copiesStartedTogetherLeaveOne();
    void theRunningCopyComesToTheFront();
};

void OneCopyTest::aSecondCopyEndsWhileTheFirstRuns_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("sameFolder");
    const QString shop = QStringLiteral("Shop");
    const QString odd = QStringLiteral("Ann's %1 \"shop\",\nÅngström");
    const QString longName(240, QLatin1Char('a'));
    QTest::newRow("same folder") << shop << shop << true;
    QTest::newRow("through a link") << shop << QStringLiteral("link") << true;
    QTest::newRow("odd characters") << odd << odd << true;
    QTest::newRow("long path") << longName << longName << true;
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
        QVERIFY2(later.endedAsSecondCopy(), qPrintable(later.told()));
        QCOMPARE(running->process().state(), QProcess::Running);
    } else {
        QVERIFY2(later.tells(FirstRunWindow), qPrintable(later.told()));
    }

    // A copy killed outright leaves nothing that keeps the next one from starting.
    running->process().kill();
    running.reset();
    if (sameFolder) {
        Copy next(root.filePath(second));
        QVERIFY2(next.tells(FirstRunWindow), qPrintable(next.told()));
    }
    QCOMPARE(QDir(firstFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({EmployeeMdb}));
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
            if (copy->process().state() == QProcess::NotRunning)
                QVERIFY2(copy->endedAsSecondCopy(), qPrintable(copy->told()));
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

    SingleInstance later;
    QVERIFY(!later.claim(f.folder()));
    QTRY_VERIFY(!logon.isMinimized());
    QTRY_VERIFY(logon.isActiveWindow());
    QVERIFY(f.prompts.boxes.isEmpty());
}

QTEST_MAIN(OneCopyTest)
#include "test_onecopy.moc"
