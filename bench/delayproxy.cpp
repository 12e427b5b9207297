#include "delayproxy.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <list>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace horalink {

namespace {

using Clock = std::chrono::steady_clock;

std::string systemError(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

// A connection that breaks is the client's to find out, as it would across a network; it is
// also told here, so that a run that went wrong says where.
void tell(const std::string &what)
{
    std::fprintf(stderr, "delayproxy: %s\n", what.c_str());
}

bool setNonBlocking(int socket)
{
    const int flags = fcntl(socket, F_GETFL);
    return flags >= 0 && fcntl(socket, F_SETFL, flags | O_NONBLOCK) == 0;
}

struct Chunk
{
    Clock::time_point due;
    std::vector<char> bytes;
    size_t sent = 0;
};

// One direction of a connection: what was read from one side and is still to be written to
// the other.
struct Way
{
    std::deque<Chunk> pending;
    // The reading side has ended its sending.
    bool ended = false;
    // That end has been passed on, after the last chunk.
    bool shut = false;

    bool blocked(Clock::time_point now) const
    {
        return !pending.empty() && pending.front().due <= now;
    }
};

struct Link
{
    Link(int client, int server) : client(client), server(server) {}
    ~Link()
    {
        close(client);
        close(server);
    }
    Link(const Link &) = delete;
    Link &operator=(const Link &) = delete;

    bool finished() const { return up.shut && down.shut; }

    int client;
    int server;
    Way up;
    Way down;
    // Whether the client sent last, so that the server's next chunk answers it.
    bool clientSentLast = false;
};

// Writes what is due; false when the connection broke. `next` learns when the next chunk
// falls due.
bool flush(Way &way, int to, Clock::time_point now, std::optional<Clock::time_point> &next)
{
    while (!way.pending.empty() && way.pending.front().due <= now) {
        Chunk &chunk = way.pending.front();
        const ssize_t written = send(to, chunk.bytes.data() + chunk.sent,
                                     chunk.bytes.size() - chunk.sent, MSG_NOSIGNAL);
        if (written < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                return true;
            tell(systemError("send"));
            return false;
        }
        chunk.sent += size_t(written);
        if (chunk.sent == chunk.bytes.size())
            way.pending.pop_front();
    }
    if (!way.pending.empty()) {
        const Clock::time_point due = way.pending.front().due;
        next = next ? std::min(*next, due) : due;
    } else if (way.ended && !way.shut) {
        // The other side may already have gone; then there is nobody left to tell.
        if (shutdown(to, SHUT_WR) != 0 && errno != ENOTCONN)
            tell(systemError("shutdown"));
        way.shut = true;
    }
    return true;
}

short events(const Way &reading, const Way &writing, Clock::time_point now)
{
    return short((reading.ended ? 0 : POLLIN) | (writing.blocked(now) ? POLLOUT : 0));
}

} // namespace

DelayProxy::DelayProxy(std::string socketPath) : m_socketPath(std::move(socketPath))
{
    if (m_socketPath.size() >= sizeof(sockaddr_un::sun_path))
        throw std::runtime_error("the socket path is too long: " + m_socketPath);
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        listen(m_listener, 16) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0 ||
        !setNonBlocking(m_listener) || pipe(m_wake) != 0) {
        const std::string why = systemError("the proxy's port could not be opened");
        if (m_listener >= 0)
            close(m_listener);
        throw std::runtime_error(why);
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

DelayProxy::~DelayProxy()
{
    const char stop = 0;
    if (write(m_wake[1], &stop, 1) != 1)
        tell(systemError("the proxy could not be told to close"));
    m_thread.join();
    close(m_listener);
    close(m_wake[0]);
    close(m_wake[1]);
}

void DelayProxy::setCut(bool cut)
{
    m_cut = cut;
    const char look = 1;
    if (write(m_wake[1], &look, 1) != 1)
        tell(systemError("the proxy could not be told of the cut"));
}

std::string DelayProxy::failure() const
{
    const std::lock_guard lock(m_failureLock);
    return m_failure;
}

void DelayProxy::fail(const std::string &why)
{
    tell(why);
    const std::lock_guard lock(m_failureLock);
    m_failure = why;
}

void DelayProxy::run()
{
    std::list<Link> links;
    std::vector<char> buffer(64 * 1024);
    std::vector<pollfd> watched;

    // Reads one chunk from a side; false when the connection broke.
    const auto receive = [&](Link &link, bool fromServer) {
        const ssize_t got =
            recv(fromServer ? link.server : link.client, buffer.data(), buffer.size(), 0);
        Way &way = fromServer ? link.down : link.up;
        if (got < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                return true;
            tell(systemError("recv"));
            return false;
        }
        if (got == 0) {
            way.ended = true;
            return true;
        }
        if (fromServer && link.clientSentLast)
            ++m_roundTrips;
        link.clientSentLast = !fromServer;
        way.pending.push_back({Clock::now() + std::chrono::milliseconds(m_delayMs.load()),
                               {buffer.begin(), buffer.begin() + got}});
        return true;
    };

    const auto accept = [&] {
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == ECONNABORTED)
                return true;
            fail(systemError("accept"));
            return false;
        }
        if (m_cut) {
            close(client);
            return true;
        }
        const int server = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, m_socketPath.c_str(), sizeof address.sun_path - 1);
        const int on = 1;
        if (server < 0 || setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0 ||
            connect(server, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
            !setNonBlocking(client) || !setNonBlocking(server)) {
            tell(systemError("no connection to " + m_socketPath));
            close(client);
            if (server >= 0)
                close(server);
            return true;
        }
        links.emplace_back(client, server);
        return true;
    };

    for (;;) {
        const Clock::time_point now = Clock::now();
        std::optional<Clock::time_point> next;
        for (auto link = links.begin(); link != links.end();) {
            if (!flush(link->up, link->server, now, next) ||
                !flush(link->down, link->client, now, next) || link->finished())
                link = links.erase(link);
            else
                ++link;
        }

        watched.assign({{m_wake[0], POLLIN, 0}, {m_listener, POLLIN, 0}});
        for (const Link &link : links) {
            // A side with nothing to read or write is left out: once it has hung up, poll would
            // report it again and again.
            const short fromClient = events(link.up, link.down, now);
            const short fromServer = events(link.down, link.up, now);
            watched.push_back({fromClient ? link.client : -1, fromClient, 0});
            watched.push_back({fromServer ? link.server : -1, fromServer, 0});
        }
        int timeout = -1;
        if (next) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now);
            timeout = int(std::max<std::chrono::milliseconds::rep>(wait.count(), 0));
        }
        if (poll(watched.data(), nfds_t(watched.size()), timeout) < 0) {
            if (errno == EINTR)
                continue;
            fail(systemError("poll"));
            return;
        }
        if (watched[0].revents != 0) {
            char told = 0;
            if (read(m_wake[0], &told, 1) != 1 || told == 0)
                return;
            if (m_cut)
                links.clear();
            continue;
        }

        size_t at = 2;
        for (auto link = links.begin(); at < watched.size(); at += 2) {
            const auto readable = [](const pollfd &side) {
                return side.fd >= 0 && (side.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
            };
            bool alive = true;
            if (readable(watched[at]) && !link->up.ended)
                alive = receive(*link, false);
            if (alive && readable(watched[at + 1]) && !link->down.ended)
                alive = receive(*link, true);
            if (alive)
                ++link;
            else
                link = links.erase(link);
        }
        if ((watched[1].revents & POLLIN) != 0 && !accept())
            return;
    }
}

} // namespace horalink
