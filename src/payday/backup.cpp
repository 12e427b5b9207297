#include "backup.h"

#include "db/dberror.h"
#include "db/filecopy.h"

#include <QDir>

namespace horalink {

namespace {

WriteOutcome failed(const QString &why)
{
    return {WriteOutcome::Result::Failed, {}, why};
}

WriteOutcome outcomeOf(const FileCopy &copied, const QString &target)
{
    switch (copied.result) {
    case FileCopy::Result::Whole:
        break;
    case FileCopy::Result::Cancelled:
        return {WriteOutcome::Result::Cancelled, {}, {}};
    case FileCopy::Result::StayedLocked:
        return failed(QStringLiteral("Another program kept Employee.mdb locked for a minute; "
                                     "nothing was copied."));
    case FileCopy::Result::Damaged:
        return failed(QStringLiteral("The copy failed its integrity check: ") +
                      copied.problems.join(QStringLiteral("; ")));
    }
    return {WriteOutcome::Result::Written, {target}, {}};
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

    FileCopy copied;
    try {
        copied = copyDatabaseToFile(connection, target, progress);
    } catch (const DbError &error) {
        // A folder that takes no file, a disk that fills up under the copy, or a server that
        // refuses: told, and the program goes on.
        return failed(error.description());
    }
    return outcomeOf(copied, target);
}

} // namespace horalink
