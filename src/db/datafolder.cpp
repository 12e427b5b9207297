#include "datafolder.h"

#include "db/database.h"
#include "db/dberror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace horalink {

namespace {

#ifdef Q_OS_WIN
const QString UsersFolderName = QStringLiteral("Horalink");
#else
const QString UsersFolderName = QStringLiteral("horalink");
#endif

constexpr QFile::Permissions UserAlone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
constexpr QFile::Permissions ReadWrite = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                         QFile::WriteUser | QFile::ReadGroup | QFile::WriteGroup |
                                         QFile::ReadOther | QFile::WriteOther;

[[noreturn]] void fail(const QString &text)
{
    throw DbError(dberr::FileNotFound, text);
}

QString quoted(const QString &path)
{
    return QLatin1Char('\'') + QDir::toNativeSeparators(path) + QLatin1Char('\'');
}

// A folder that an earlier version made open to every account is closed again; a link the user
// put in its place leads where the user chose, and is left as it is.
void makeFolder(const DataFolder &folder)
{
    QDir dir(folder.path);
    if (!dir.exists()) {
        const QFileInfo info(folder.path);
        if (!QDir().mkpath(info.absolutePath()))
            fail(QStringLiteral("Could not make the folder ") + quoted(info.absolutePath()) +
                 QStringLiteral("."));
        const bool made =
            folder.usersOwn ? QDir().mkdir(folder.path, UserAlone) : QDir().mkdir(folder.path);
        if (!made && !dir.exists())
            fail(QStringLiteral("Could not make the folder ") + quoted(folder.path) +
                 QStringLiteral("."));
    }
    if (folder.usersOwn && !QFileInfo(folder.path).isSymLink() &&
        !QFile::setPermissions(folder.path, UserAlone))
        fail(QStringLiteral("Could not close the folder ") + quoted(folder.path) +
             QStringLiteral(" to other accounts."));
}

// Gives the file its name only when nothing has that name: never over a file or a link, also
// not over one made at this very moment. Empty when done, otherwise why not.
QString nameWithoutReplacing(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                    MOVEFILE_WRITE_THROUGH))
        return {};
    return QStringLiteral("error ") + QString::number(GetLastError());
#else
    const bool linked =
        ::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
    const QString error = linked ? QString() : QString::fromLocal8Bit(std::strerror(errno));
    QFile::remove(from);
    return error;
#endif
}

// The file takes the folder's read and write permissions: the user's alone in the user's own
// folder, the group's too in a folder of a group.
void provideFreshFile(const QString &folder)
{
    const QString database = QDir(folder).filePath(EmployeeMdb);
    if (QFileInfo::exists(database) || QFileInfo(database).isSymLink())
        return;
    // Named by SQLite itself: a QTemporaryFile keeps the file from being renamed on Windows.
    const QString staging =
        QDir(folder).filePath(QStringLiteral(".Employee.mdb.") +
                              QString::number(QRandomGenerator::global()->generate64(), 36));
    const auto leftOver = qScopeGuard([&staging] { QFile::remove(staging); });
    writeFreshDatabase(staging);
    if (!QFile::setPermissions(staging, QFile::permissions(folder) & ReadWrite))
        fail(QStringLiteral("Could not set the permissions of ") + quoted(staging) +
             QStringLiteral("."));
    // Another copy that gave the folder its file at the same moment has done the same.
    const QString error = nameWithoutReplacing(staging, database);
    if (!error.isEmpty() && !QFileInfo::exists(database))
        fail(QStringLiteral("Could not name the fresh ") + quoted(database) + QStringLiteral(": ") +
             error);
}

} // namespace

DataFolder dataFolder()
{
    const QString shared = qEnvironmentVariable(SharedFolderVariable);
    if (!shared.isEmpty())
        return {QDir::cleanPath(QDir(shared).absolutePath()), false};
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // A relative XDG_DATA_HOME is to be ignored, as an unset one is; Qt 6.4 takes it as it is.
    if (QDir::isRelativePath(data))
        data = QDir::home().filePath(QStringLiteral(".local/share"));
    return {QDir(data).absoluteFilePath(UsersFolderName), true};
}

void prepareDataFolder(const DataFolder &folder)
{
    makeFolder(folder);
    if (serverConnectionString().isEmpty())
        provideFreshFile(folder.path);
    if (folder.usersOwn) {
        const QString database = QDir(folder.path).filePath(EmployeeMdb);
        const QFileInfo info(database);
        if (info.isFile() && !info.isSymLink() &&
            !QFile::setPermissions(database, QFile::permissions(database) & UserAlone))
            fail(QStringLiteral("Could not close ") + quoted(database) +
                 QStringLiteral(" to other accounts."));
    }
}

} // namespace horalink
