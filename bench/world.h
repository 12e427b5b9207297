#pragma once

#include "db/connection.h"
#include "db/database.h"

#include <QString>
#include <QTemporaryDir>

namespace horalink {
class frmmain;
}

namespace horalink::bench {

// The employee whose log the benchmarks read and write.
inline const QString Employee = QStringLiteral("Ann");

// The libpq connection string of the benchmarks' PostgreSQL server, empty when none is named.
QString benchServer();

// A working folder whose Employee.mdb holds Ann's log of `events` alternating events; or, on
// the server, a schema of its own that holds it, which HORALINK_DATABASE names meanwhile. The
// program reaches the server through `route` (a libpq connection string to the same server,
// the bench server's own by default); the set-up goes to the server directly. Ann is signed on.
class World
{
public:
    World(int events, bool onServer, const QString &route = benchServer());
    ~World();
    World(const World &) = delete;
    World &operator=(const World &) = delete;

    frmmain &main();
    QString path() const { return m_dir.filePath(EmployeeMdb); }
    // The schema on the server, reached directly.
    QString connectionString() const { return m_connectionString; }
    // The same, as the program reaches it.
    QString programConnectionString() const { return m_programConnectionString; }

    // Removes what a benchmark added, so every round sees the same log.
    void trimTo(qint64 rows);

private:
    static void fill(Connection &data, int events);

    QTemporaryDir m_dir;
    QString m_schema;
    QString m_connectionString;
    QString m_programConnectionString;
};

} // namespace horalink::bench
