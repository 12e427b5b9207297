#pragma once

#include "delayproxy.h"

#include <QString>

namespace horalink {

// The private server, reached through a link the test can cut as the network between a time
// clock and its server goes down, and mend again.
class ServerLink
{
public:
    ServerLink();

    // The connection string, its server reached through the link.
    QString through(const QString &connectionString) const;
    void cut() { m_proxy.setCut(true); }
    void mend() { m_proxy.setCut(false); }

private:
    DelayProxy m_proxy;
};

} // namespace horalink
