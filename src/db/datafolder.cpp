#include "datafolder.h"

#include "db/database.h"
#include "db/dberror.h"
#include "db/newfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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

// The file takes the folder's read and write permissions: the user's alone in the user's own
// folder, the group's too in a folder of a group. It is written as any new file is, so it
// never lands over a file or a link, also not over one made at this very moment.
void provideFreshFile(const QString &folder)
{
    const QString database = QDir(folder).filePath(EmployeeMdb);
    if (entryAt(database) != Entry::None)
        return;
    NewFile fresh(database);
    if (!fresh.open(QIODevice::WriteOnly)) {
        if (entryAt(database) == Entry::None)
            fail(fresh.errorString());
        return;
    }
    writeFreshDatabase(fresh.temporaryName());
    if (!QFile::setPermissions(fresh.temporaryName(), QFile::permissions(folder) & ReadWrite))
        fail(QStringLiteral("Could not set the permissions of ") + quoted(fresh.temporaryName()) +
             QStringLiteral("."));
    // Another copy that gave the folder its file at the same moment has done the same.
    if (!fresh.commit() && entryAt(database) == Entry::None)
        fail(fresh.errorString());
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
