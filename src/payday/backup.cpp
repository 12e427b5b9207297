#include "backup.h"

#include "db/sqlite.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryFile>
#include <sqlite3.h>

namespace horalink {

namespace {

// A step holds the file for reading; between steps another copy of the program may write.
constexpr int PagesPerStep = 256;
// How long one step waits for a lock before the caller hears of the wait.
constexpr int StepWaitMs = 50;
// A file held locked this long by someone else is no longer a brief write.
constexpr qint64 GiveUpAfterMs = 60000;

WriteOutcome failed(const QString &why)
{
    return {WriteOutcome::Result::Failed, {}, why};
}

// Waits briefly for locks while it lives, so that a Cancel or a lock let go is heard at once;
// the connection's usual wait comes back afterwards.
class ShortWait
{
public:
    explicit ShortWait(Connection &connection) : m_connection(connection)
    {
        sqlite3_busy_timeout(m_connection.handle(), StepWaitMs);
    }
    ~ShortWait() { sqlite3_busy_timeout(m_connection.handle(), BusyWaitMs); }
    ShortWait(const ShortWait &) = delete;
    ShortWait &operator=(const ShortWait &) = delete;

private:
    Connection &m_connection;
};

enum class Copied
{
    Whole,
    Cancelled,
    StayedLocked,
};

Copied copyPages(Connection &source, Connection &copy, const PageProgress &progress)
{
    const ShortWait wait(source);
    sqlite3_backup *backup = sqlite3_backup_init(copy.handle(), "main", source.handle(), "main");
    if (!backup)
        copy.raise();
    QElapsedTimer sinceLastStep;
    sinceLastStep.start();
    Copied copied = Copied::Whole;
    for (;;) {
        const int rc = sqlite3_backup_step(backup, PagesPerStep);
        const bool locked = rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
        if (rc != SQLITE_OK && !locked)
            break;
        if (!locked)
            sinceLastStep.restart();
        else if (sinceLastStep.hasExpired(GiveUpAfterMs))
            copied = Copied::StayedLocked;
        const int total = sqlite3_backup_pagecount(backup);
        if (copied == Copied::Whole && progress &&
            !progress(total - sqlite3_backup_remaining(backup), total))
            copied = Copied::Cancelled;
        if (copied != Copied::Whole)
            break;
    }
    // Reports the first failure of any step; done and stopped early both finish cleanly.
    if (sqlite3_backup_finish(backup) != SQLITE_OK)
        copy.raise();
    return copied;
}

QStringList integrityProblems(Connection &copy)
{
    Statement check(copy, QStringLiteral("PRAGMA integrity_check"));
    QStringList problems;
    while (check.step())
        problems << check.value(0).toString();
    return problems == QStringList{QStringLiteral("ok")} ? QStringList() : problems;
}

} // namespace

QString backupFileName(const QDateTime &now)
{
    return QStringLiteral("Employee ") + now.toString(QStringLiteral("yyyy-MM-dd HHmmss")) +
           QStringLiteral(".mdb");
}

WriteOutcome backupDatabase(Connection &connection, const QString &folder, const QDateTime &now,
                            const PageProgress &progress)
{
    const QDir dir(folder);
    const QString target = dir.filePath(backupFileName(now));
    if (!dir.exists())
        return failed(
            QStringLiteral("There is no folder %1.").arg(QDir::toNativeSeparators(folder)));
    if (QFileInfo::exists(target))
        return failed(QStringLiteral("%1 is already there; a backup never replaces a file.")
                          .arg(QDir::toNativeSeparators(target)));

    // The name stays reserved, and goes with everything written under it unless the copy is
    // renamed.
    QTemporaryFile partial(dir.filePath(QStringLiteral("Employee XXXXXX.part")));
    if (!partial.open())
        return failed(QStringLiteral("Could not write in %1: %2")
                          .arg(QDir::toNativeSeparators(folder), partial.errorString()));
    partial.close();
    {
        const auto copy = Connection::openExisting(partial.fileName());
        switch (copyPages(connection, *copy, progress)) {
        case Copied::Whole:
            break;
        case Copied::Cancelled:
            return {WriteOutcome::Result::Cancelled, {}, {}};
        case Copied::StayedLocked:
            return failed(QStringLiteral("Another program kept Employee.mdb locked for a minute; "
                                         "nothing was copied."));
        }
        const QStringList problems = integrityProblems(*copy);
        if (!problems.isEmpty())
            return failed(QStringLiteral("The copy failed its integrity check: ") +
                          problems.join(QStringLiteral("; ")));
    }
    // Never over an existing file, even one that appeared while the copy was written.
    if (!QFile::rename(partial.fileName(), target))
        return failed(
            QStringLiteral("Could not name the copy %1.").arg(QDir::toNativeSeparators(target)));
    return {WriteOutcome::Result::Written, {target}, {}};
}

} // namespace horalink
