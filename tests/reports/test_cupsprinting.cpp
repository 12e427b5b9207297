// Prints time cards through a real CUPS scheduler that the test starts for itself, with its own
// configuration folder and socket; the machine's own printing setup is never touched. Its
// default printer is a network printer on loopback whose "printer" is this test, listening
// as a printer on port 9100 would: each job arrives as one connection holding the PDF the
// program sent.
#include "db/datetimetext.h"
#include "db/timelogrows.h"
#include "pdftext.h"
#include "reports/card.h"
#include "support/fixture.h"
#include "ui/printer.h"
#include "ui/systemprinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace horalink;

namespace {

const QString Queue = QStringLiteral("HoralinkCards");
const QString Ann = QStringLiteral("Ann");
const QString Bob = QStringLiteral("Bob");
const QStringList SbinFolders = {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"),
                                 QStringLiteral("/sbin")};

QString tool(const QString &name)
{
    QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(name, SbinFolders) : found;
}

// The "printer": keeps what each connection delivered, once the sender has finished.
class NetworkPrinter : public QObject
{
public:
    NetworkPrinter()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *connection = m_server.nextPendingConnection()) {
                auto *data = new QByteArray;
                connect(connection, &QTcpSocket::readyRead, this,
                        [connection, data] { *data += connection->readAll(); });
                // The sender waits for the printer to hang up before it reports the job done.
                connect(connection, &QTcpSocket::readChannelFinished, this,
                        [this, connection, data] {
                            *data += connection->readAll();
                            jobs << *data;
                            delete data;
                            connection->disconnectFromHost();
                            connection->deleteLater();
                        });
            }
        });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    quint16 port() const { return m_server.serverPort(); }

    QList<QByteArray> jobs;

private:
    QTcpServer m_server;
};

} // namespace

class CupsPrintingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void theManagerPrintsOneJobPerEmployeeWithEvents();

private:
    QString startScheduler();
    QString runClient(const QString &name, const QStringList &arguments, QString *output = nullptr);
    int jobsSent();
    QString schedulerLog() const;
    QStringList pagesOfJob(int job);

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    NetworkPrinter m_device;
};

void CupsPrintingTest::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    if (tool(QStringLiteral("cupsd")).isEmpty() || tool(QStringLiteral("lpadmin")).isEmpty() ||
        tool(QStringLiteral("lpstat")).isEmpty())
        QSKIP("CUPS is not installed here (cupsd from the package cups, lpadmin and lpstat from "
              "cups-client)");
    if (!canReadPdf())
        QSKIP("pdftotext (poppler-utils) is needed to read the printed cards back");
    QVERIFY(m_dir.isValid());
    QVERIFY(m_device.listen());
    const QString why = startScheduler();
    if (!why.isEmpty())
        QSKIP(qPrintable(why));

    // From here on the program knows only this scheduler, before anything asked another.
    qputenv("CUPS_SERVER", QFile::encodeName(m_dir.filePath(QStringLiteral("cups.sock"))));
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    const QPrinterInfo found = QPrinterInfo::defaultPrinter();
    if (found.isNull())
        QSKIP("Qt finds no default printer through CUPS: is Qt's CUPS print support plugin "
              "(libcupsprintersupport) installed?");
    if (found.printerName() != Queue)
        QSKIP(qPrintable(QStringLiteral("Qt's default printer is %1, not the test's %2: a "
                                        "personal lpoptions file overrides the scheduler's "
                                        "default")
                             .arg(found.printerName(), Queue)));
}

