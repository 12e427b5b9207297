#include "db/datetimetext.h"
#include "db/sqlite.h"
#include "payday/backup.h"
#include "support/datafixture.h"

#include <QDir>
#include <QProcess>
#include <QTest>

using namespace horalink;

namespace {

const QString Ann = QStringLiteral("Ann");

using Tables = QMap<QString, QList<QVariantList>>;

// Every table of the file with its rows in stored order.
Tables tablesOf(Connection &file)
{
    Tables tables;
    Statement names(file, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    while (names.step()) {
        const QString name = names.value(0).toString();
        Statement rows(file, QStringLiteral("SELECT * FROM ") + quoteIdentifier(name) +
                                 QStringLiteral(" ORDER BY rowid"));
        QList<QVariantList> &table = tables[name];
        while (rows.step()) {
            QVariantList row;
            for (int column = 0; column < rows.columnCount(); ++column)
                row << rows.value(column);
            table << row;
        }
    }
    return tables;
}

Tables tablesOf(const QString &path)
{
    return tablesOf(*SqliteConnection::openExisting(path));
}

// A log long enough that a backup takes several steps.
void bulkLog(DataFixture &f, const QString &name, int events)
{
    f.employee(name);
    Transaction transaction(f.file());
    Statement insert(f.file(), QStringLiteral("INSERT INTO ") + quoteIdentifier(name) +
                                   QStringLiteral(" VALUES (?1, ?2, ?3, ?4)"));
    QDateTime when = stamp(QStringLiteral("2020-01-01 08:00:00"));
    for (int event = 0; event < events; ++event) {
        const bool in = event % 2 == 0;
        insert.bind(1, name)
            .bind(2, storedStamp(when))
            .bind(3, in ? QStringLiteral("Clocked In") : QStringLiteral("Clocked Out"))
            .bind(4, in ? QVariant(QStringLiteral("bench %1").arg(event)) : QVariant());
        insert.run();
        insert.reset();
        when = when.addSecs(in ? 8 * 3600 : 16 * 3600);
    }
    transaction.commit();
}

QString backupFolder(DataFixture &f)
{
    QDir(f.folder()).mkdir(QStringLiteral("backups"));
    return QDir(f.folder()).filePath(QStringLiteral("backups"));
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class BackupTest : public QObject
{
    Q_OBJECT

private slots:
    void aBackupWaitsForAWriterAndCopiesEveryTable_data();
    void aBackupWaitsForAWriterAndCopiesEveryTable();
    void nothingIsLeftWhenABackupMayNotOrCannotFinish_data();
    void nothingIsLeftWhenABackupMayNotOrCannotFinish();
    void backupsWhileAnotherCopyOfTheProgramClocks();
};

void BackupTest::aBackupWaitsForAWriterAndCopiesEveryTable_data()
{
    QTest::addColumn<QString>("lock");
    QTest::addColumn<bool>("waits");
    // A reserved lock lets readers on: the copy holds what was committed before it.
    QTest::newRow("write transaction begun") << "IMMEDIATE" << false;
    // The lock a writer holds while it commits keeps every reader out until it lets go.
    QTest::newRow("write transaction committing") << "EXCLUSIVE" << true;
}

void BackupTest::aBackupWaitsForAWriterAndCopiesEveryTable()
{
    QFETCH(QString, lock);
    QFETCH(bool, waits);
    DataFixture f;
    f.company();
    bulkLog(f, Ann, 20000);
    bulkLog(f, QStringLiteral("a,\"\u00e9\n%1"), 10);
    const Tables before = tablesOf(f.file());
    auto writer = SqliteConnection::openExisting(f.databasePath());
    writer->exec(QStringLiteral("BEGIN ") + lock);
    Statement(*writer, QStringLiteral("INSERT INTO Ann (Ename, datetime, inoutfx) "
                                      "VALUES ('Ann', '2026-03-02 17:00:00', 'Clocked In')"))
        .run();
    bool waited = false;

    const WriteOutcome outcome =
        backupDatabase(f.file(), backupFolder(f), f.clock.current, [&](int copied, int) {
            if (copied == 0 && !waited) {
                waited = true;
                writer->exec(QStringLiteral("COMMIT"));
            }
            return true;
        });

    QCOMPARE(outcome.result, WriteOutcome::Result::Written);
    const QString copy = QDir(backupFolder(f)).filePath("Employee 2026-03-02 173010.mdb");
    QCOMPARE(outcome.files, QStringList{copy});
    QCOMPARE(filesIn(backupFolder(f)), QStringList{"Employee 2026-03-02 173010.mdb"});
    QCOMPARE(waited, waits);
    if (!waits)
        writer->exec(QStringLiteral("ROLLBACK"));
    const Tables copied = tablesOf(copy);
    QCOMPARE(copied.keys(), tablesOf(f.file()).keys());
    for (const QString &table : copied.keys())
        QVERIFY2(copied[table] == tablesOf(f.file())[table], qPrintable(table));
    QCOMPARE(copied[Ann].size(), before[Ann].size() + int(waits));
}

void BackupTest::nothingIsLeftWhenABackupMayNotOrCannotFinish_data()
{
    QTest::addColumn<QString>("why");
    QTest::newRow("the name is taken") << "taken";
    QTest::newRow("cancelled while the file is locked") << "cancelled";
    QTest::newRow("no such folder") << "missing";
}

void BackupTest::nothingIsLeftWhenABackupMayNotOrCannotFinish()
{
    QFETCH(QString, why);
    DataFixture f;
    f.employee(Ann);
    QString folder = backupFolder(f);
    QFile taken(QDir(folder).filePath("Employee 2026-03-02 173010.mdb"));
    if (why == QLatin1String("taken")) {
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.write("yesterday's copy");
        taken.close();
    }
    if (why == QLatin1String("missing"))
        folder += QStringLiteral("/none");
    auto writer = SqliteConnection::openExisting(f.databasePath());
    writer->exec(QStringLiteral("BEGIN EXCLUSIVE"));
    const QStringList files = filesIn(backupFolder(f));

    const WriteOutcome outcome =
        backupDatabase(f.file(), folder, f.clock.current, [](int, int) { return false; });

    QCOMPARE(outcome.result, why == QLatin1String("cancelled") ? WriteOutcome::Result::Cancelled
                                                               : WriteOutcome::Result::Failed);
    QVERIFY(outcome.files.isEmpty());
    QCOMPARE(filesIn(backupFolder(f)), files);
    if (why == QLatin1String("taken")) {
        QVERIFY(taken.open(QIODevice::ReadOnly));
        QCOMPARE(taken.readAll(), QByteArray("yesterday's copy"));
    }
}

void BackupTest::backupsWhileAnotherCopyOfTheProgramClocks()
{
    DataFixture f;
    f.company();
    f.setFlag(QStringLiteral("subs"), 1);
    f.employee(Ann);
    bulkLog(f, QStringLiteral("Bulk"), 40000);
    QProcess worker;
    worker.start(QStringLiteral(CLOCKWORKER), {f.folder(), QStringLiteral("2027-01-01 06:00:00")});
    QVERIFY(worker.waitForStarted());
    QVERIFY(worker.waitForReadyRead(10000));

    QStringList copies;
    for (int taken = 0; taken < 3; ++taken) {
        const WriteOutcome outcome =
            backupDatabase(f.file(), backupFolder(f), f.clock.current.addSecs(taken));
        QCOMPARE(outcome.result, WriteOutcome::Result::Written);
        copies << outcome.files;
    }
    worker.kill();
    worker.waitForFinished();

    QVERIFY2(worker.readAllStandardError().indexOf("BOX") < 0, "the worker was shown a box");
    const Tables now = tablesOf(f.file());
    QVERIFY(now[Ann].size() > 2);
    for (const QString &copy : copies) {
        Tables copied = tablesOf(copy);
        QCOMPARE(copied[Ann], now[Ann].mid(0, copied[Ann].size()));
        copied.remove(Ann);
        Tables rest = now;
        rest.remove(Ann);
        QVERIFY(copied == rest);
    }
}

QTEST_MAIN(BackupTest)
#include "test_backup.moc"
