// horalink-tool, started as a process in a folder of its own, as cron would start it.
#include "clock/clocking.h"
#include "csvtext.h"
#include "db/database.h"
#include "db/sqlite.h"
#include "filetraps.h"
#include "support/datafixture.h"

#include <optional>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace horalink;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// A file size limit for the tool's own process, as a full disk would set one.
constexpr qint64 NoLimit = -1;

// Variables set for the tool's run; a null value removes the variable. Unless one is given, the
// data folder is one that does not exist, so that no run reads the account's own clock.
using Variables = QMap<QString, QString>;

Run runTool(const QString &folder, const QStringList &arguments,
            const QString &locale = QStringLiteral("C.UTF-8"), qint64 fileSizeLimit = NoLimit,
            const Variables &variables = {})
{
    QProcess tool;
    if (fileSizeLimit != NoLimit)
        FileSizeLimit::setFor(tool, fileSizeLimit);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), locale);
    environment.insert(QStringLiteral("HORALINK_DATA"), folder + QStringLiteral("/no data folder"));
    for (auto variable = variables.begin(); variable != variables.end(); ++variable) {
        if (variable.value().isNull())
            environment.remove(variable.key());
        else
            environment.insert(variable.key(), variable.value());
    }
    tool.setProcessEnvironment(environment);
    tool.setWorkingDirectory(folder);
    // Text mode reads Windows's line ends as the line feeds the tool writes elsewhere.
    tool.start(QStringLiteral(HORALINK_TOOL), arguments, QIODevice::ReadWrite | QIODevice::Text);
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit)
        return {};
    return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()),
            QString::fromUtf8(tool.readAllStandardError())};
}

const QStringList February = {"--from", "2026-02-01", "--to", "2026-03-01"};

} // namespace

class ToolTest : public QObject
{
    Q_OBJECT

private slots:
    void wrongWordsAreRefusedAndTheFileLeftAlone_data();
    void wrongWordsAreRefusedAndTheFileLeftAlone();
    void theDataIsFoundWhereTheProgramFindsIt_data();
    void theDataIsFoundWhereTheProgramFindsIt();
    void checkTellsByItsExitStatus_data();
    void checkTellsByItsExitStatus();
    void exportAndBackupSayWhatTheyWrote();
    void aCompanyMovesToTheServerAndKeepsAFileCopy();
    void anExportMakesItsFolderAndReplacesAnEarlierOneOnlyWhenTold();
    void aFullDiskIsAFailureAndLeavesNothing_data();
    void aFullDiskIsAFailureAndLeavesNothing();
    void aDumpIsNeverWrittenThroughALinkNorLeftHalf_data();
    void aDumpIsNeverWrittenThroughALinkNorLeftHalf();
    void historyPrintsThePeriodsChangesOneALine();
    void checkAgainstAnExportTellsWhatChangedSince();
};

