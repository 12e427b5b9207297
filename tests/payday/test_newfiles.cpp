// The files pay day makes (the export's two, and the backup, which on the server is the dump's
// file) are new files: never written through a link someone put at their name, never over a
// file, never left half written by a full disk and reported as done.
#include "db/connection.h"
#include "db/datetimetext.h"
#include "filetraps.h"
#include "payday/backup.h"
#include "payday/changes.h"
#include "payday/digest.h"
#include "payday/export.h"
#include "support/datafixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace horalink;

namespace {

enum class Writer
{
    Summary,
    Events,
    Digests,
    Backup,
};

const QString Ann = QStringLiteral("Ann");

Period february()
{
    return {stamp(QStringLiteral("2026-02-01 00:00:00")),
            stamp(QStringLiteral("2026-03-01 00:00:00"))};
}

// A log whose events.csv and backup are far longer than the summary.
void longLog(DataFixture &f)
{
    f.employee(Ann, {.wage = QStringLiteral("7.5")});
    Transaction transaction(f.file());
    QDateTime when = stamp(QStringLiteral("2026-02-01 08:00:00"));
    for (int day = 0; day < 1000; ++day) {
        f.event(Ann, {.stamp = storedStamp(when),
                      .status = QStringLiteral("Clocked In"),
                      .activity = QStringLiteral("sorting bolts, crate %1").arg(day)});
        f.event(Ann, storedStamp(when.addSecs(1800)), QStringLiteral("Clocked Out"));
        when = when.addSecs(2400);
    }
    transaction.commit();
}

QString targetName(Writer writer, const DataFixture &f)
{
    switch (writer) {
    case Writer::Summary:
        return SummaryCsv;
    case Writer::Events:
        return EventsCsv;
    case Writer::Digests:
        return DigestsFile;
    case Writer::Backup:
        break;
    }
    return backupFileName(f.clock.current);
}

WriteOutcome write(Writer writer, DataFixture &f, const QString &folder,
                   NewFile::Existing existing = NewFile::Existing::Refused)
{
    if (writer == Writer::Backup)
        return backupDatabase(f.file(), folder, f.clock.current);
    return exportPeriod(f.file(), february(), f.clock.current, folder, QLocale(), {}, existing);
}

// The export's two files, or the backup alone.
QStringList namesWritten(Writer writer, const DataFixture &f)
{
    return writer == Writer::Backup ? QStringList{targetName(writer, f)}
                                    : QStringList{ChangesCsv, DigestsFile, EventsCsv, SummaryCsv};
}

// A row for each trap at each writer's name.
void addTrapRows(std::initializer_list<std::pair<const char *, Writer>> writers)
{
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<Trap>("trap");
    for (const auto &[name, trap] : {std::pair{"link", Trap::Link},
                                     {"dangling link", Trap::DanglingLink},
                                     {"earlier file", Trap::EarlierFile}}) {
        for (const auto &[file, writer] : writers)
            QTest::newRow((QByteArray(file) + ", " + name).constData()) << writer << trap;
    }
}

} // namespace

class NewFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void aTrapAtTheNameIsRefusedAndLeftAsItWas_data();
    void aTrapAtTheNameIsRefusedAndLeftAsItWas();
    void anAgreedExportReplacesFilesButNeverALink_data();
    void anAgreedExportReplacesFilesButNeverALink();
    void aFullDiskFailsAndLeavesNothing_data();
    void aFullDiskFailsAndLeavesNothing();
    void theFilesAreWrittenIntoAFolderMadeForThemAndAreTheOwnersAlone_data();
    void theFilesAreWrittenIntoAFolderMadeForThemAndAreTheOwnersAlone();
};

void NewFilesTest::aTrapAtTheNameIsRefusedAndLeftAsItWas_data()
{
    addTrapRows({{"summary.csv", Writer::Summary},
                 {"events.csv", Writer::Events},
                 {"digests.json", Writer::Digests},
                 {"backup", Writer::Backup}});
}

void NewFilesTest::aTrapAtTheNameIsRefusedAndLeftAsItWas()
{
    QFETCH(Writer, writer);
    QFETCH(Trap, trap);
    DataFixture f;
    longLog(f);
    QTemporaryDir out;
    QTemporaryDir elsewhere;
    SKIP_UNLESS_SETTABLE(trap);
    setTrap(trap, out.filePath(targetName(writer, f)), elsewhere.path());
    const auto folderBefore = entriesOf(out.path());
    const auto elsewhereBefore = entriesOf(elsewhere.path());

    const WriteOutcome outcome = write(writer, f, out.path());

    QCOMPARE(outcome.result, WriteOutcome::Result::Failed);
    QVERIFY(outcome.files.isEmpty());
    QVERIFY2(outcome.failure.contains(targetName(writer, f)), qPrintable(outcome.failure));
    QCOMPARE(entriesOf(out.path()), folderBefore);
    QCOMPARE(entriesOf(elsewhere.path()), elsewhereBefore);
}

