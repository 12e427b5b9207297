#include "singleinstance.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

namespace horalink {

namespace {

constexpr int Attempts = 20;
constexpr int RetryMilliseconds = 25;
// Where sockets are files, one that nobody answers for this many attempts was left by a copy that
// was killed; before that it may belong to a copy that is starting at this very moment.
constexpr int StaleAfterAttempts = 4;
constexpr int ConnectMilliseconds = 2000;

// True when a running copy listens on the name. It learns of the start from the connection alone,
// which the system keeps for it even while it is busy.
bool reachHolder(const QString &name)
{
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(name);
    return socket.waitForConnected(ConnectMilliseconds);
}

} // namespace

SingleInstance::SingleInstance(QObject *parent) : QObject(parent)
{
    m_server.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::answerAnotherCopy);
}

bool SingleInstance::claim(const QString &folder)
{
    const QString name = serverName(folder);
    if (m_server.isListening() && m_server.serverName() == name)
        return true;
    m_server.close();
    // Asking before listening keeps copies apart where several may listen on one name (Windows
    // pipes). Elsewhere listening fails for the second of two copies started at the same moment,
    // which then finds the first.
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (reachHolder(name))
            return false;
        if (m_server.listen(name))
            return true;
        if (m_server.serverError() != QAbstractSocket::AddressInUseError)
            break;
        if (attempt >= StaleAfterAttempts)
            QLocalServer::removeServer(name);
        QThread::msleep(RetryMilliseconds);
    }
    // A guard that cannot be set up must not keep the employees from the clock.
    qWarning("Horalink cannot tell whether another copy runs on %s: %s", qPrintable(folder),
             qPrintable(m_server.errorString()));
    return true;
}

QString SingleInstance::serverName(const QString &folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    const QString path = canonical.isEmpty() ? info.absoluteFilePath() : canonical;
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("horalink-") + QString::fromLatin1(hash.toHex().left(32));
}

void SingleInstance::answerAnotherCopy()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection())
        delete socket;
    emit anotherCopyStarted();
}

} // namespace horalink