void ToolTest::wrongWordsAreRefusedAndTheFileLeftAlone_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("told");
    // A mistake in the words is told in one line, and the command's usage line follows.
    QTest::addColumn<QString>("usage");
    const QString check = QStringLiteral("Usage: horalink-tool check --from DATE --to DATE");
    const QString backup = QStringLiteral("Usage: horalink-tool backup FOLDER");
    QTest::newRow("help") << QStringList{"--help"} << 0 << "horalink-tool backup FOLDER"
                          << "";
    QTest::newRow("nothing")
        << QStringList{} << 2 << "which command?"
        << "Usage: horalink-tool export|check|history|backup|init|migrate|roles|dump ...; "
           "horalink-tool --help tells more";
    QTest::newRow("no such command")
        << QStringList{"restore"} << 2 << "no command \"restore\"."
        << "Usage: horalink-tool export|check|history|backup|init|migrate|roles|dump ...; "
           "horalink-tool --help tells more";
    QTest::newRow("no such option")
        << QStringList{"check", "--since", "2026-02-01"} << 2 << "Unknown option 'since'." << check;
    QTest::newRow("an option without its value")
        << QStringList{"check", "--to", "2026-02-01", "--from"} << 2
        << "Missing value after '--from'." << check;
    QTest::newRow("check without an end")
        << QStringList{"check", "--from", "2026-02-01"} << 2 << "check needs --to DATE." << check;
    QTest::newRow("check without its period")
        << QStringList{"check"} << 2 << "check needs --from DATE and --to DATE." << check;
    QTest::newRow("history without an end")
        << QStringList{"history", "--from", "2026-02-01"} << 2 << "history needs --to DATE."
        << "Usage: horalink-tool history --from DATE --to DATE";
    QTest::newRow("check against an export, with dates")
        << QStringList{"check", "--against", "pay"} + February << 2
        << "check does not take --against." << check;
    QTest::newRow("history against an export")
        << QStringList{"history", "--against", "pay"} << 2
        << "history needs --from DATE and --to DATE."
        << "Usage: horalink-tool history --from DATE --to DATE";
    QTest::newRow("export without a folder")
        << QStringList{"export"} + February << 2 << "export needs --out FOLDER."
        << "Usage: horalink-tool export --from DATE --to DATE --out FOLDER [--replace]";
    QTest::newRow("check with a folder")
        << QStringList{"check", "pay"} + February << 2 << "check does not take \"pay\"." << check;
    QTest::newRow("backup with dates") << QStringList{"backup", "."} + February << 2
                                       << "backup does not take --from and --to." << backup;
    QTest::newRow("backup without a folder")
        << QStringList{"backup"} << 2 << "backup needs FOLDER." << backup;
    QTest::newRow("backup into two folders")
        << QStringList{"backup", "a", "b"} << 2 << "backup does not take \"b\"." << backup;
    QTest::newRow("no date") << QStringList{"check", "--from", "soon", "--to", "2026-03-01"} << 2
                             << "--from \"soon\" is not a date." << check;
    QTest::newRow("backwards") << QStringList{"check", "--from", "2026-03-01", "--to",
                                              "2026-03-01 00:00:59"}
                               << 2 << "the period from --from to --to holds no minute." << check;
    QTest::newRow("migrate without a server")
        << QStringList{"migrate", "Employee.mdb"} << 2 << "migrate needs URL."
        << "Usage: horalink-tool migrate --clocks ROLE --manager ROLE Employee.mdb URL";
    QTest::newRow("dump without anything")
        << QStringList{"dump"} << 2 << "dump needs URL and Employee.mdb."
        << "Usage: horalink-tool dump URL Employee.mdb";
    QTest::newRow("dump onto the file")
        << QStringList{"dump", "host=/nowhere", "Employee.mdb"} << 2 << "Could not reach"
        << "";
    QTest::newRow("backup told to replace") << QStringList{"backup", ".", "--replace"} << 2
                                            << "backup does not take --replace." << backup;
    QTest::newRow("no Employee.mdb") << QStringList{"check"} + February << 2
                                     << "found no Employee.mdb, neither in the working folder "
                                     << "";
}

void ToolTest::wrongWordsAreRefusedAndTheFileLeftAlone()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, told);
    QFETCH(QString, usage);
    const bool missing = QTest::currentDataTag() == QLatin1String("no Employee.mdb");
    if (missing && onServer())
        QSKIP("The file itself is the subject.");
    DataFixture f;
    if (missing)
        QFile::remove(f.databasePath());
    const QByteArray file = contentOf(f.databasePath());

    const Run run = runTool(f.folder(), arguments);

    QCOMPARE(run.exitCode, exitCode);
    // Where libpq cannot be had (Windows without PostgreSQL's client), a server is not reached
    // because the tool cannot load it, and says so.
    const bool withoutLibpq = run.err.contains(QStringLiteral("libpq could not be loaded"));
    QVERIFY2((exitCode ? run.err : run.out).contains(told) ||
                 (withoutLibpq && told == QLatin1String("Could not reach")),
             qPrintable(run.out + run.err));
    if (!usage.isEmpty())
        QCOMPARE(run.err, QStringLiteral("horalink-tool: ") + told + QLatin1Char('\n') + usage +
                              QLatin1Char('\n'));
    QCOMPARE(QDir(f.folder()).entryList(QDir::Files),
             missing ? QStringList() : QStringList{"Employee.mdb"});
    QCOMPARE(contentOf(f.databasePath()), file);
}

