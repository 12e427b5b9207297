#include "filecopy.h"

#include "db/newfile.h"
#include "db/postgres.h"
#include "db/sqlite.h"
#include "db/transfer.h"

#include <limits>
#include <QElapsedTimer>
#include <sqlite3.h>

namespace horalink {

namespace {

// A step holds the file for reading; between steps another copy of the program may write.
constexpr int PagesPerStep = 256;
// How long one step waits for a lock before the caller hears of the wait.
constexpr int StepWaitMs = 50;
// A file held locked this long by someone else is no longer a brief write.
constexpr qint64 GiveUpAfterMs = 60000;
// A write by another copy of the program between two steps starts the copy again; after this
// many fresh starts the rest is copied in one step, and the writer waits for it.
constexpr int FreshStartsInSteps = 3;

// Waits briefly for locks while it lives, so that a Cancel or a lock let go is heard at once;
// the connection's usual wait comes back afterwards.
class ShortWait
{
public:
    explicit ShortWait(SqliteConnection &connection) : m_connection(connection)
    {
        sqlite3_busy_timeout(m_connection.handle(), StepWaitMs);
    }
    ~ShortWait() { sqlite3_busy_timeout(m_connection.handle(), BusyWaitMs); }
    ShortWait(const ShortWait &) = delete;
    ShortWait &operator=(const ShortWait &) = delete;

private:
    SqliteConnection &m_connection;
};

// Keeps count of how far a backup got, and of the times it had to start again.
class Steps
{
public:
    explicit Steps(sqlite3_backup *backup) : m_backup(backup) { m_sinceCopied.start(); }

    // Copies the next pages; false when there are none left or the step failed.
    bool next()
    {
        const int rc =
            sqlite3_backup_step(m_backup, m_freshStarts < FreshStartsInSteps ? PagesPerStep : -1);
        m_locked = rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
        // The connection's busy handler waits for the first lock only: SQLite counts its
        // waits afresh when a statement runs, never between the steps of a backup.
        if (m_locked)
            sqlite3_sleep(StepWaitMs);
        if (rc != SQLITE_OK)
            return m_locked;
        const int remaining = sqlite3_backup_remaining(m_backup);
        m_freshStarts += remaining > m_remaining;
        m_remaining = remaining;
        m_sinceCopied.restart();
        return true;
    }

    bool stayedLocked() const { return m_locked && m_sinceCopied.hasExpired(GiveUpAfterMs); }
    int copied() const { return total() - sqlite3_backup_remaining(m_backup); }
    int total() const { return sqlite3_backup_pagecount(m_backup); }

private:
    sqlite3_backup *m_backup;
    QElapsedTimer m_sinceCopied;
    bool m_locked = false;
    int m_freshStarts = 0;
    int m_remaining = std::numeric_limits<int>::max();
};

FileCopy::Result copyPages(SqliteConnection &source, SqliteConnection &copy,
                           const CopyProgress &progress)
{
    const ShortWait wait(source);
    sqlite3_backup *backup = sqlite3_backup_init(copy.handle(), "main", source.handle(), "main");
    if (!backup)
        copy.raise();
    Steps steps(backup);
    FileCopy::Result copied = FileCopy::Result::Whole;
    while (copied == FileCopy::Result::Whole && steps.next()) {
        if (steps.stayedLocked())
            copied = FileCopy::Result::StayedLocked;
        else if (progress && !progress(steps.copied(), steps.total()))
            copied = FileCopy::Result::Cancelled;
    }
    // Reports the first failure of any step, and the lock a copy stopped early was waiting for.
    const int finished = sqlite3_backup_finish(backup);
    if (finished != SQLITE_OK && finished != SQLITE_BUSY && finished != SQLITE_LOCKED)
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

// Copies the file's pages into a new file of this name, and checks the copy.
FileCopy copyFile(SqliteConnection &file, const QString &fileName, const CopyProgress &progress)
{
    FileCopy copied;
    writeDatabaseFile(fileName, [&](SqliteConnection &copy) {
        copied.result = copyPages(file, copy, progress);
        if (copied.result != FileCopy::Result::Whole)
            return false;
        copied.problems = integrityProblems(copy);
        if (!copied.problems.isEmpty())
            copied.result = FileCopy::Result::Damaged;
        return copied.result == FileCopy::Result::Whole;
    });
    return copied;
}

} // namespace

bool writeDatabaseFile(const QString &fileName,
                       const std::function<bool(SqliteConnection &copy)> &write)
{
    NewFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw DbError(entryAt(fileName) == Entry::None ? dberr::FileNotFound : dberr::FileExists,
                      file.errorString());
    {
        const auto copy = SqliteConnection::openNewFile(file.temporaryName());
        if (!write(*copy))
            return false;
    }
    // Never over an existing file, even one that appeared while the copy was written.
    if (!file.commit())
        throw DbError(dberr::FileExists, file.errorString());
    return true;
}

FileCopy copyDatabaseToFile(Connection &connection, const QString &fileName,
                            const CopyProgress &progress)
{
    if (auto *server = dynamic_cast<PgConnection *>(&connection))
        return {copyServerToFile(*server, fileName, progress) ? FileCopy::Result::Whole
                                                              : FileCopy::Result::Cancelled};
    if (auto *file = dynamic_cast<SqliteConnection *>(&connection))
        return copyFile(*file, fileName, progress);
    throw DbError(dberr::ServerRefused,
                  QStringLiteral("Only Employee.mdb can be backed up this way."));
}

} // namespace horalink
