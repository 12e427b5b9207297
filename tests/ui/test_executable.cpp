// The real program, started as a process in a folder of its own, with no one at the screen.
#include "db/database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace horalink;

namespace {

// Starts the program on the data folder; boxes are answered with their default buttons and told
// on standard error, as is every window shown.
void startIn(QProcess &program, const QString &folder, const QString &server = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!server.isEmpty())
        environment.insert(QLatin1String(ServerVariable), server);
    environment.insert(QStringLiteral("HORALINK_UNATTENDED"), QStringLiteral("1"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HORALINK_DATA"), folder);
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::SeparateChannels);
    program.start(QStringLiteral(HORALINK_PROGRAM), {});
    QVERIFY(program.waitForStarted());
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ExecutableTest : public QObject
{
    Q_OBJECT

private slots:
    void anUnusableFileEndsTheProgramAtOnce_data();
    void anUnusableFileEndsTheProgramAtOnce();
    void aFreshFileReachesTheFirstRunWindow_data();
    void aFreshFileReachesTheFirstRunWindow();
    void anUnreachableServerEndsTheProgramNamingIt();
};

void ExecutableTest::anUnusableFileEndsTheProgramAtOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("text file") << "text";
    QTest::newRow("folder") << "folder";
}

void ExecutableTest::anUnusableFileEndsTheProgramAtOnce()
{
    QFETCH(QString, kind);
    QTemporaryDir folder;
    const QString path = folder.filePath(EmployeeMdb);
    const QByteArray text("name,wage\nAnn,10\n");
    if (kind == QLatin1String("text")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(folder.path()).mkdir(EmployeeMdb));
    }

    QProcess program;
    startIn(program, folder.path());
    QVERIFY2(program.waitForFinished(10000), "the program did not end after its error");
    const QString told = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    QVERIFY2(told.contains(QStringLiteral("BOX Horalink | Run-time error '")), qPrintable(told));
    QVERIFY2(told.contains(QStringLiteral("Employee.mdb")), qPrintable(told));
    QCOMPARE(QFileInfo(path).isDir(), kind == QLatin1String("folder"));
    if (kind == QLatin1String("text"))
        QCOMPARE(contentOf(path), text);
}

// A folder without Employee.mdb is given the fresh one, as a new installation is.
void ExecutableTest::aFreshFileReachesTheFirstRunWindow_data()
{
    QTest::addColumn<bool>("given");
    QTest::newRow("fresh file") << true;
    QTest::newRow("no file") << false;
}

void ExecutableTest::aFreshFileReachesTheFirstRunWindow()
{
    QFETCH(bool, given);
    QTemporaryDir folder;
    QTemporaryDir elsewhere;
    createFreshDatabase(elsewhere.filePath(EmployeeMdb));
    if (given)
        QVERIFY(QFile::copy(elsewhere.filePath(EmployeeMdb), folder.filePath(EmployeeMdb)));
    const QByteArray fresh = contentOf(elsewhere.filePath(EmployeeMdb));
    QProcess program;
    startIn(program, folder.path());
    QString told;
    QTRY_VERIFY_WITH_TIMEOUT((told += QString::fromUtf8(program.readAllStandardError()))
                                 .contains(QStringLiteral("WINDOW frmstartup")),
                             10000);
    QCOMPARE(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished();
    QCOMPARE(contentOf(folder.filePath(EmployeeMdb)), fresh);
}

void ExecutableTest::anUnreachableServerEndsTheProgramNamingIt()
{
    QTemporaryDir folder;
    createFreshDatabase(folder.filePath(EmployeeMdb));
    const QString host = folder.filePath(QStringLiteral("no server here"));
    QProcess program;
    startIn(program, folder.path(),
            QStringLiteral("host='") + host +
                QStringLiteral("' dbname=horalink connect_timeout=2"));
    QVERIFY2(program.waitForFinished(10000), "the program did not end after its error");
    const QString told = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(program.exitCode(), 1);
    QVERIFY2(told.contains(QStringLiteral("BOX Horalink | Run-time error '3151':")),
             qPrintable(told));
    // Where libpq cannot be had (Windows without PostgreSQL's client), the program says so.
    if (!told.contains(QStringLiteral("libpq could not be loaded"))) {
        QVERIFY2(told.contains(QStringLiteral("horalink on ") + host), qPrintable(told));
        QVERIFY2(told.contains(QStringLiteral("No such file or directory")), qPrintable(told));
    }
    QVERIFY(!told.contains(QStringLiteral("WINDOW frmlogon")));
}

QTEST_GUILESS_MAIN(ExecutableTest)
#include "test_executable.moc"