void ToolTest::theDataIsFoundWhereTheProgramFindsIt_data()
{
    // The working folder's file, when it holds one: "shop", whose check finds Ann's open shift,
    // a file that is no database, or none. The data folder holds a clean copy, named by
    // HORALINK_DATA, found in XDG_DATA_HOME or in the home folder, or is missing.
    QTest::addColumn<QString>("working");
    QTest::addColumn<QString>("dataFolder");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("used");
    QTest::newRow("the working folder's before the data folder's")
        << "shop"
        << "HORALINK_DATA" << 1 << "the working folder";
    QTest::newRow("a shared data folder") << ""
                                          << "HORALINK_DATA" << 0 << "HORALINK_DATA";
    QTest::newRow("the user's own in XDG_DATA_HOME") << ""
                                                     << "XDG_DATA_HOME" << 0 << "the data folder";
    QTest::newRow("the user's own in the home folder") << ""
                                                       << "HOME" << 0 << "the data folder";
    QTest::newRow("a damaged file in the working folder is told, not passed over")
        << "damaged"
        << "HORALINK_DATA" << 2 << "";
    QTest::newRow("nowhere") << ""
                             << "" << 2 << "";
}

void ToolTest::theDataIsFoundWhereTheProgramFindsIt()
{
    QFETCH(QString, working);
    QFETCH(QString, dataFolder);
    QFETCH(int, exitCode);
    QFETCH(QString, used);
#ifdef Q_OS_WIN
    if (dataFolder == QLatin1String("XDG_DATA_HOME") || dataFolder == QLatin1String("HOME"))
        QSKIP("Windows keeps the user's own data folder in %LOCALAPPDATA%.");
#endif
    DataFixture f;
    QTemporaryDir root;
    const QString folder = dataFolder == QLatin1String("HOME")
                               ? root.filePath(QStringLiteral("home/.local/share/horalink"))
                               : root.filePath(QStringLiteral("data/horalink"));
    if (!dataFolder.isEmpty()) {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(f.databasePath(), QDir(folder).filePath(EmployeeMdb)));
    }
    f.employee(QStringLiteral("Ann"), {.wage = QStringLiteral("7.5")});
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-02-02 08:00:00"),
            QStringLiteral("Clocked In"));
    QString runIn = root.filePath(QStringLiteral("elsewhere"));
    QVERIFY(QDir().mkpath(runIn));
    if (working == QLatin1String("shop"))
        runIn = f.folder();
    if (working == QLatin1String("damaged")) {
        QFile damaged(QDir(runIn).filePath(EmployeeMdb));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("name,wage\nAnn,10\n");
    }
    Variables variables{{"HORALINK_DATA", root.filePath(QStringLiteral("no data folder"))}};
    if (dataFolder == QLatin1String("HORALINK_DATA"))
        variables[QStringLiteral("HORALINK_DATA")] = folder;
    if (dataFolder == QLatin1String("XDG_DATA_HOME") || dataFolder == QLatin1String("HOME")) {
        variables[QStringLiteral("HORALINK_DATA")] = QString();
        variables[QStringLiteral("XDG_DATA_HOME")] =
            dataFolder == QLatin1String("HOME") ? QString() : root.filePath(QStringLiteral("data"));
        variables[QStringLiteral("HOME")] = root.filePath(QStringLiteral("home"));
    }
    // The tool only reads: it makes no folder and leaves what it reads as it was.
    const auto entries = [&] {
        return QList{entriesOf(root.path()), entriesOf(folder)};
    };
    const auto before = entries();

    const Run run = runTool(runIn, QStringList{"check"} + February, QStringLiteral("C.UTF-8"),
                            NoLimit, variables);

    QCOMPARE(entries(), before);
    if (onServer()) {
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith(QStringLiteral("horalink-tool: using the database ")) &&
                     run.err.endsWith(QStringLiteral(" (HORALINK_DATABASE)\n")),
                 qPrintable(run.err));
        return;
    }
    QCOMPARE(run.exitCode, exitCode);
    const QString where = working == QLatin1String("shop") ? f.folder() : folder;
    if (!used.isEmpty())
        QCOMPARE(run.err, QStringLiteral("horalink-tool: using Employee.mdb in ") +
                              QDir::toNativeSeparators(QFileInfo(where).canonicalFilePath()) +
                              QStringLiteral(" (") + used + QStringLiteral(")\n"));
    else if (working == QLatin1String("damaged"))
        // The database's own message names the file in Qt's form, with forward slashes.
        QVERIFY2(run.err.contains(QFileInfo(QDir(runIn).filePath(EmployeeMdb)).canonicalFilePath()),
                 qPrintable(run.err));
    else
        QVERIFY2(run.err.contains(QDir::toNativeSeparators(runIn)) &&
                     run.err.contains(
                         QDir::toNativeSeparators(root.filePath(QStringLiteral("no data folder")))),
                 qPrintable(run.err));
}

