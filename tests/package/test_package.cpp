// The .deb as a user installs it: unpacked into a folder of its own, its program started with a
// home folder of its own, and its files checked by Debian's tools where they are installed.
#include "db/database.h"
#include "ui/version.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace horalink;

namespace {

// Runs a command to its end: its exit code, or -1 when it did not end by itself; standard output
// and error together in told.
int run(const QString &program, const QStringList &arguments, QString *told = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(120000);
    if (told)
        *told = QString::fromUtf8(process.readAll());
    return ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString firstMatch(const QString &pattern, const QString &text)
{
    return QRegularExpression(pattern).match(text).captured(1);
}

// A run of the installed program with a home folder of its own and no one at the screen.
class Launch
{
public:
    Launch(const QString &program, const QString &home)
    {
        m_environment.remove(QStringLiteral("HORALINK_DATA"));
        m_environment.remove(QStringLiteral("XDG_DATA_HOME"));
        m_environment.insert(QStringLiteral("HOME"), home);
        m_environment.insert(QStringLiteral("HORALINK_UNATTENDED"), QStringLiteral("1"));
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setWorkingDirectory(home);
        m_program = program;
    }
    ~Launch()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    void set(const QString &name, const QString &value) { m_environment.insert(name, value); }
    void start(const QStringList &arguments = {})
    {
        m_process.setProcessEnvironment(m_environment);
        m_process.start(m_program, arguments);
    }
    bool tells(const QString &line)
    {
        for (int waited = 0; waited < 15000 && !m_told.contains(line); waited += 50) {
            m_process.waitForReadyRead(50);
            m_told += QString::fromUtf8(m_process.readAllStandardError());
        }
        return m_told.contains(line);
    }
    QString told() const { return m_told; }
    QProcess &process() { return m_process; }

private:
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
    QProcess m_process;
    QString m_program;
    QString m_told;
};

} // namespace

class PackageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void theProgramPreparesTheDataFolder_data();
    void theProgramPreparesTheDataFolder();
    void anExistingFileIsNeverReplaced();
    void theToolChecksTheDataFolder();
    void theMenuEntryFindsTheProgramAndItsIcon();
    void everyFileCarriesTheOneVersion();
    void theGuideIsInstalledWithItsPictures();
    void qtsOwnTextsAreRecommended();
    void debiansToolsFindNoError_data();
    void debiansToolsFindNoError();

private:
    QString installed(const QString &path) const { return m_work.filePath("root/" + path); }
    QString desktopFile() const
    {
        return installed("usr/share/applications/" + ApplicationId + ".desktop");
    }
    QString metainfoFile() const
    {
        return installed("usr/share/metainfo/" + ApplicationId + ".metainfo.xml");
    }

    QTemporaryDir m_work;
    QString m_deb;
};

