#include "serverlink.h"

#include <QRegularExpression>

namespace horalink {

namespace {

const QRegularExpression SocketFolder(QStringLiteral("host=(/\\S+)"));

// The socket of the private server the suite runs on, which listens on no port.
std::string socketPath()
{
    const auto found = SocketFolder.match(qEnvironmentVariable("HORALINK_TEST_SERVER"));
    return (found.captured(1) + QStringLiteral("/.s.PGSQL.5432")).toStdString();
}

} // namespace

ServerLink::ServerLink() : m_proxy(socketPath())
{}

QString ServerLink::through(const QString &connectionString) const
{
    return QString(connectionString)
        .replace(SocketFolder,
                 QStringLiteral("host=127.0.0.1 port=") + QString::number(m_proxy.port()));
}

} // namespace horalink