void ToolTest::checkTellsByItsExitStatus_data()
{
    QTest::addColumn<QString>("clockOut");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::newRow("clean") << "2026-02-02 16:00:00" << 0 << "No exceptions in this period.\n";
    QTest::newRow("dated in the future")
        << "2099-02-02 16:00:00" << 1
        << "O\"Neil\\n%1\t2026-02-02 08:00:00\tpair over 16 hours: 639920 h 00 min until "
           "2099-02-02 16:00:00\n"
           "O\"Neil\\n%1\t2099-02-02 16:00:00\tdated in the future: it is now ";
}

void ToolTest::checkTellsByItsExitStatus()
{
    QFETCH(QString, clockOut);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    DataFixture f;
    const QString name = QStringLiteral("O\"Neil\n%1");
    f.employee(name);
    f.event(name, QStringLiteral("2026-02-02 08:00:00"), QStringLiteral("Clocked In"));
    f.event(name, clockOut, QStringLiteral("Clocked Out"));

    const Run run = runTool(f.folder(), QStringList{"check"} + February);

    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.out.startsWith(out), qPrintable(run.out));
    QVERIFY2(run.err.startsWith(QStringLiteral("horalink-tool: using ")) &&
                 run.err.count(QLatin1Char('\n')) == 1 && run.err.endsWith(QLatin1Char('\n')),
             qPrintable(run.err));
}

void ToolTest::exportAndBackupSayWhatTheyWrote()
{
    DataFixture f;
    f.employee(QStringLiteral("Ann"), {.wage = QStringLiteral("7.5")});
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-02-02 08:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-02-06 12:30:00"),
            QStringLiteral("Clocked Out"));
    QDir(f.folder()).mkdir(QStringLiteral("pay"));

#ifdef Q_OS_WIN
    // Windows takes the locale from the account, never from LC_ALL: the export runs in the
    // system's, for which the figures are written with a decimal point.
    if (QLocale::system().decimalPoint() != QLatin1String("."))
        QSKIP("The figures below are written for a system that writes decimals with a point.");
    const QStringList period = {"--from", "2026-02-01", "--to", "2026-03-01"};
    const QChar separator = QLatin1Char(',');
    const QStringList annsRow = {"Ann", "7.5", "6030", "100.50", "753.75", "100.", "750", "3.75"};
#else
    const QStringList period = {"--from", "01.02.2026", "--to", "01.03.2026"};
    const QChar separator = QLatin1Char(';');
    const QStringList annsRow = {"Ann", "7.5", "6030", "100,50", "753,75", "100,", "750", "3,75"};
#endif
    const Run exported =
        runTool(f.folder(), QStringList{"export"} + period + QStringList{"--out", "pay"},
                QStringLiteral("de_DE.UTF-8"));
    const Run backedUp = runTool(f.folder(), {"backup", "pay"});

    QCOMPARE(exported.exitCode, 0);
    // The tool names the files as the system writes paths.
    QCOMPARE(exported.out,
             QDir::toNativeSeparators(QStringLiteral(
                 "pay/summary.csv\npay/events.csv\npay/changes.csv\npay/digests.json\n")));
    QCOMPARE(
        readCsv(contentOf(f.folder() + QStringLiteral("/pay/summary.csv")), separator).value(2),
        annsRow);
    QCOMPARE(backedUp.exitCode, 0);
    const QStringList copies =
        QDir(f.folder() + QStringLiteral("/pay")).entryList({"Employee *.mdb"}, QDir::Files);
    QCOMPARE(copies.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^Employee \\d{4}-\\d\\d-\\d\\d \\d{6}\\.mdb$"))
                 .match(copies[0])
                 .hasMatch(),
             qPrintable(copies[0]));
    QCOMPARE(backedUp.out,
             QDir::toNativeSeparators(QStringLiteral("pay/") + copies[0]) + QLatin1Char('\n'));
}