void PackageTest::initTestCase()
{
    QVERIFY(m_work.isValid());
    const QString out = m_work.filePath(QStringLiteral("out"));
    QString told;
    QVERIFY2(
        run(QStringLiteral(CPACK), {"-G", "DEB", "--config", CPACK_CONFIG, "-B", out}, &told) == 0,
        qPrintable(told));
    const QStringList debs = QDir(out).entryList({QStringLiteral("*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    m_deb = QDir(out).filePath(debs.first());
    QCOMPARE(run(QStringLiteral("dpkg-deb"), {"-x", m_deb, m_work.filePath("root")}), 0);
}

void PackageTest::theProgramPreparesTheDataFolder_data()
{
    QTest::addColumn<QString>("shared");
    QTest::addColumn<QString>("xdg");
    QTest::addColumn<QString>("folder");
    QTest::newRow("home") << ""
                          << ""
                          << "home/.local/share/horalink";
    QTest::newRow("XDG data home") << ""
                                   << "/xdg"
                                   << "xdg/horalink";
    QTest::newRow("relative XDG data home") << ""
                                            << "xdg"
                                            << "home/.local/share/horalink";
    QTest::newRow("shared folder") << "/shared/Ann's %1 \"clock\",\nÅ"
                                   << "/xdg"
                                   << "shared/Ann's %1 \"clock\",\nÅ";
}

void PackageTest::theProgramPreparesTheDataFolder()
{
    QFETCH(QString, shared);
    QFETCH(QString, xdg);
    QFETCH(QString, folder);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("home")));
    const QString data = root.filePath(folder);
    const auto prepare = [&](Launch &launch) {
        if (!shared.isEmpty())
            launch.set(QStringLiteral("HORALINK_DATA"), root.path() + shared);
        if (!xdg.isEmpty())
            launch.set(QStringLiteral("XDG_DATA_HOME"),
                       xdg.startsWith('/') ? root.path() + xdg : xdg);
    };

    Launch ask(installed(QStringLiteral("usr/bin/horalink")), root.filePath("home"));
    prepare(ask);
    ask.start({QStringLiteral("--data-dir")});
    QVERIFY(ask.process().waitForFinished());
    QCOMPARE(ask.process().exitCode(), 0);
    QCOMPARE(QString::fromUtf8(ask.process().readAllStandardOutput()), data + '\n');
    QVERIFY(!QFileInfo::exists(data));

    Launch launch(installed(QStringLiteral("usr/bin/horalink")), root.filePath("home"));
    prepare(launch);
    launch.start();
    QVERIFY2(launch.tells(QStringLiteral("WINDOW frmstartup")), qPrintable(launch.told()));
    QCOMPARE(contentOf(QDir(data).filePath(EmployeeMdb)), contentOf(FRESH_DATABASE));
    const QString process = "/proc/" + QString::number(launch.process().processId());
    QCOMPARE(QFileInfo(process + "/exe").canonicalFilePath(),
             QFileInfo(installed("usr/bin/horalink")).canonicalFilePath());
    QCOMPARE(QFileInfo(process + "/cwd").canonicalFilePath(), QFileInfo(data).canonicalFilePath());
    const QList<QByteArray> environment = contentOf(process + "/environ").split('\0');
    QCOMPARE(environment.contains("HORALINK_DATA=" + (root.path() + shared).toUtf8()),
             !shared.isEmpty());
    QCOMPARE(QDir(data).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({EmployeeMdb, QStringLiteral("horalink.lock")}));
    // The user's own folder and file are no other account's to read; a shared one keeps what
    // its administrator gave it.
    constexpr QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    if (shared.isEmpty()) {
        QCOMPARE(QFile::permissions(data) & others, QFile::Permissions());
        QCOMPARE(QFile::permissions(QDir(data).filePath(EmployeeMdb)) & others,
                 QFile::Permissions());
    }

    // The server's connection string, which the program itself reads, with characters a
    // shell could trip over: the program names the host it could not reach as it was given.
    launch.process().kill();
    launch.process().waitForFinished();
    const QString host = QStringLiteral("/nowhere/$HOME %1 \"x\" `y` \u00c5");
    Launch server(installed(QStringLiteral("usr/bin/horalink")), root.filePath("home"));
    prepare(server);
    server.set(QStringLiteral("HORALINK_DATABASE"),
               QStringLiteral("host='") + host + QStringLiteral("' dbname=horalink"));
    server.start();
    QVERIFY2(server.tells(QStringLiteral("horalink on ") + host), qPrintable(server.told()));
}

void PackageTest::anExistingFileIsNeverReplaced()
{
    QTemporaryDir root;
    const QString data = root.filePath(QStringLiteral("home/.local/share/horalink"));
    QVERIFY(QDir().mkpath(data));
    const QByteArray text("name,wage\nAnn,10\n");
    QFile file(QDir(data).filePath(EmployeeMdb));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();

    Launch launch(installed(QStringLiteral("usr/bin/horalink")), root.filePath("home"));
    launch.start();
    QVERIFY2(launch.tells(QStringLiteral("BOX Horalink | Run-time error")),
             qPrintable(launch.told()));
    QVERIFY(launch.process().state() == QProcess::NotRunning || launch.process().waitForFinished());
    QCOMPARE(launch.process().exitCode(), 1);
    QCOMPARE(contentOf(file.fileName()), text);
}

// The pay-day tool is installed beside the program and reads the file without changing it.
void PackageTest::theToolChecksTheDataFolder()
{
    QTemporaryDir data;
    const QString file = data.filePath(EmployeeMdb);
    QVERIFY(QFile::copy(QStringLiteral(FRESH_DATABASE), file));
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("HORALINK_DATABASE"));
    tool.setProcessEnvironment(environment);
    tool.setWorkingDirectory(data.path());
    tool.start(installed(QStringLiteral("usr/bin/horalink-tool")),
               {"check", "--from", "2026-11-23", "--to", "2026-12-07"});
    QVERIFY(tool.waitForFinished());
    QCOMPARE(tool.exitCode(), 0);
    QVERIFY(tool.readAllStandardOutput().contains("No exceptions in this period."));
    QCOMPARE(contentOf(file), contentOf(FRESH_DATABASE));
}

void PackageTest::theMenuEntryFindsTheProgramAndItsIcon()
{
    const QString entry = QString::fromUtf8(contentOf(desktopFile()));
    const QString exec = firstMatch(QStringLiteral("\nExec=(\\S+)"), entry);
    QVERIFY(QFileInfo(installed("usr/bin/" + exec)).isExecutable());
    QCOMPARE(firstMatch(QStringLiteral("\nStartupWMClass=(.*)\n"), entry),
             QFileInfo(installed("usr/bin/horalink")).fileName());
    const QString icon = firstMatch(QStringLiteral("\nIcon=(.*)\n"), entry);
    QCOMPARE(icon, ApplicationId);
    QVERIFY(QFileInfo::exists(installed("usr/share/icons/hicolor/scalable/apps/" + icon + ".svg")));
    for (const int size : {48, 256}) {
        const QString png =
            QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/").arg(size) + icon + ".png";
        QCOMPARE(QImage(installed(png)).size(), QSize(size, size));
    }

    const QString metainfo = QString::fromUtf8(contentOf(metainfoFile()));
    QCOMPARE(firstMatch(QStringLiteral("<id>([^<]*)</id>"), metainfo), ApplicationId);
    QCOMPARE(firstMatch(QStringLiteral("<launchable type=\"desktop-id\">([^<]*)<"), metainfo),
             QFileInfo(desktopFile()).fileName());
    QCOMPARE(firstMatch(QStringLiteral("<binary>([^<]*)<"), metainfo), exec);
}

