#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>

namespace horalink {

namespace {

// Copies started at the same moment wait this long for each other's lock to be complete.
constexpr int LockMilliseconds = 2000;
constexpr int ConnectMilliseconds = 2000;
// A running copy answers as soon as it next handles events, which even a long job does.
constexpr int AnswerMilliseconds = 5000;
const QByteArray CameForward = QByteArrayLiteral("front\n");

QString canonicalFolder(const QString &folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

// Where sockets are files, the socket lives in the user's runtime folder, which is the user's
// alone; a name without a folder would be made in the temporary folder, open to every account.
QString socketPath(const QString &folder)
{
#ifdef Q_OS_WIN
    return SingleInstance::serverName(folder);
#else
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(runtime).filePath(SingleInstance::serverName(folder));
#endif
}

// The running copy learns of the start from the connection alone, which the system keeps for it
// even while it is busy; whether it came to the front, only its answer tells.
bool holderCameForward(const QString &folder)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(folder));
    if (!socket.waitForConnected(ConnectMilliseconds))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(AnswerMilliseconds))
            break;
    }
    return socket.readLine() == CameForward;
}

} // namespace

SingleInstance::SingleInstance(QObject *parent) : QObject(parent)
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::answerAnotherCopy);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Claim SingleInstance::claim(const QString &folder)
{
    const QString canonical = canonicalFolder(folder);
    if (m_lock && m_folder == canonical)
        return Claim::Taken;
    release();
    auto lock = std::make_unique<QLockFile>(lockFileName(canonical));
    // The holder may run for months: only a holder that is gone makes its lock stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(LockMilliseconds)) {
        if (lock->error() == QLockFile::LockFailedError)
            return holderCameForward(canonical) ? Claim::RunningCopyCameForward
                                                : Claim::RunningCopySilent;
        // A guard that cannot be set up must not keep the employees from the clock.
        qWarning("Horalink cannot tell whether another copy runs on %s: the lock %s cannot be "
                 "made",
                 qPrintable(canonical), qPrintable(lock->fileName()));
        return Claim::Taken;
    }
    m_lock = std::move(lock);
    m_folder = canonical;
    listen(canonical);
    return Claim::Taken;
}

void SingleInstance::release()
{
    m_server.close();
    m_lock.reset();
    m_folder.clear();
}

// A socket left by a copy that was killed is removed first: the lock says that copy is gone.
void SingleInstance::listen(const QString &folder)
{
    const QString path = socketPath(folder);
    QLocalServer::removeServer(path);
    if (!m_server.listen(path))
        qWarning("Horalink cannot be brought to the front by a later start on %s: %s",
                 qPrintable(folder), qPrintable(m_server.errorString()));
}

QString SingleInstance::lockFileName(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("horalink.lock"));
}

QString SingleInstance::serverName(const QString &folder)
{
    const QString path = canonicalFolder(folder);
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("horalink-") + QString::fromLatin1(hash.toHex().left(32));
}

void SingleInstance::answerAnotherCopy()
{
    emit anotherCopyStarted();
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        socket->write(CameForward);
        socket->disconnectFromServer();
    }
}

} // namespace horalink