void ToolTest::aCompanyMovesToTheServerAndKeepsAFileCopy()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    DataFixture f;
    const ServerAccounts accounts;
    ServerSchema fresh(ServerSchema::Tables::None);
    ServerSchema moved(ServerSchema::Tables::None);
    const QString copy = QDir(f.folder()).filePath(QStringLiteral("Employee copy.mdb"));

    const Run unnamed = runTool(f.folder(), {"init", fresh.connectionString()});
    QCOMPARE(unnamed.exitCode, 2);
    QVERIFY2(unnamed.err.contains(QStringLiteral("init needs --clocks ROLE and --manager ROLE.")),
             qPrintable(unnamed.err));
    const Run unknown = runTool(f.folder(), {"init", fresh.connectionString(), "--clocks",
                                             "nobody_here", "--manager", accounts.manager()});
    QCOMPARE(unknown.exitCode, 2);
    QVERIFY2(unknown.err.contains(QStringLiteral("has no account 'nobody_here'")),
             qPrintable(unknown.err));
    const Run init =
        runTool(f.folder(), QStringList{"init", fresh.connectionString()} + accounts.options());
    QCOMPARE(init.exitCode, 0);
    QVERIFY2(init.out.startsWith(QStringLiteral("Created a fresh employee database in ")),
             qPrintable(init.out + init.err));
    const Run again =
        runTool(f.folder(), QStringList{"init", fresh.connectionString()} + accounts.options());
    QCOMPARE(again.exitCode, 2);
    QVERIFY2(again.err.contains(QStringLiteral("already holds tables")), qPrintable(again.err));

    const Run migrate =
        runTool(f.folder(), QStringList{"migrate", f.databasePath(), moved.connectionString()} +
                                accounts.options());
    QCOMPARE(migrate.exitCode, 0);
    const Run dump = runTool(f.folder(), {"dump", moved.connectionString(), copy});
    QCOMPARE(dump.exitCode, 0);
    const auto copied = SqliteConnection::openExisting(copy);
    Statement names(*copied, QStringLiteral("SELECT ename FROM datalist ORDER BY rowid"));
    QVERIFY(names.step());
    QCOMPARE(names.value(0).toString(), QStringLiteral("Manager"));
    QVERIFY(!names.step());
    const Run over = runTool(f.folder(), {"dump", fresh.connectionString(), copy});
    QCOMPARE(over.exitCode, 2);
    QVERIFY2(over.err.contains(QStringLiteral("never replaces")), qPrintable(over.err));
}

void ToolTest::anExportMakesItsFolderAndReplacesAnEarlierOneOnlyWhenTold()
{
    DataFixture f;
    f.employee(QStringLiteral("Ann"), {.wage = QStringLiteral("7.5")});
    const QStringList exportTo = QStringList{"export", "--out", "pay/2026-02"} + February;
    const QString summary = f.folder() + QStringLiteral("/pay/2026-02/summary.csv");

    const Run first = runTool(f.folder(), exportTo);
    QCOMPARE(first.exitCode, 0);
    QCOMPARE(first.out, QDir::toNativeSeparators(
                            QStringLiteral("pay/2026-02/summary.csv\npay/2026-02/events.csv\n"
                                           "pay/2026-02/changes.csv\npay/2026-02/digests.json\n")));
    QFile::remove(summary);
    QFile earlier(summary);
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("last period");
    earlier.close();

    const Run again = runTool(f.folder(), exportTo);
    QCOMPARE(again.exitCode, 2);
    QVERIFY2(again.err.contains(QStringLiteral("--replace")), qPrintable(again.err));
    QCOMPARE(contentOf(summary), QByteArray("last period"));

    const Run replacing = runTool(f.folder(), exportTo + QStringList{"--replace"});
    QCOMPARE(replacing.exitCode, 0);
    QCOMPARE(readCsv(contentOf(summary), QLatin1Char(',')).value(2).value(0),
             QStringLiteral("Ann"));
}

void ToolTest::aFullDiskIsAFailureAndLeavesNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<qint64>("limit");
    QTest::newRow("export") << QStringList{"export", "--out", "pay"} + February << qint64(64);
    QTest::newRow("backup") << QStringList{"backup", "pay"} << qint64(4096);
}

void ToolTest::aFullDiskIsAFailureAndLeavesNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(qint64, limit);
    if (!FileSizeLimit::available())
        QSKIP("Needs a file size limit for processes.");
    DataFixture f;
    f.employee(QStringLiteral("Ann"), {.wage = QStringLiteral("7.5")});
    f.event(QStringLiteral("Ann"), {.stamp = QStringLiteral("2026-02-02 08:00:00"),
                                    .status = QStringLiteral("Clocked In"),
                                    .activity = QStringLiteral("sorting bolts")});
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-02-02 16:00:00"),
            QStringLiteral("Clocked Out"));
    QDir(f.folder()).mkdir(QStringLiteral("pay"));

    const Run run = runTool(f.folder(), arguments, QStringLiteral("C.UTF-8"), limit);

    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QString());
    QVERIFY(!run.err.isEmpty());
    QCOMPARE(entriesOf(f.folder() + QStringLiteral("/pay")), (QMap<QString, QString>()));
}