void NewFilesTest::anAgreedExportReplacesFilesButNeverALink_data()
{
    addTrapRows({{"summary.csv", Writer::Summary},
                 {"events.csv", Writer::Events},
                 {"digests.json", Writer::Digests}});
}

void NewFilesTest::anAgreedExportReplacesFilesButNeverALink()
{
    QFETCH(Writer, writer);
    QFETCH(Trap, trap);
    DataFixture f;
    longLog(f);
    QTemporaryDir out;
    QTemporaryDir elsewhere;
    const QString target = out.filePath(targetName(writer, f));
    SKIP_UNLESS_SETTABLE(trap);
    setTrap(trap, target, elsewhere.path());
    const auto folderBefore = entriesOf(out.path());
    const auto elsewhereBefore = entriesOf(elsewhere.path());

    const WriteOutcome outcome =
        write(writer, f, out.path(), NewFile::Existing::RegularFileReplaced);

    QCOMPARE(entriesOf(elsewhere.path()), elsewhereBefore);
    if (trap != Trap::EarlierFile) {
        QCOMPARE(outcome.result, WriteOutcome::Result::Failed);
        QVERIFY2(outcome.failure.contains(QStringLiteral("link")), qPrintable(outcome.failure));
        QCOMPARE(entriesOf(out.path()), folderBefore);
        return;
    }
    QCOMPARE(outcome.result, WriteOutcome::Result::Written);
    QCOMPARE(QDir(out.path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
             namesWritten(writer, f));
    QFile replaced(target);
    QVERIFY(replaced.open(QIODevice::ReadOnly));
    QVERIFY(replaced.readAll().startsWith(writer == Writer::Digests ? "{" : "\xEF\xBB\xBFName,"));
}

void NewFilesTest::aFullDiskFailsAndLeavesNothing_data()
{
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<qint64>("limit");
    // The summary fits, the events do not: neither file may take its name.
    QTest::newRow("events.csv") << Writer::Events << qint64(16384);
    QTest::newRow("summary.csv") << Writer::Summary << qint64(100);
    QTest::newRow("backup") << Writer::Backup << qint64(16384);
}

void NewFilesTest::aFullDiskFailsAndLeavesNothing()
{
    QFETCH(Writer, writer);
    QFETCH(qint64, limit);
    if (!FileSizeLimit::available())
        QSKIP("Needs a file size limit for processes.");
    DataFixture f;
    longLog(f);
    QTemporaryDir out;
    WriteOutcome outcome;
    {
        const FileSizeLimit full(limit);
        outcome = write(writer, f, out.path());
    }
    QCOMPARE(outcome.result, WriteOutcome::Result::Failed);
    QVERIFY(outcome.files.isEmpty());
    QVERIFY(!outcome.failure.isEmpty());
    QCOMPARE(entriesOf(out.path()), (QMap<QString, QString>()));
}

void NewFilesTest::theFilesAreWrittenIntoAFolderMadeForThemAndAreTheOwnersAlone_data()
{
    QTest::addColumn<Writer>("writer");
    QTest::newRow("export") << Writer::Summary;
    QTest::newRow("backup") << Writer::Backup;
}

void NewFilesTest::theFilesAreWrittenIntoAFolderMadeForThemAndAreTheOwnersAlone()
{
    QFETCH(Writer, writer);
    DataFixture f;
    longLog(f);
    QTemporaryDir out;
    // A backup goes where the Manager keeps them; an export's folder may be new for each period.
    const QString folder =
        writer == Writer::Backup ? out.path() : out.filePath(QStringLiteral("2026/february"));

    const WriteOutcome outcome = write(writer, f, folder);

    QCOMPARE(outcome.result, WriteOutcome::Result::Written);
    QCOMPARE(
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
        namesWritten(writer, f));
    // Windows keeps who may read a file in its access list, which permissions() does not read.
#ifndef Q_OS_WIN
    for (const QString &file : outcome.files) {
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ReadOther | QFileDevice::WriteOther;
        QCOMPARE(QFileInfo(file).permissions() & others, QFileDevice::Permissions());
    }
#endif
}

QTEST_MAIN(NewFilesTest)
#include "test_newfiles.moc"