QString CupsPrintingTest::startScheduler()
{
    const QDir dir(m_dir.path());
    for (const char *folder : {"etc", "spool", "cache", "state", "tmp", "log"})
        dir.mkpath(QLatin1String(folder));
    // The scheduler's own user has to reach the spool folders below the test's folder.
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                            QFile::ExeOther);

    // cupsd refuses to run print jobs as root: run them as lp when the test runs as root, as
    // the test's own user otherwise.
    const QFileInfo owner(m_dir.path());
    const bool root = owner.ownerId() == 0;
    const QString user = root ? QStringLiteral("lp") : owner.owner();
    const QString group = root ? QStringLiteral("lp") : owner.group();
    const QString files = dir.filePath(QStringLiteral("etc/cups-files.conf"));
    QFile filesConf(files);
    if (!filesConf.open(QIODevice::WriteOnly | QIODevice::Text))
        return QStringLiteral("cannot write %1").arg(files);
    filesConf.write(QStringLiteral("User %1\n"
                                   "Group %2\n"
                                   "SystemGroup %3\n"
                                   "ServerRoot %4/etc\n"
                                   "RequestRoot %4/spool\n"
                                   "CacheDir %4/cache\n"
                                   "StateDir %4/state\n"
                                   "TempDir %4/tmp\n"
                                   "Printcap %4/printcap\n"
                                   "AccessLog %4/log/access_log\n"
                                   "ErrorLog %4/log/error_log\n"
                                   "PageLog %4/log/page_log\n")
                        .arg(user, group, root ? QStringLiteral("root") : group, m_dir.path())
                        .toUtf8());
    filesConf.close();

    const QString conf = dir.filePath(QStringLiteral("etc/cupsd.conf"));
    QFile cupsdConf(conf);
    if (!cupsdConf.open(QIODevice::WriteOnly | QIODevice::Text))
        return QStringLiteral("cannot write %1").arg(conf);
    cupsdConf.write(QStringLiteral("Listen %1/cups.sock\n"
                                   "LogLevel info\n"
                                   "Browsing No\n"
                                   "WebInterface No\n"
                                   "<Location />\n"
                                   "  Order allow,deny\n"
                                   "  Allow all\n"
                                   "</Location>\n"
                                   "<Policy default>\n"
                                   "  <Limit All>\n"
                                   "    Order deny,allow\n"
                                   "  </Limit>\n"
                                   "</Policy>\n")
                        .arg(m_dir.path())
                        .toUtf8());
    cupsdConf.close();

    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.setStandardOutputFile(dir.filePath(QStringLiteral("log/cupsd.out")));
    m_cupsd.start(tool(QStringLiteral("cupsd")),
                  {QStringLiteral("-f"), QStringLiteral("-c"), conf, QStringLiteral("-s"), files});
    if (!m_cupsd.waitForStarted(10000))
        return QStringLiteral("cupsd did not start: %1").arg(m_cupsd.errorString());

    // Up as soon as it answers on its socket.
    QString answer;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (m_cupsd.state() != QProcess::Running)
            return QStringLiteral("cupsd stopped at once:\n%1").arg(schedulerLog());
        answer = runClient(QStringLiteral("lpstat"), {QStringLiteral("-r")});
        if (answer.isEmpty())
            break;
        QTest::qWait(100);
    }
    if (!answer.isEmpty())
        return QStringLiteral("cupsd does not answer: %1\n%2").arg(answer, schedulerLog());

    answer = runClient(QStringLiteral("lpadmin"),
                       {QStringLiteral("-p"), Queue, QStringLiteral("-E"), QStringLiteral("-v"),
                        QStringLiteral("socket://127.0.0.1:%1").arg(m_device.port()),
                        QStringLiteral("-m"), QStringLiteral("raw")});
    if (answer.isEmpty())
        answer = runClient(QStringLiteral("lpadmin"), {QStringLiteral("-d"), Queue});
    if (!answer.isEmpty())
        return QStringLiteral("this CUPS does not set up a raw network queue: %1").arg(answer);
    return {};
}

// Runs a CUPS client against the test's scheduler; empty when it succeeded, else what it said.
QString CupsPrintingTest::runClient(const QString &name, const QStringList &arguments,
                                    QString *output)
{
    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CUPS_SERVER"), m_dir.filePath(QStringLiteral("cups.sock")));
    client.setProcessEnvironment(environment);
    client.setProcessChannelMode(QProcess::MergedChannels);
    client.start(tool(name), arguments);
    if (!client.waitForFinished(30000))
        return QStringLiteral("%1 did not finish").arg(name);
    const QString said = QString::fromLocal8Bit(client.readAll()).trimmed();
    if (output)
        *output = said;
    if (client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0)
        return {};
    return said.isEmpty() ? QStringLiteral("%1 failed").arg(name) : said;
}

