#include "newfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace horalink {

namespace {

// Names tried before the folder is taken to refuse new files for another reason.
constexpr int TemporaryNameTries = 16;

QString temporaryNameFor(const QString &fileName)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 8; ++i)
        suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(36)]);
    return fileName + QLatin1Char('.') + suffix + QStringLiteral(".part");
}

bool syncToDisk(QFile &file)
{
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

// A rename reaches the disk with its folder: until then a crash may leave the old name.
// Windows writes the move through itself (MOVEFILE_WRITE_THROUGH).
bool syncFolderOf(const QString &fileName)
{
#ifdef Q_OS_WIN
    Q_UNUSED(fileName)
    return true;
#else
    const QByteArray folder = QFile::encodeName(QFileInfo(fileName).absolutePath());
    const int handle = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return false;
    const bool synced = ::fsync(handle) == 0;
    const int why = errno;
    ::close(handle);
    errno = why;
    return synced;
#endif
}

#ifdef Q_OS_WIN
const wchar_t *nativePath(const QString &path)
{
    return reinterpret_cast<const wchar_t *>(path.utf16());
}

// Windows refuses to move an open file; without MOVEFILE_COPY_ALLOWED it never copies.
bool moveFile(const QString &from, const QString &to, bool replace)
{
    const QString nativeFrom = QDir::toNativeSeparators(from);
    const QString nativeTo = QDir::toNativeSeparators(to);
    return MoveFileExW(nativePath(nativeFrom), nativePath(nativeTo),
                       MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0));
}
#else
bool linkWithoutReplacing(const QByteArray &from, const QByteArray &to)
{
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    if (::unlink(from.constData()) == 0)
        return true;
    // Told as a failure, the file must not stay under its name either.
    const int why = errno;
    ::unlink(to.constData());
    errno = why;
    return false;
}

bool moveFile(const QString &from, const QString &to, bool replace)
{
    const QByteArray nativeFrom = QFile::encodeName(from);
    const QByteArray nativeTo = QFile::encodeName(to);
    if (replace)
        return ::rename(nativeFrom.constData(), nativeTo.constData()) == 0;
#ifdef Q_OS_LINUX
    if (::renameat2(AT_FDCWD, nativeFrom.constData(), AT_FDCWD, nativeTo.constData(),
                    RENAME_NOREPLACE) == 0)
        return true;
    // A file system without the flag still has hard links.
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    return linkWithoutReplacing(nativeFrom, nativeTo);
}
#endif

} // namespace

Entry entryAt(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction())
        return Entry::Other;
    if (!info.exists())
        return Entry::None;
    return info.isFile() ? Entry::RegularFile : Entry::Other;
}

NewFile::NewFile(QString fileName, Existing existing)
    : m_fileName(std::move(fileName)), m_existing(existing)
{}

NewFile::~NewFile()
{
    discard();
}

bool NewFile::open(OpenMode mode)
{
    Q_ASSERT(mode == QIODevice::WriteOnly);
    if (isOpen())
        return false;
    if (!nameIsFree() || !createTemporary()) {
        discard();
        return false;
    }
    m_failed = false;
    m_finished = false;
    return QIODevice::open(mode | QIODevice::Unbuffered);
}

void NewFile::close()
{
    discard();
}

bool NewFile::finish()
{
    if (m_finished)
        return !m_failed;
    m_finished = true;
    if (m_failed)
        return false;
    if (!m_temporary.flush())
        return fail(m_temporary.errorString());
    if (!syncToDisk(m_temporary))
        return fail(qt_error_string());
    m_temporary.close();
    if (m_temporary.error() != QFileDevice::NoError)
        return fail(m_temporary.errorString());
    return true;
}

bool NewFile::commit()
{
    if (!isOpen() || !finish() || !nameIsFree() || !giveName()) {
        discard();
        return false;
    }
    m_temporary.setFileName(QString());
    QIODevice::close();
    return true;
}

bool NewFile::giveName()
{
    if (!moveFile(m_temporary.fileName(), m_fileName, m_existing == Existing::RegularFileReplaced))
        return fail(qt_error_string());
    if (!syncFolderOf(m_fileName))
        return fail(QStringLiteral("its name was not synced to the disk: ") + qt_error_string());
    return true;
}

qint64 NewFile::readData(char *, qint64)
{
    return -1;
}

qint64 NewFile::writeData(const char *data, qint64 size)
{
    if (m_failed || m_finished)
        return -1;
    // A write cut short by a full disk or the size limit says why only when it is tried
    // again.
    for (qint64 done = 0; done < size;) {
        const qint64 wrote = m_temporary.write(data + done, size - done);
        if (wrote <= 0) {
            fail(m_temporary.errorString());
            return -1;
        }
        done += wrote;
    }
    return size;
}

bool NewFile::fail(const QString &why)
{
    m_failed = true;
    setErrorString(QStringLiteral("Could not write ") + QDir::toNativeSeparators(m_fileName) +
                   QStringLiteral(": ") + why);
    return false;
}

bool NewFile::createTemporary()
{
    for (int i = 0; i < TemporaryNameTries; ++i) {
        m_temporary.setFileName(temporaryNameFor(m_fileName));
        // NewOnly creates the file exclusively, which never follows a link at the name.
        if (m_temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                             QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            return true;
        if (entryAt(m_temporary.fileName()) == Entry::None)
            break;
    }
    const QString why = m_temporary.errorString();
    m_temporary.setFileName(QString());
    return fail(why);
}

bool NewFile::nameIsFree()
{
    const Entry entry = entryAt(m_fileName);
    if (entry == Entry::None ||
        (entry == Entry::RegularFile && m_existing == Existing::RegularFileReplaced))
        return true;
    m_failed = true;
    setErrorString(
        QDir::toNativeSeparators(m_fileName) +
        (entry == Entry::RegularFile
             ? QStringLiteral(" is already there; Horalink never replaces a file unasked.")
             : QStringLiteral(" is a link or not a plain file; a file is never "
                              "written through it nor over it.")));
    return false;
}

void NewFile::discard()
{
    if (!m_temporary.fileName().isEmpty()) {
        m_temporary.close();
        m_temporary.remove();
        m_temporary.setFileName(QString());
    }
    if (isOpen())
        QIODevice::close();
}

} // namespace horalink