void PackageTest::everyFileCarriesTheOneVersion()
{
    QString told;
    QCOMPARE(run(QStringLiteral("dpkg-deb"), {"-f", m_deb, "Version"}, &told), 0);
    QCOMPARE(told.trimmed(), ProgramVersion);
    QCOMPARE(firstMatch(QStringLiteral("<release version=\"([^\"]*)\""),
                        QString::fromUtf8(contentOf(metainfoFile()))),
             ProgramVersion);
    QCOMPARE(run(QStringLiteral("gzip"), {"-dc", installed("usr/share/doc/horalink/changelog.gz")},
                 &told),
             0);
    QCOMPARE(firstMatch(QStringLiteral("^horalink \\(([^)]*)\\)"), told), ProgramVersion);
    QCOMPARE(
        run(QStringLiteral("gzip"), {"-dc", installed("usr/share/man/man1/horalink.1.gz")}, &told),
        0);
    QCOMPARE(firstMatch(QStringLiteral("^\\.TH .* \"Horalink ([^\"]*)\""), told), ProgramVersion);
}

// The README, the shop's guide, is the package's documentation, with every picture it shows,
// and names the data folder the installed program uses.
void PackageTest::theGuideIsInstalledWithItsPictures()
{
    const QString guide = installed(QStringLiteral("usr/share/doc/horalink/README.md"));
    const QByteArray text = contentOf(guide);
    QVERIFY(!text.isEmpty());
    QCOMPARE(text, contentOf(README_SOURCE));
    const QRegularExpression picture(QStringLiteral("!\\[[^]]*\\]\\(([^)]+)\\)"));
    int pictures = 0;
    for (const auto &match : picture.globalMatch(QString::fromUtf8(text))) {
        const QString path = QFileInfo(guide).dir().filePath(match.captured(1));
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
        ++pictures;
    }
    QVERIFY(pictures > 0);

    const QString named =
        firstMatch(QStringLiteral("\\| Debian \\| `~/([^`]+)`"), QString::fromUtf8(text));
    QVERIFY(!named.isEmpty());
    QTemporaryDir home;
    Launch ask(installed(QStringLiteral("usr/bin/horalink")), home.path());
    ask.start({QStringLiteral("--data-dir")});
    QVERIFY(ask.process().waitForFinished());
    QCOMPARE(QString::fromUtf8(ask.process().readAllStandardOutput()),
             QDir(home.path()).filePath(named) + QLatin1Char('\n'));
}

// Without Debian's translations of Qt, Qt's dialogs and key names stay English in any language.
void PackageTest::qtsOwnTextsAreRecommended()
{
    QString told;
    QCOMPARE(run(QStringLiteral("dpkg-deb"), {"-f", m_deb, "Recommends"}, &told), 0);
    QCOMPARE(told.trimmed(), QStringLiteral("qt6-translations-l10n"));
}

void PackageTest::debiansToolsFindNoError_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("lintian") << "lintian" << QStringList{"--fail-on", "error"};
    QTest::newRow("desktop-file-validate") << "desktop-file-validate" << QStringList{};
    QTest::newRow("appstreamcli") << "appstreamcli" << QStringList{"validate", "--no-net"};
}

void PackageTest::debiansToolsFindNoError()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    if (QStandardPaths::findExecutable(tool).isEmpty())
        QSKIP("the tool is not installed");
    const QString subject = tool == QLatin1String("lintian")        ? m_deb
                            : tool == QLatin1String("appstreamcli") ? metainfoFile()
                                                                    : desktopFile();
    QString told;
    const int code = run(tool, arguments << subject, &told);
    if (!told.isEmpty())
        qInfo().noquote() << told;
    if (tool == QLatin1String("desktop-file-validate")) {
        // Validators before 0.27 predate SingleMainWindow (version 1.5 of the entry format) and
        // call it an unknown key; any other complaint counts.
        told.remove(QRegularExpression(QStringLiteral("[^\n]*\"SingleMainWindow\"[^\n]*\n?")));
        QVERIFY2(!told.contains(QStringLiteral("error")), qPrintable(told));
    } else {
        QVERIFY2(code == 0, qPrintable(told));
    }
}

QTEST_MAIN(PackageTest)
#include "test_package.moc"
