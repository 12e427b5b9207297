#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

namespace horalink {

// Stands between the clock and a PostgreSQL server that listens on a Unix socket only, as a
// server across a network would: it takes connections on a TCP port of 127.0.0.1 and hands
// every chunk read from either side to the other after a fixed delay, in the order read. It
// counts the round trips of every connection through it: each time the server answers after
// the client has sent.
class DelayProxy
{
public:
    // Forwards each connection to the Unix socket at socketPath (".../.s.PGSQL.5432"). A port
    // that cannot be opened is thrown as std::runtime_error.
    explicit DelayProxy(std::string socketPath);
    // Closes the port and every connection through it.
    ~DelayProxy();
    DelayProxy(const DelayProxy &) = delete;
    DelayProxy &operator=(const DelayProxy &) = delete;

    int port() const { return m_port; }
    // Holds each chunk read from now on this long before it is passed on, in either direction.
    void setDelay(std::chrono::milliseconds eachWay) { m_delayMs = int(eachWay.count()); }
    long long roundTrips() const { return m_roundTrips; }
    // Cut, the link is down: every connection through it ends, and each new one ends as soon
    // as it is taken, as a server whose network is gone answers no more.
    void setCut(bool cut);
    void reset() { m_roundTrips = 0; }
    // Why the proxy stopped forwarding, or an empty text while it forwards.
    std::string failure() const;

private:
    void run();
    void fail(const std::string &why);

    std::string m_socketPath;
    int m_listener = -1;
    int m_port = 0;
    // Written to when the link is cut, and when the proxy closes, so that its thread's wait
    // ends.
    int m_wake[2] = {-1, -1};
    std::atomic<int> m_delayMs{0};
    std::atomic<bool> m_cut{false};
    std::atomic<long long> m_roundTrips{0};
    mutable std::mutex m_failureLock;
    std::string m_failure;
    std::thread m_thread;
};

} // namespace horalink