// Every job the queue was ever given, done or not.
int CupsPrintingTest::jobsSent()
{
    QString list;
    const QString failure = runClient(
        QStringLiteral("lpstat"),
        {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), Queue}, &list);
    if (!failure.isEmpty())
        qWarning() << failure;
    return int(list.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size());
}

QString CupsPrintingTest::schedulerLog() const
{
    QString log;
    for (const char *name : {"log/cupsd.out", "log/error_log"}) {
        QFile file(m_dir.filePath(QLatin1String(name)));
        if (file.open(QIODevice::ReadOnly))
            log += QString::fromLocal8Bit(file.readAll().right(4000));
    }
    return log;
}

void CupsPrintingTest::cleanupTestCase()
{
    if (m_cupsd.state() == QProcess::NotRunning)
        return;
    m_cupsd.terminate();
    if (!m_cupsd.waitForFinished(10000))
        m_cupsd.kill();
    m_cupsd.waitForFinished(10000);
}

// The text of a job that came out of the printer, all pages.
QStringList CupsPrintingTest::pagesOfJob(int job)
{
    const QString file = m_dir.filePath(QStringLiteral("job%1.pdf").arg(job));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return {};
    out.write(m_device.jobs.value(job));
    out.close();
    QStringList lines;
    for (const QStringList &page : pdfPages(file))
        lines << page;
    return lines;
}

void CupsPrintingTest::theManagerPrintsOneJobPerEmployeeWithEvents()
{
    Fixture f;
    f.company();
    f.setPassword(QStringLiteral("Manager"), QStringLiteral("boss"));
    f.employee(Ann);
    f.employee(QStringLiteral("Cy"));
    f.employee(Bob);
    f.event(Ann,
            {.stamp = "2026-03-02 08:00:30", .status = "Clocked In", .activity = "Sorting bolts"});
    f.event(Ann, "2026-03-02 16:25:10", "Clocked Out");
    f.event(Ann, "2026-03-02 16:30:00", "Clocked In");
    f.event(Ann, "2026-03-02 17:00:00", "Clocked Out");
    f.event(Bob, {.stamp = "2026-03-02 09:00:30", .status = "Clocked In", .activity = " "});
    f.startProgram();
    f.signOn(QStringLiteral("Manager"), QStringLiteral("boss"));
    // The real printer, but one that can never open a save dialog in a test.
    bool askedForAFile = false;
    const Replacement printing(setPrinter, std::make_unique<SystemPrinter>([&](const QString &) {
                                   askedForAFile = true;
                                   return QString();
                               }));
    f.prompts.answers = {Button::Yes, Button::Yes};
    f.click(QStringLiteral("Command3"));

    QVERIFY(!askedForAFile);
    // Manager and Cy have empty logs: two jobs, in list order.
    QCOMPARE(jobsSent(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(m_device.jobs.size(), 2, 90000);
    const QDateTime ending = readDateTime(f.prompts.inputs.value(0).preset).value();
    const QStringList names = {Ann, Bob};
    for (int job = 0; job < 2; ++job) {
        QVERIFY(m_device.jobs[job].startsWith("%PDF"));
        const TimeCard card =
            managerCard(QStringLiteral("Acme Tools"), names[job],
                        readTimeLogRows(f.file(), names[job]), ending, f.clock.current);
        QCOMPARE(pagesOfJob(job), cardText(card));
    }
    QCOMPARE(pagesOfJob(0).last(), QStringLiteral("Ann has a total of 8.9 hours"));
    QCOMPARE(f.prompts.boxes.size(), 2);
}

QTEST_MAIN(CupsPrintingTest)
#include "test_cupsprinting.moc"