void ToolTest::aDumpIsNeverWrittenThroughALinkNorLeftHalf_data()
{
    QTest::addColumn<std::optional<Trap>>("trap");
    QTest::newRow("a link") << std::optional(Trap::Link);
    QTest::newRow("a dangling link") << std::optional(Trap::DanglingLink);
    QTest::newRow("a full disk") << std::optional<Trap>();
}

void ToolTest::aDumpIsNeverWrittenThroughALinkNorLeftHalf()
{
    QFETCH(std::optional<Trap>, trap);
    if (!onServer())
        QSKIP("Needs the private database server.");
    DataFixture f;
    ServerSchema server;
    QTemporaryDir out;
    QTemporaryDir elsewhere;
    const QString copy = out.filePath(QStringLiteral("Employee copy.mdb"));
    if (trap) {
        SKIP_UNLESS_SETTABLE(*trap);
        setTrap(*trap, copy, elsewhere.path());
    }
    const auto folderBefore = entriesOf(out.path());
    const auto elsewhereBefore = entriesOf(elsewhere.path());

    const Run dump = runTool(f.folder(), {"dump", server.connectionString(), copy},
                             QStringLiteral("C.UTF-8"), trap ? NoLimit : 4096);

    QCOMPARE(dump.exitCode, 2);
    QVERIFY(!dump.err.isEmpty());
    QCOMPARE(entriesOf(out.path()), folderBefore);
    QCOMPARE(entriesOf(elsewhere.path()), elsewhereBefore);
}

void ToolTest::historyPrintsThePeriodsChangesOneALine()
{
    DataFixture f;
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-02-02 08:00:00"),
            QStringLiteral("Clocked In"));
    // A name with a tab still makes one line of fields.
    f.file().setAuthor(QStringLiteral("Ann\tB"));
    f.setNow(QStringLiteral("2026-03-05 10:00:00"));
    QVERIFY(deleteLastEvent(f.file(), QStringLiteral("Ann")));

    const Run run = runTool(f.folder(), QStringList{"history"} + February);
    QCOMPARE(run.exitCode, 0);
    const QStringList fields = run.out.chopped(1).split(QLatin1Char('\t'));
    QCOMPARE(fields.size(), 9);
    QCOMPARE(fields[0], QStringLiteral("2026-03-05 10:00:00"));
    QCOMPARE(fields[2], QStringLiteral("Ann\\tB"));
    QCOMPARE(fields.mid(4, 3), QStringList({"Ann", "1", "deleted last"}));
    QCOMPARE(fields[8], QString());
    QCOMPARE(runTool(f.folder(), {"history", "--from", "2026-04-01", "--to", "2026-05-01"}).out,
             QString());
}

void ToolTest::checkAgainstAnExportTellsWhatChangedSince()
{
    DataFixture f;
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-02-02 08:00:00"),
            QStringLiteral("Clocked In"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-02-02 16:00:00"),
            QStringLiteral("Clocked Out"));
    QCOMPARE(runTool(f.folder(), QStringList{"export", "--out", "pay"} + February).exitCode, 0);
    const QStringList against{"check", "--against", "pay"};

    const Run unchanged = runTool(f.folder(), against);
    QCOMPARE(unchanged.exitCode, 0);
    QCOMPARE(unchanged.out, QStringLiteral("Manager\tunchanged since the export\n"
                                           "Ann\tunchanged since the export\n"));
    // Two hours more, as another program would write them: no entry tells them.
    Statement(f.file(), QStringLiteral("UPDATE ") + f.file().quotedTable(QStringLiteral("Ann")) +
                            QStringLiteral(" SET \"datetime\" = ?1 WHERE rowid = 2"))
        .bind(1, QStringLiteral("2026-02-02 18:00:00"))
        .run();
    const Run changed = runTool(f.folder(), against);
    QCOMPARE(changed.exitCode, 1);
    QCOMPARE(changed.out, QStringLiteral("Manager\tunchanged since the export\n"
                                         "Ann\tchanged outside Horalink\n"));
    QCOMPARE(runTool(f.folder(), {"check", "--against", "nowhere"}).exitCode, 2);
}

QTEST_MAIN(ToolTest)
#include "test_tool.moc"
